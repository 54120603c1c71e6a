#include "workbench/GltfFile.h"

#include "diagnostics/Exceptions.h"
#include "workbench/ExportStream.h"

#include <tiny_gltf.h>

#include <osg/Quat>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <ostream>
#include <streambuf>

namespace {

// What the writer of the library writes goes into an ExportStream; a
// failure is kept and thrown again once the library is done (it does not
// check its writes).
class StreamBuffer : public std::streambuf {
public:
    explicit StreamBuffer(ExportStream& out) : myOut(out) {}
    void rethrow() const {
        if (myFailure) std::rethrow_exception(myFailure);
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        if (myFailure) return 0;
        try {
            myOut.put(data, static_cast<std::size_t>(size));
        } catch (...) {
            myFailure = std::current_exception();
            return 0;
        }
        return size;
    }

private:
    ExportStream& myOut;
    std::exception_ptr myFailure;
};

// A placement as translation, rotation and scale, when it is one.
struct Decomposed {
    osg::Vec3d translation, scale;
    osg::Quat rotation;
};

bool decompose(const osg::Matrixd& m, Decomposed& result) {
    osg::Vec3d rows[3];
    for (int i = 0; i < 3; ++i) {
        rows[i].set(m(i, 0), m(i, 1), m(i, 2));
        result.scale[i] = rows[i].length();
        if (!(result.scale[i] > 0.0) || !std::isfinite(result.scale[i])) return false;
        rows[i] /= result.scale[i];
    }
    constexpr double tolerance = 1e-5;
    if (std::fabs(rows[0] * rows[1]) > tolerance || std::fabs(rows[0] * rows[2]) > tolerance ||
        std::fabs(rows[1] * rows[2]) > tolerance)
        return false;
    // A mirror image is a negative scale.
    if ((rows[0] ^ rows[1]) * rows[2] < 0.0) {
        rows[0] = -rows[0];
        result.scale[0] = -result.scale[0];
    }
    osg::Matrixd rotation(rows[0].x(), rows[0].y(), rows[0].z(), 0, rows[1].x(), rows[1].y(), rows[1].z(), 0,
                          rows[2].x(), rows[2].y(), rows[2].z(), 0, 0, 0, 0, 1);
    result.rotation.set(rotation);
    const double length = result.rotation.length();
    result.rotation /= length;
    result.translation = m.getTrans();
    return true;
}

// The model's single buffer, filled view by view.
class Model {
public:
    tinygltf::Model gltf;

    Model() {
        gltf.asset.version = "2.0";
        gltf.asset.generator = "KLADO 1.0";
        gltf.buffers.emplace_back();
        gltf.scenes.emplace_back();
        gltf.defaultScene = 0;
    }

    // A view of the bytes, 4-byte aligned; target 0 for instance data.
    int addView(const void* data, std::size_t size, int target) {
        std::vector<unsigned char>& bytes = gltf.buffers[0].data;
        bytes.resize((bytes.size() + 3) / 4 * 4);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = bytes.size();
        view.byteLength = size;
        view.target = target;
        const auto* first = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), first, first + size);
        gltf.bufferViews.push_back(view);
        return static_cast<int>(gltf.bufferViews.size() - 1);
    }

    int addAccessor(int view, int componentType, int type, std::size_t count) {
        tinygltf::Accessor accessor;
        accessor.bufferView = view;
        accessor.byteOffset = 0;
        accessor.componentType = componentType;
        accessor.type = type;
        accessor.count = count;
        gltf.accessors.push_back(accessor);
        return static_cast<int>(gltf.accessors.size() - 1);
    }

    template <class Vector>
    int addVectors(const std::vector<Vector>& values, int type, int target) {
        return addAccessor(addView(values.data(), values.size() * sizeof(Vector), target),
                           TINYGLTF_COMPONENT_TYPE_FLOAT, type, values.size());
    }

    int addNode(tinygltf::Node node) {
        gltf.nodes.push_back(std::move(node));
        const int index = static_cast<int>(gltf.nodes.size() - 1);
        gltf.scenes[0].nodes.push_back(index);
        return index;
    }

    void use(const std::string& extension) {
        if (std::find(gltf.extensionsUsed.begin(), gltf.extensionsUsed.end(), extension) == gltf.extensionsUsed.end())
            gltf.extensionsUsed.push_back(extension);
    }
};

tinygltf::Material materialOf(const ExportMaterial& m, std::size_t index) {
    tinygltf::Material material;
    material.name = "m" + std::to_string(index + 1);
    const auto unit = [](float value) { return std::clamp(static_cast<double>(value), 0.0, 1.0); };
    material.pbrMetallicRoughness.baseColorFactor = {unit(m.diffuse.r()), unit(m.diffuse.g()), unit(m.diffuse.b()),
                                                     unit(m.diffuse.a())};
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = std::sqrt(2.0 / (std::max(m.shininess, 0.0f) + 2.0));
    material.emissiveFactor = {unit(m.emission.r()), unit(m.emission.g()), unit(m.emission.b())};
    if (m.diffuse.a() < 1.0f) material.alphaMode = "BLEND";
    // The view draws both faces, and tubes are open at uncapped ends.
    material.doubleSided = true;
    if (!m.lit) material.extensions["KHR_materials_unlit"] = tinygltf::Value(tinygltf::Value::Object());
    return material;
}

// The accessors of a shape's positions, normals (-1 for lines) and indices.
struct ShapeAccessors {
    int positions = -1, normals = -1, indices = -1;
};

ShapeAccessors addShape(Model& model, const ExportShape& shape) {
    ShapeAccessors result;
    result.positions = model.addVectors(shape.vertices, TINYGLTF_TYPE_VEC3, TINYGLTF_TARGET_ARRAY_BUFFER);
    osg::BoundingBox box;
    for (const osg::Vec3& vertex : shape.vertices) box.expandBy(vertex);
    tinygltf::Accessor& positions = model.gltf.accessors[result.positions];
    positions.minValues = {box.xMin(), box.yMin(), box.zMin()};
    positions.maxValues = {box.xMax(), box.yMax(), box.zMax()};
    if (!shape.lines)
        result.normals = model.addVectors(shape.normals, TINYGLTF_TYPE_VEC3, TINYGLTF_TARGET_ARRAY_BUFFER);
    // 65535 stands for a restart of the strip in 16-bit indices.
    if (shape.vertices.size() < 65535) {
        const std::vector<std::uint16_t> small(shape.indices.begin(), shape.indices.end());
        result.indices = model.addAccessor(
            model.addView(small.data(), small.size() * 2, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER),
            TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_SCALAR, small.size());
    } else {
        result.indices = model.addAccessor(
            model.addView(shape.indices.data(), shape.indices.size() * 4, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER),
            TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR, shape.indices.size());
    }
    return result;
}

tinygltf::Node placedNode(int mesh, const osg::Matrixd& placement) {
    tinygltf::Node node;
    node.mesh = mesh;
    Decomposed parts;
    if (!decompose(placement, parts)) {
        // Column-major with column vectors: the order the rows of a
        // row-vector matrix are stored in.
        node.matrix.assign(placement.ptr(), placement.ptr() + 16);
        return node;
    }
    node.translation = {parts.translation.x(), parts.translation.y(), parts.translation.z()};
    node.rotation = {parts.rotation.x(), parts.rotation.y(), parts.rotation.z(), parts.rotation.w()};
    node.scale = {parts.scale.x(), parts.scale.y(), parts.scale.z()};
    return node;
}

} // namespace

void writeGltf(const ExportScene& scene, const std::string& fileName, const GltfLayout& layout,
               ProgressRetriever* progress) {
    OutputFile file(fileName);
    // The placements are counted twice: once while the model is built,
    // once more for the writing, which takes about as long.
    ExportStream out(file, progress, 2 * scene.placements());
    Model model;
    for (std::size_t i = 0; i < scene.materials().size(); ++i) {
        model.gltf.materials.push_back(materialOf(scene.materials()[i], i));
        if (!scene.materials()[i].lit) model.use("KHR_materials_unlit");
    }
    std::vector<ShapeAccessors> shapes(scene.shapes().size());
    for (std::size_t i = 0; i < shapes.size(); ++i) shapes[i] = addShape(model, scene.shapes()[i]);

    std::vector<osg::Vec3f> translations, scales;
    std::vector<osg::Vec4f> rotations;
    for (const ExportScene::Batch& batch : scene.batches()) {
        const ShapeAccessors& shape = shapes[batch.shape];
        tinygltf::Primitive primitive;
        primitive.attributes["POSITION"] = shape.positions;
        if (shape.normals >= 0) primitive.attributes["NORMAL"] = shape.normals;
        primitive.indices = shape.indices;
        primitive.material = static_cast<int>(batch.material);
        primitive.mode = scene.shapes()[batch.shape].lines ? TINYGLTF_MODE_LINE : TINYGLTF_MODE_TRIANGLES;
        model.gltf.meshes.emplace_back();
        model.gltf.meshes.back().primitives.push_back(primitive);
        const int mesh = static_cast<int>(model.gltf.meshes.size() - 1);

        translations.clear();
        rotations.clear();
        scales.clear();
        const bool instanced = !layout.nodePerPlacement && batch.placements > 1;
        ExportScene::forEachPlacement(batch, [&](const osg::Matrixd& placement) {
            const osg::Matrixd placed = placement * zUpToYUp;
            Decomposed parts;
            if (instanced && decompose(placed, parts)) {
                translations.push_back(parts.translation);
                rotations.emplace_back(parts.rotation.x(), parts.rotation.y(), parts.rotation.z(), parts.rotation.w());
                scales.push_back(parts.scale);
            } else {
                model.addNode(placedNode(mesh, placed));
            }
            out.advance(1);
        });
        if (translations.empty()) continue;
        tinygltf::Value::Object attributes;
        attributes["TRANSLATION"] = tinygltf::Value(model.addVectors(translations, TINYGLTF_TYPE_VEC3, 0));
        attributes["ROTATION"] = tinygltf::Value(model.addVectors(rotations, TINYGLTF_TYPE_VEC4, 0));
        attributes["SCALE"] = tinygltf::Value(model.addVectors(scales, TINYGLTF_TYPE_VEC3, 0));
        tinygltf::Value::Object instancing;
        instancing["attributes"] = tinygltf::Value(std::move(attributes));
        tinygltf::Node node;
        node.mesh = mesh;
        node.extensions["EXT_mesh_gpu_instancing"] = tinygltf::Value(std::move(instancing));
        model.addNode(std::move(node));
        model.use("EXT_mesh_gpu_instancing");
    }
    if (model.gltf.buffers[0].data.empty()) model.gltf.buffers.clear();

    StreamBuffer buffer(out);
    std::ostream stream(&buffer);
    tinygltf::TinyGLTF writer;
    const bool written = writer.WriteGltfSceneToStream(&model.gltf, stream, !layout.binary, layout.binary);
    buffer.rethrow();
    if (!written) throw FileNotWriteable(fileName, "The glTF writer failed.");
    out.advance(scene.placements());
    out.flush();
    file.commit();
}
