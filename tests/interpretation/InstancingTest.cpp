#include "InterpreterFixture.h"

#include "interpretation/GeometryBuilders.h"
#include "interpretation/GeometryCache.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/ShapeInstancer.h"

#include <osg/Geode>
#include <osg/MatrixTransform>
#include <osgUtil/CullVisitor>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The instanced geometries of a scene's geodes, in order.
std::vector<const MOSGInstancedGeometry*> instanced(const osg::Group& scene) {
    std::vector<const MOSGInstancedGeometry*> result;
    for (unsigned i = 0; i < scene.getNumChildren(); ++i)
        if (const osg::Geode* geode = scene.getChild(i)->asGeode())
            for (unsigned d = 0; d < geode->getNumDrawables(); ++d)
                if (const auto* geometry = dynamic_cast<const MOSGInstancedGeometry*>(geode->getDrawable(d)))
                    result.push_back(geometry);
    return result;
}

osg::Matrixd turned(double degrees, const osg::Vec3d& axis, const osg::Vec3d& translation) {
    return osg::Matrixd::rotate(osg::DegreesToRadians(degrees), axis) * osg::Matrixd::translate(translation);
}

} // namespace

TEST(ShapeInstancer, OneGeodeAPairAtMostMaxInstancesADraw) {
    GeometryCache cache;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    ShapeInstancer shapes;
    shapes.start(group.get());
    osg::Geometry* tube = cache.tube(2, 1, 1, 8, CapKind::Planar, CapKind::Planar);
    GLMaterial red;
    red.diffuse[0] = 1.0f;
    const std::size_t count = 2 * ShapeInstancer::maxInstances + 3;
    for (std::size_t i = 0; i < count; ++i)
        shapes.place(tube, cache.litStateSet(red), true, osg::Matrixd::translate(double(i), 0, 0));
    shapes.place(tube, cache.litStateSet(GLMaterial()), true, osg::Matrixd());
    shapes.place(cache.line(1, {1, 0, 0, 1}), cache.lineStateSet(), false, osg::Matrixd());

    ASSERT_EQ(3u, group->getNumChildren());
    const osg::Geode* reds = group->getChild(0)->asGeode();
    ASSERT_NE(nullptr, reds);
    EXPECT_EQ(cache.litStateSet(red), reds->getStateSet());
    ASSERT_EQ(3u, reds->getNumDrawables());
    std::size_t seen = 0;
    for (const MOSGInstancedGeometry* geometry : instanced(*group)) {
        SCOPED_TRACE(seen);
        EXPECT_LE(geometry->instanceCount(), ShapeInstancer::maxInstances);
        // The shape's own arrays, drawn once for every instance.
        EXPECT_EQ(geometry->shape()->getVertexArray(), geometry->getVertexArray());
        ASSERT_EQ(geometry->shape()->getNumPrimitiveSets(), geometry->getNumPrimitiveSets());
        for (unsigned p = 0; p < geometry->getNumPrimitiveSets(); ++p)
            EXPECT_EQ(int(geometry->instanceCount()), geometry->getPrimitiveSet(p)->getNumInstances());
        seen += geometry->instanceCount();
    }
    EXPECT_EQ(count + 2, seen);
    // Lit and unlit shapes share one shader state each.
    const auto all = instanced(*group);
    EXPECT_EQ(all[0]->getStateSet(), all[3]->getStateSet());
    EXPECT_NE(all[0]->getStateSet(), all[4]->getStateSet());
}

// Each placement of a slender shape adds the segment along its axis, as far
// as its caps reach, with the axis at its start and reversed at its end.
TEST(MOSGInstancedGeometry, SlenderShapesKeepALineAlongEachAxis) {
    osg::ref_ptr<osg::Geometry> shape = buildCappedTube(3, 1, 0.5, 8, CapKind::Extruded, CapKind::Planar);
    osg::ref_ptr<MOSGInstancedGeometry> geometry = MOSGInstancedGeometry::slender(shape.get(), 8);
    const osg::Matrixd placements[] = {
        turned(37, {0, 0, 1}, {10, -4, 2}),
        osg::Matrixd::scale(2, 2, 2) * turned(120, osg::Vec3d(1, 1, 1) / std::sqrt(3.0), {-7, 3, 25}),
    };
    for (const osg::Matrixd& placement : placements) geometry->addInstance(placement);
    const MOSGThinLines* lines = geometry->thinLines();
    ASSERT_NE(nullptr, lines);
    const auto& vertices = static_cast<const osg::Vec3Array&>(*lines->getVertexArray());
    const auto& axes = static_cast<const osg::Vec3Array&>(*lines->getNormalArray());
    ASSERT_EQ(4u, vertices.size());
    ASSERT_EQ(4, lines->getPrimitiveSet(0)->getNumIndices());
    const osg::BoundingBox box = shape->getBoundingBox();
    EXPECT_LT(box.xMin(), -1.5f); // the extruded cap reaches beyond the tube
    for (std::size_t k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const osg::Vec3 start = osg::Vec3(box.xMin(), 0, 0) * placements[k];
        const osg::Vec3 end = osg::Vec3(box.xMax(), 0, 0) * placements[k];
        EXPECT_NEAR(0.0, (vertices[2 * k] - start).length(), 1e-4);
        EXPECT_NEAR(0.0, (vertices[2 * k + 1] - end).length(), 1e-4);
        EXPECT_NEAR(0.0, (axes[2 * k] - (end - start)).length(), 1e-4);
        EXPECT_NEAR(0.0, (axes[2 * k + 1] - (start - end)).length(), 1e-4);
    }
    EXPECT_EQ(nullptr, MOSGInstancedGeometry(shape.get(), true).thinLines());
}

// A slender shape is thin on screen while its width spans less than a pixel
// at the nearest corner of its instances' box. A 1-unit-wide tube seen at
// distance d through a 30-degree view 600 pixels high spans 300 / tan(15
// degrees) / d pixels: 1 pixel at d = 1120.
TEST(MOSGInstancedGeometry, ThinOnScreenWhileNarrowerThanAPixel) {
    osg::ref_ptr<osg::Geometry> shape = buildTube(2, 1, 1, 8);
    const auto thinAt = [&](double distance, double scale, bool slender = true, double lookingAt = 0.0) {
        osg::ref_ptr<MOSGInstancedGeometry> geometry = MOSGInstancedGeometry::slender(shape.get(), 8);
        if (!slender) geometry = new MOSGInstancedGeometry(shape.get(), true);
        geometry->addInstance(osg::Matrixd::scale(scale, scale, scale));
        osg::ref_ptr<osgUtil::CullVisitor> view = new osgUtil::CullVisitor;
        view->pushViewport(new osg::Viewport(0, 0, 800, 600));
        view->pushProjectionMatrix(new osg::RefMatrix(osg::Matrixd::perspective(30, 800.0 / 600.0, 1, 5000)));
        view->pushModelViewMatrix(
            new osg::RefMatrix(osg::Matrixd::lookAt(osg::Vec3d(0, -distance, 0), osg::Vec3d(0, lookingAt, 0), osg::Vec3d(0, 0, 1))),
            osg::Transform::ABSOLUTE_RF);
        return geometry->thinOnScreen(*view);
    };
    EXPECT_TRUE(thinAt(1300, 1));
    EXPECT_FALSE(thinAt(950, 1));
    EXPECT_FALSE(thinAt(1300, 2)); // scaled to twice the width
    EXPECT_FALSE(thinAt(1300, 1, false));
    EXPECT_FALSE(thinAt(1300, 1, true, -2600)); // behind the eye
}

