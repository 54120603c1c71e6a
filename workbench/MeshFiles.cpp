#include "workbench/MeshFiles.h"

#include "diagnostics/Exceptions.h"
#include "workbench/ExportStream.h"

#include <cctype>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& fileName) {
    const std::string::size_type slash = fileName.find_last_of('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

// Holds an exclusive lock on a folder: exports of companion files into one
// folder put their files in place one after the other, so that the last
// export's OBJ and MTL end up side by side, never one from each.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : myFD(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (myFD >= 0) ::flock(myFD, LOCK_EX);
    }
    ~FolderLock() {
        if (myFD >= 0) ::close(myFD);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int myFD;
};

// The placement's vertices moved into the scene, and its normals turned
// with it (by the inverse transpose, so that they stay normal to the
// surface under any scale or shear).
void place(const ExportShape& shape, const osg::Matrixd& placement, std::vector<osg::Vec3>& vertices,
           std::vector<osg::Vec3>* normals) {
    vertices.resize(shape.vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) vertices[i] = shape.vertices[i] * placement;
    if (!normals) return;
    const osg::Matrixd inverse = osg::Matrixd::inverse(placement);
    normals->resize(shape.normals.size());
    for (std::size_t i = 0; i < normals->size(); ++i) {
        osg::Vec3 normal = osg::Matrixd::transform3x3(inverse, shape.normals[i]);
        if (normal.normalize() == 0.0f) normal = shape.normals[i];
        (*normals)[i] = normal;
    }
}

void putVector(ExportStream& out, const char* tag, const osg::Vec3& v) {
    out.put(tag, std::strlen(tag));
    for (int i = 0; i < 3; ++i) {
        out.put(' ');
        out.put(v[i]);
    }
    out.put('\n');
}

void putColour(ExportStream& out, const char* tag, const osg::Vec4& colour) {
    putVector(out, tag, osg::Vec3(colour.r(), colour.g(), colour.b()));
}

std::string materialName(std::size_t index) { return "m" + std::to_string(index + 1); }

void writeMaterials(OutputFile& file, const ExportScene& scene) {
    ExportStream out(file, nullptr, 1);
    out.put("# Materials of a KLADO model\n");
    for (std::size_t i = 0; i < scene.materials().size(); ++i) {
        const ExportMaterial& material = scene.materials()[i];
        out.put("\nnewmtl " + materialName(i) + "\n");
        if (material.lit) {
            putColour(out, "Ka", material.ambient);
            putColour(out, "Kd", material.diffuse);
            putColour(out, "Ks", material.specular);
            if (material.emission.r() != 0.0f || material.emission.g() != 0.0f || material.emission.b() != 0.0f)
                putColour(out, "Ke", material.emission);
            out.put("Ns ");
            out.put(material.shininess);
            out.put("\nd ");
            out.put(material.diffuse.a());
            out.put("\nillum 2\n");
        } else {
            // A line is drawn in its colour alone.
            putColour(out, "Kd", material.diffuse);
            out.put("d ");
            out.put(material.diffuse.a());
            out.put("\nillum 0\n");
        }
    }
    out.flush();
}

std::string fileOf(const std::string& fileName) { return fileName.substr(folderOf(fileName).size()); }

} // namespace

std::string materialFileName(const std::string& objFileName) {
    const std::string folder = folderOf(objFileName);
    std::string file = fileOf(objFileName);
    const std::string::size_type dot = file.find_last_of('.');
    if (dot != std::string::npos) file.erase(dot);
    for (char& c : file)
        if (std::isspace(static_cast<unsigned char>(c))) c = '_';
    return folder + file + ".mtl";
}

void writeObj(const ExportScene& scene, const std::string& fileName, ProgressRetriever* progress) {
    OutputFile obj(fileName);
    // A device or pipe gets the geometry alone: a material file would only
    // land beside the device.
    std::unique_ptr<OutputFile> mtl;
    if (!obj.isSpecial()) mtl = std::make_unique<OutputFile>(materialFileName(fileName));

    ExportStream out(obj, progress, scene.placements());
    out.put("# KLADO 1.0\n");
    if (mtl) out.put("mtllib " + fileOf(materialFileName(fileName)) + "\n");
    std::uint64_t vertexBase = 1, normalBase = 1;
    std::size_t material = std::numeric_limits<std::size_t>::max();
    std::vector<osg::Vec3> vertices, normals;
    for (const ExportScene::Batch& batch : scene.batches()) {
        const ExportShape& shape = scene.shapes()[batch.shape];
        if (batch.material != material) {
            material = batch.material;
            out.put("usemtl " + materialName(material) + "\n");
        }
        ExportScene::forEachPlacement(batch, [&](const osg::Matrixd& placement) {
            place(shape, placement * zUpToYUp, vertices, shape.lines ? nullptr : &normals);
            for (const osg::Vec3& vertex : vertices) putVector(out, "v", vertex);
            if (shape.lines) {
                for (std::size_t i = 0; i + 1 < shape.indices.size(); i += 2) {
                    out.put("l ", 2);
                    out.put(vertexBase + shape.indices[i]);
                    out.put(' ');
                    out.put(vertexBase + shape.indices[i + 1]);
                    out.put('\n');
                }
            } else {
                for (const osg::Vec3& normal : normals) putVector(out, "vn", normal);
                for (std::size_t i = 0; i + 2 < shape.indices.size(); i += 3) {
                    out.put('f');
                    for (std::size_t k = 0; k < 3; ++k) {
                        out.put(' ');
                        out.put(vertexBase + shape.indices[i + k]);
                        out.put("//", 2);
                        out.put(normalBase + shape.indices[i + k]);
                    }
                    out.put('\n');
                }
                normalBase += normals.size();
            }
            vertexBase += vertices.size();
            out.advance(1);
        });
    }
    out.flush();
    if (!mtl) {
        obj.commit();
        return;
    }
    writeMaterials(*mtl, scene);
    // The materials first: an OBJ in place always finds its own.
    FolderLock lock(folderOf(fileName));
    mtl->commit();
    obj.commit();
}

void writeStl(const ExportScene& scene, const std::string& fileName, ProgressRetriever* progress) {
    std::uint64_t triangles = 0;
    for (const ExportScene::Batch& batch : scene.batches()) {
        const ExportShape& shape = scene.shapes()[batch.shape];
        if (!shape.lines) triangles += shape.indices.size() / 3 * batch.placements;
    }
    if (triangles > std::numeric_limits<std::uint32_t>::max())
        throw FileNotWriteable(fileName, "The model has more triangles than STL can hold (" +
                                             std::to_string(std::numeric_limits<std::uint32_t>::max()) + ").");
    OutputFile file(fileName);
    ExportStream out(file, progress, scene.placements());
    // A header that does not begin with "solid", which marks text STL.
    char header[80];
    std::memset(header, ' ', sizeof header);
    std::memcpy(header, "KLADO 1.0 binary STL", 20);
    out.put(header, sizeof header);
    out.putBytes(static_cast<std::uint32_t>(triangles));
    std::vector<osg::Vec3> vertices;
    for (const ExportScene::Batch& batch : scene.batches()) {
        const ExportShape& shape = scene.shapes()[batch.shape];
        if (shape.lines) continue;
        ExportScene::forEachPlacement(batch, [&](const osg::Matrixd& placement) {
            place(shape, placement, vertices, nullptr);
            for (std::size_t i = 0; i + 2 < shape.indices.size(); i += 3) {
                const osg::Vec3 corners[3] = {vertices[shape.indices[i]], vertices[shape.indices[i + 1]],
                                              vertices[shape.indices[i + 2]]};
                osg::Vec3 normal = (corners[1] - corners[0]) ^ (corners[2] - corners[0]);
                normal.normalize();
                float record[12];
                std::memcpy(record, normal.ptr(), 12);
                for (int k = 0; k < 3; ++k) std::memcpy(record + 3 + 3 * k, corners[k].ptr(), 12);
                out.put(reinterpret_cast<const char*>(record), sizeof record);
                out.putBytes(std::uint16_t(0));
            }
            out.advance(1);
        });
    }
    out.flush();
    file.commit();
}
