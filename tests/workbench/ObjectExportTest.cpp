#include "workbench/ObjectExport.h"
#include "interpretation/GeometryCache.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/ShapeInstancer.h"
#include "workbench/ExportScene.h"

#include "../TempDir.h"

#include <osg/MatrixTransform>
#include <osg/TriangleFunctor>
#include <osgDB/ReadFile>
#include <tiny_gltf.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <set>
#include <thread>

namespace {

GLMaterial material(float r, float g, float b, float shininess) {
    GLMaterial result;
    const float colour[4] = {r, g, b, 1.0f};
    std::copy(colour, colour + 4, result.diffuse);
    result.shininess = shininess;
    return result;
}

const GLMaterial red = material(0.9f, 0.2f, 0.1f, 98.0f), green = material(0.2f, 0.8f, 0.3f, 0.0f);

// The world as the view has it: the interpreter's group turned upright.
struct SampleScene {
    GeometryCache cache;
    osg::ref_ptr<osg::MatrixTransform> root = new osg::MatrixTransform(osg::Matrixd::rotate(osg::PI_2, 1, 0, 0));
    osg::ref_ptr<osg::Group> group = new osg::Group;
    // A placement of the tube that is no product of a rotation and a scale.
    osg::Matrixd sheared = osg::Matrixd(1, 0.5, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1);

    SampleScene() {
        root->addChild(group.get());
        ShapeInstancer shapes;
        shapes.start(group.get());
        osg::Geometry* tube = cache.tube(4, 1, 0.5, 8, CapKind::Planar, CapKind::None);
        for (int i = 0; i < 5; ++i) shapes.placeSlender(tube, 8, cache.litStateSet(i % 2 ? red : green), placement(i));
        shapes.place(cache.ball(1, 8), cache.litStateSet(red), true, placement(5));
        shapes.place(cache.line(3, {0, 0, 1, 1}), cache.lineStateSet(), false, placement(6));
        shapes.placeSlender(tube, 8, cache.litStateSet(red), sheared);
    }
    static osg::Matrixd placement(int i) {
        return osg::Matrixd::scale(1.0, 1.0 + 0.5 * (i % 2), 1.0) * osg::Matrixd::rotate(0.7 * i, osg::Vec3d(1, 2, 3)) *
               osg::Matrixd::translate(3.0 * i, -i, 2.0);
    }
};

using Triangle = std::array<std::array<double, 3>, 3>;

// Every triangle with an area (see ExportScene) under node in world coordinates, rounded, in
// a canonical order, so that two files of one geometry give equal lists.
// Quads are split as the writers split them.
std::multiset<Triangle> triangles(osg::Node& node) {
    struct Collect {
        std::multiset<Triangle>* out = nullptr;
        osg::Matrixd world;
        void operator()(const osg::Vec3& a, const osg::Vec3& b, const osg::Vec3& c) {
            const osg::Vec3 corners[3] = {a, b, c}, u = b - a, v = c - a, w = c - b;
            if ((u ^ v).length() <= 1e-6f * std::max({u.length2(), v.length2(), w.length2()})) return;
            Triangle t;
            for (int k = 0; k < 3; ++k)
                for (int i = 0; i < 3; ++i) t[k][i] = std::round((corners[k] * world)[i] * 1000.0) / 1000.0 + 0.0;
            std::sort(t.begin(), t.end());
            out->insert(t);
        }
    };
    struct Visitor : osg::NodeVisitor {
        std::multiset<Triangle> found;
        Visitor() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
        void apply(osg::Geometry& geometry) override {
            if (dynamic_cast<MOSGThinLines*>(&geometry)) return;
            osg::TriangleFunctor<Collect> collect;
            collect.out = &found;
            collect.world = osg::computeLocalToWorld(getNodePath());
            geometry.accept(collect);
        }
    } visitor;
    node.accept(visitor);
    return visitor.found;
}

// Matches of pattern, each followed by a line end.
std::size_t count(const std::string& text, const std::string& pattern) {
    const std::regex expression(pattern + "(?=\n)");
    return std::distance(std::sregex_iterator(text.begin(), text.end(), expression), std::sregex_iterator());
}

// Stops an export at its first report.
struct Canceller : ProgressRetriever {
    void setProgress(int) override {}
    bool wasCancelled() override { return true; }
};

} // namespace

TEST(ObjectExport, ObjAndStlReadBackAsTheScenesTriangles) {
    TempDir dir;
    SampleScene scene;
    const std::multiset<Triangle> expected = triangles(*expandInstances(*scene.root));
    ASSERT_GT(expected.size(), 100u);
    const unsigned shown = scene.group->getNumChildren();
    for (const char* name : {"my model.obj", "plant.stl"}) {
        ASSERT_EQ("", writeObjectFile(*scene.root, dir.path(name), {}, nullptr)) << name;
        osg::ref_ptr<osg::Node> read = osgDB::readRefNodeFile(dir.path(name));
        ASSERT_TRUE(read.valid()) << name;
        EXPECT_TRUE(triangles(*read) == expected) << name;
    }
    // Binary STL: its header must not begin as text STL does.
    EXPECT_EQ("KLADO", dir.read("plant.stl").substr(0, 5));
    EXPECT_EQ(84u + 50u * expected.size(), dir.read("plant.stl").size());

    // The scene shown keeps its instances.
    EXPECT_EQ(shown, scene.group->getNumChildren());
    // A name with blanks names its material file without them.
    EXPECT_EQ((std::vector<std::string>{"my model.obj", "my_model.mtl", "plant.stl"}), dir.entries());
    const std::string obj = dir.read("my model.obj");
    EXPECT_NE(obj.find("\nmtllib my_model.mtl\n"), std::string::npos);
    // Vertices shared within a shape: each placement writes its shape's
    // vertices once, as many normals, and faces of both.
    std::size_t vertices = 0;
    const ExportScene parts(*scene.root);
    for (const ExportScene::Batch& batch : parts.batches())
        vertices += parts.shapes()[batch.shape].vertices.size() * batch.placements;
    EXPECT_EQ(count(obj, "\nv [-0-9.e]+ [-0-9.e]+ [-0-9.e]+"), vertices);
    EXPECT_EQ(count(obj, "\nvn [-0-9.e]+ [-0-9.e]+ [-0-9.e]+"), vertices - 2);
    EXPECT_EQ(count(obj, "\nf \\d+//\\d+ \\d+//\\d+ \\d+//\\d+"), expected.size());
    EXPECT_EQ(count(obj, "\nl \\d+ \\d+"), 1u);
    // One usemtl a run of one material: green, red, the line's blue.
    EXPECT_EQ(count(obj, "\nusemtl m\\d"), 3u);
    const std::string mtl = dir.read("my_model.mtl");
    EXPECT_EQ(count(mtl, "\nnewmtl m\\d"), 3u);
    EXPECT_NE(mtl.find("\nKd 0.9 0.2 0.1\n"), std::string::npos);
    EXPECT_NE(mtl.find("\nNs 98\nd 1\nillum 2\n"), std::string::npos);
}

TEST(ObjectExport, FailedOrCancelledExportsLeaveTheOldFiles) {
    TempDir dir;
    SampleScene scene;
    for (const char* name : {"old.obj", "old.mtl", "old.stl", "old.glb"}) dir.write(name, "old");
    for (const char* name : {"old.obj", "old.stl", "old.glb"}) {
        {
            // A full disk: no file grows beyond 2000 bytes.
            FileSizeLimit full(2000);
            EXPECT_NE("", writeObjectFile(*scene.root, dir.path(name), {}, nullptr)) << name;
        }
        Canceller cancel;
        EXPECT_EQ(exportCancelledText, writeObjectFile(*scene.root, dir.path(name), {}, &cancel)) << name;
    }
    for (const char* name : {"old.obj", "old.mtl", "old.stl", "old.glb"}) EXPECT_EQ("old", dir.read(name)) << name;
    EXPECT_EQ((std::vector<std::string>{"old.glb", "old.mtl", "old.obj", "old.stl"}), dir.entries());
}

TEST(ObjectExport, ConcurrentObjExportsToOneNameLeaveOnePair) {
    TempDir dir;
    // The scene of three materials, and its first part, of one.
    SampleScene three;
    osg::Node& one = *three.group->getChild(0);
    writeObjectFile(one, dir.path("one.obj"), {}, nullptr);
    ASSERT_EQ(count(dir.read("one.mtl"), "\nnewmtl m\\d"), 1u);
    for (int round = 0; round < 20; ++round) {
        std::thread other([&] { writeObjectFile(one, dir.path("same.obj"), {}, nullptr); });
        writeObjectFile(*three.root, dir.path("same.obj"), {}, nullptr);
        other.join();
        ASSERT_EQ(count(dir.read("same.obj"), "\nusemtl m\\d"), count(dir.read("same.mtl"), "\nnewmtl m\\d"))
            << "round " << round;
    }
}

TEST(ObjectExport, GltfHoldsEachShapeAndMaterialOnceAndThePlacementsAsInstancesOrAsNodes) {
    TempDir dir;
    SampleScene scene;
    ObjectExportOptions separate;
    separate.gltfNodes = true;
    ASSERT_EQ("", writeObjectFile(*scene.root, dir.path("plant.glb"), {}, nullptr));
    ASSERT_EQ("", writeObjectFile(*scene.root, dir.path("nodes.gltf"), separate, nullptr));
    tinygltf::Model model, nodes;
    tinygltf::TinyGLTF loader;
    std::string error, warning;
    ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, dir.path("plant.glb"))) << error;
    ASSERT_TRUE(loader.LoadASCIIFromFile(&nodes, &error, &warning, dir.path("nodes.gltf"))) << error;
    // With a node for each placement nothing is instanced.
    EXPECT_EQ(8u, nodes.nodes.size());
    EXPECT_EQ((std::vector<std::string>{"KHR_materials_unlit"}), nodes.extensionsUsed);

    EXPECT_EQ((std::vector<std::string>{"KHR_materials_unlit", "EXT_mesh_gpu_instancing"}), model.extensionsUsed);
    ASSERT_EQ(3u, model.materials.size());
    EXPECT_EQ((std::vector<double>{0.2f, 0.8f, 0.3f, 1.0f}), model.materials[0].pbrMetallicRoughness.baseColorFactor);
    EXPECT_DOUBLE_EQ(std::sqrt(2.0 / 100.0), model.materials[1].pbrMetallicRoughness.roughnessFactor);
    EXPECT_EQ(1u, model.materials[2].extensions.count("KHR_materials_unlit"));
    // Tube, ball and line once each (positions, normals but for the line,
    // indices), and the instances of two nodes.
    EXPECT_EQ(3u + 3u + 2u + 2u * 3u, model.accessors.size());

    // The scene's world, turned upright, turned from z-up into glTF's y-up.
    const osg::Matrixd toGltf = scene.root->getMatrix() * osg::Matrixd::rotate(-osg::PI_2, 1, 0, 0);
    const auto floats = [&](int accessor, std::size_t index, int size) {
        const tinygltf::Accessor& a = model.accessors[accessor];
        const tinygltf::BufferView& view = model.bufferViews[a.bufferView];
        const auto* data =
            reinterpret_cast<const float*>(model.buffers[0].data.data() + view.byteOffset + a.byteOffset);
        return std::vector<double>(data + index * size, data + index * size + size);
    };
    const auto near = [](const osg::Matrixd& a, const osg::Matrixd& b) {
        for (int i = 0; i < 16; ++i)
            if (std::fabs(a.ptr()[i] - b.ptr()[i]) > 1e-5) return false;
        return true;
    };
    const auto trs = [](const std::vector<double>& t, const std::vector<double>& r, const std::vector<double>& s) {
        return osg::Matrixd::scale(s[0], s[1], s[2]) * osg::Matrixd::rotate(osg::Quat(r[0], r[1], r[2], r[3])) *
               osg::Matrixd::translate(t[0], t[1], t[2]);
    };
    // Green tubes at 0, 2, 4 and red ones at 1, 3 as instances of two
    // nodes; the sheared red tube with its matrix, the ball and the line
    // (one placement each) as plain nodes.
    std::vector<osg::Matrixd> instanced, plain;
    for (const tinygltf::Node& node : model.nodes) {
        const auto extension = node.extensions.find("EXT_mesh_gpu_instancing");
        if (extension == node.extensions.end()) {
            plain.push_back(node.matrix.empty() ? trs(node.translation, node.rotation, node.scale)
                                                : osg::Matrixd(node.matrix.data()));
            continue;
        }
        const tinygltf::Value& attributes = extension->second.Get("attributes");
        const int t = attributes.Get("TRANSLATION").GetNumberAsInt(), r = attributes.Get("ROTATION").GetNumberAsInt(),
                  s = attributes.Get("SCALE").GetNumberAsInt();
        for (std::size_t k = 0; k < model.accessors[t].count; ++k)
            instanced.push_back(trs(floats(t, k, 3), floats(r, k, 4), floats(s, k, 3)));
    }
    ASSERT_EQ(5u, instanced.size());
    ASSERT_EQ(3u, plain.size());
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(near(instanced[i % 2 ? 3 + i / 2 : i / 2], SampleScene::placement(i) * toGltf)) << i;
    EXPECT_TRUE(near(plain[0], scene.sheared * toGltf));
    EXPECT_TRUE(near(plain[1], SampleScene::placement(5) * toGltf));

    // The Khronos validator, installed by scripts/install-deps.sh into the
    // build tree, finds no error in any form.
    const std::string modules = std::string(KLADO_BINARY_DIR) + "/node/node_modules";
    if (!std::filesystem::exists(modules + "/gltf-validator") || std::system("node --version > /dev/null") != 0) {
        if (std::getenv("CI")) FAIL() << "The glTF validator is not installed in " << modules;
        GTEST_SKIP() << "The glTF validator is not installed (scripts/install-deps.sh installs it).";
    }
    ASSERT_EQ("", writeObjectFile(*scene.root, dir.path("plant.gltf"), {}, nullptr));
    for (const char* name : {"plant.glb", "plant.gltf", "nodes.gltf"}) {
        const std::string command = "NODE_PATH='" + modules + "' node '" + KLADO_SOURCE_DIR +
                                    "/tests/workbench/validate-gltf.js' '" + dir.path(name) + "' > '" +
                                    dir.path("report.json") + "'";
        EXPECT_EQ(0, std::system(command.c_str())) << name << "\n" << dir.read("report.json");
        EXPECT_NE(dir.read("report.json").find("\"numErrors\": 0"), std::string::npos) << name;
    }
}
