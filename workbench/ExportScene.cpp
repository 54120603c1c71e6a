#include "workbench/ExportScene.h"

#include <osg/Geode>
#include <osg/Material>
#include <osg/NodeVisitor>
#include <osg/TriangleLinePointIndexFunctor>

#include <algorithm>
#include <map>
#include <numeric>
#include <tuple>
#include <utility>

namespace {

// The indices of a geometry's triangles and of its line segments.
struct Primitives {
    const osg::Vec3Array* vertices = nullptr;
    std::vector<std::uint32_t> triangles;
    std::vector<std::uint32_t> segments;
    void operator()(unsigned) {}
    void operator()(unsigned a, unsigned b) { segments.insert(segments.end(), {a, b}); }
    void operator()(unsigned a, unsigned b, unsigned c) {
        const osg::Vec3& p = (*vertices)[a];
        const osg::Vec3& q = (*vertices)[b];
        const osg::Vec3& r = (*vertices)[c];
        // A triangle with two corners in one place (as at the poles of a
        // ball) covers nothing; slicers and viewers warn of such faces.
        const float longest = std::max({(q - p).length2(), (r - p).length2(), (r - q).length2()});
        if (((q - p) ^ (r - p)).length() > 1e-6f * longest) triangles.insert(triangles.end(), {a, b, c});
    }
};

ExportShape shapeOf(osg::Geometry& geometry) {
    ExportShape shape;
    shape.form = shapeForm(geometry);
    const auto* vertices = dynamic_cast<const osg::Vec3Array*>(geometry.getVertexArray());
    if (!vertices) return shape;
    shape.vertices.assign(vertices->begin(), vertices->end());
    osg::TriangleLinePointIndexFunctor<Primitives> primitives;
    primitives.vertices = vertices;
    geometry.accept(primitives);
    shape.lines = primitives.triangles.empty();
    shape.indices = shape.lines ? primitives.segments : primitives.triangles;
    if (shape.lines) return shape;
    const std::size_t count = shape.vertices.size();
    // Normals as drawn: per vertex, or one for all; unit length, whatever
    // the builder left.
    const auto* normals = dynamic_cast<const osg::Vec3Array*>(geometry.getNormalArray());
    shape.normals.resize(count, osg::Vec3(0.0f, 0.0f, 1.0f));
    if (normals && !normals->empty()) {
        const bool perVertex = geometry.getNormalBinding() == osg::Geometry::BIND_PER_VERTEX && normals->size() >= count;
        for (std::size_t i = 0; i < count; ++i) shape.normals[i] = (*normals)[perVertex ? i : 0];
    }
    for (osg::Vec3& normal : shape.normals)
        if (normal.normalize() == 0.0f) normal.set(0.0f, 0.0f, 1.0f);
    return shape;
}

ExportMaterial materialOf(const osg::StateSet* state, const osg::Geometry& shape) {
    ExportMaterial material;
    const auto* colours = dynamic_cast<const osg::Vec4Array*>(shape.getColorArray());
    const bool lit = state && (state->getMode(GL_LIGHTING) & osg::StateAttribute::ON);
    const auto* lighting =
        state ? dynamic_cast<const osg::Material*>(state->getAttribute(osg::StateAttribute::MATERIAL)) : nullptr;
    if (lit && lighting) {
        material.ambient = lighting->getAmbient(osg::Material::FRONT);
        material.diffuse = lighting->getDiffuse(osg::Material::FRONT);
        material.specular = lighting->getSpecular(osg::Material::FRONT);
        material.emission = lighting->getEmission(osg::Material::FRONT);
        material.shininess = lighting->getShininess(osg::Material::FRONT);
        return material;
    }
    material.lit = false;
    material.diffuse = colours && !colours->empty() ? colours->front() : osg::Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    return material;
}

auto materialKey(const ExportMaterial& m) {
    const auto colour = [](const osg::Vec4& c) { return std::make_tuple(c[0], c[1], c[2], c[3]); };
    return std::make_tuple(m.lit, colour(m.ambient), colour(m.diffuse), colour(m.specular), colour(m.emission),
                           m.shininess);
}

} // namespace

class ExportScene::Collector : public osg::NodeVisitor {
public:
    explicit Collector(ExportScene& scene) : osg::NodeVisitor(TRAVERSE_ACTIVE_CHILDREN), myScene(scene) {}

    void apply(osg::Geode& geode) override {
        const osg::Matrixd world = osg::computeLocalToWorld(getNodePath());
        for (unsigned i = 0; i < geode.getNumDrawables(); ++i) {
            osg::Drawable* drawable = geode.getDrawable(i);
            if (dynamic_cast<MOSGThinLines*>(drawable)) continue;
            const auto* instances = dynamic_cast<const MOSGInstancedGeometry*>(drawable);
            osg::Geometry* geometry = instances ? instances->shape() : drawable->asGeometry();
            if (!geometry) continue;
            if (instances && instances->instanceCount() == 0) continue;
            const osg::StateSet* state = geode.getStateSet() ? geode.getStateSet() : drawable->getStateSet();
            ExportScene::Batch& batch = batchOf(*geometry, state);
            batch.sources.push_back({instances, world});
            batch.placements += instances ? instances->instanceCount() : 1;
        }
    }

    // Puts the batches in the order of their materials.
    void finish() {
        std::vector<std::size_t> order(myScene.myBatches.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return myScene.myBatches[a].material < myScene.myBatches[b].material;
        });
        std::vector<ExportScene::Batch> sorted;
        sorted.reserve(order.size());
        for (std::size_t index : order) sorted.push_back(std::move(myScene.myBatches[index]));
        myScene.myBatches = std::move(sorted);
    }

private:
    ExportScene::Batch& batchOf(osg::Geometry& geometry, const osg::StateSet* state) {
        const auto shape = myShapes.try_emplace(&geometry, myScene.myShapes.size());
        if (shape.second) myScene.myShapes.push_back(shapeOf(geometry));
        const ExportMaterial material = materialOf(state, geometry);
        const auto known = myMaterials.try_emplace(materialKey(material), myScene.myMaterials.size());
        if (known.second) myScene.myMaterials.push_back(material);
        const auto batch = myBatches.try_emplace({shape.first->second, known.first->second}, myScene.myBatches.size());
        if (batch.second) {
            myScene.myBatches.emplace_back();
            myScene.myBatches.back().shape = shape.first->second;
            myScene.myBatches.back().material = known.first->second;
        }
        return myScene.myBatches[batch.first->second];
    }

    ExportScene& myScene;
    std::map<const osg::Geometry*, std::size_t> myShapes;
    std::map<decltype(materialKey(ExportMaterial())), std::size_t> myMaterials;
    std::map<std::pair<std::size_t, std::size_t>, std::size_t> myBatches;
};

ExportScene::ExportScene(osg::Node& node) {
    Collector collector(*this);
    node.accept(collector);
    collector.finish();
}

std::size_t ExportScene::placements() const {
    std::size_t count = 0;
    for (const Batch& batch : myBatches) count += batch.placements;
    return count;
}
