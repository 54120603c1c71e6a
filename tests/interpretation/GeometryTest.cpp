#include "interpretation/GLColorer_Material.h"
#include "interpretation/GeometryBuilders.h"
#include "interpretation/GeometryCache.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/MOSGPolygon.h"
#include "interpretation/ShapeInstancer.h"
#include "interpretation/ShapePlacement.h"

#include <osg/Geode>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osgUtil/CullVisitor>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <tuple>
#include <vector>

namespace {

using Polygon = MOSGPolygon<double, GLMaterial, GLColorer_Material>;

using Vec3s = osg::Vec3Array;
const Vec3s& vertices(const osg::Geometry* g) { return static_cast<const Vec3s&>(*g->getVertexArray()); }
const Vec3s& normals(const osg::Geometry* g) { return static_cast<const Vec3s&>(*g->getNormalArray()); }

// The single primitive of a builder's geometry, checked to span all vertices.
GLenum onlyMode(const osg::Geometry* geometry) {
    EXPECT_EQ(1u, geometry->getNumPrimitiveSets());
    const auto* arrays = dynamic_cast<const osg::DrawArrays*>(geometry->getPrimitiveSet(0));
    if (!arrays) return 0;
    EXPECT_EQ(0, arrays->getFirst());
    EXPECT_EQ(static_cast<GLsizei>(vertices(geometry).size()), arrays->getCount());
    return arrays->getMode();
}

// Distance of a local point, placed by matrix, from a world point.
double offBy(const osg::Vec3d& local, const osg::Matrixd& matrix, const osg::Vec3d& world) {
    return (local * matrix - world).length();
}

ShapeDef shapeOf(ShapeType type) {
    ShapeDef shape;
    shape.type = type;
    shape.interpreted = shape.visible = true;
    return shape;
}

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

// A shape whose palette entry i is recognisable by its shininess i and whose
// own material has shininess 1000.
ShapeDef shapeWith(ColoringMode mode, int minColor = 0, int maxColor = 255) {
    ShapeDef shape;
    for (int i = 0; i < MaterialPalette::size; ++i) shape.palette[i].shininess = static_cast<float>(i);
    shape.material.shininess = 1000.0f;
    shape.coloringType = mode;
    shape.minColor = minColor;
    shape.maxColor = maxColor;
    return shape;
}

ColourRandom colourRandom;

int pickedEntry(const ShapeDef& shape, std::size_t atomIndex = 0, std::size_t atomCount = 1, int colourIndex = 0) {
    return static_cast<int>(pickMaterial(shape, atomIndex, atomCount, 0, colourIndex, colourRandom).shininess);
}

// The turtle at rest: heading +y, side +x, up +z.
const osg::Matrixd restFrame = frameMatrix({0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0});

// Places shapes into one group; placed(n) is the n-th transform's matrix and
// its geode's geometry and state.
class Placing : public ::testing::Test {
protected:
    struct Placed {
        osg::Matrixd matrix;
        osg::Geometry* geometry;
        osg::StateSet* stateSet;
    };

    void place(const ShapeDef& shape, const osg::Vec3d& end, double widthFactor = 1,
               const osg::Vec3d& start = {0, 0, 0}, const osg::Matrixd& frame = restFrame) {
        placeShape(cache, shape, start, end, (end - start).length(), widthFactor, frame, shape.material, shapes);
    }

    // The placements as one transform each.
    osg::Group* expanded() {
        myExpanded = expandInstances(*group);
        return myExpanded->asGroup();
    }

    Placed placed(unsigned n) {
        auto* transform = dynamic_cast<osg::MatrixTransform*>(expanded()->getChild(n));
        auto* geode = transform ? dynamic_cast<osg::Geode*>(transform->getChild(0)) : nullptr;
        EXPECT_NE(nullptr, geode);
        if (!geode) return {osg::Matrixd(), nullptr, nullptr};
        return {transform->getMatrix(), geode->getDrawable(0)->asGeometry(), geode->getStateSet()};
    }

    GeometryCache cache;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    ShapeInstancer shapes = [this] {
        ShapeInstancer instancer;
        instancer.start(group.get());
        return instancer;
    }();

private:
    osg::ref_ptr<osg::Node> myExpanded;
};

} // namespace

// A tube is a closed ring of radial normals; shapes without extent are
// refused, not built.
TEST(GeometryBuilders, TubesAreClosedAndShapesWithoutExtentAreRefused) {
    osg::ref_ptr<osg::Geometry> tube = buildTube(10, 5, 5, 32);
    const Vec3s &v = vertices(tube.get()), &n = normals(tube.get());
    ASSERT_EQ(66u, v.size());
    ASSERT_EQ(66u, n.size());
    EXPECT_EQ(GLenum(GL_QUAD_STRIP), onlyMode(tube.get()));
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_FLOAT_EQ(i % 2 ? 5.0f : -5.0f, v[i].x()) << i;
        EXPECT_NEAR(0.0, (osg::Vec3(0, v[i].y(), v[i].z()) / 2.5f - n[i]).length(), 1e-5) << i;
    }
    EXPECT_NEAR(0.0, (v[64] - v[0]).length(), 1e-5);
    EXPECT_THROW(buildBall(0.0, 32), GeometryError);
    EXPECT_THROW(buildBall(1.0, 3), GeometryError);
    EXPECT_THROW(buildTorus(0.0, 0.0, 32), GeometryError);
    EXPECT_THROW(buildTorus(4.0, 2.0, 0), GeometryError);
    EXPECT_NO_THROW(buildTorus(2.0, 2.0, 8)); // R = 0, r = 1: still has extent
}

TEST(GeometryCache, SharesGeometryAndStateForEqualKeysUntilCleared) {
    GeometryCache cache;
    osg::Geometry* tube = cache.tube(10, 5, 5, 32);
    EXPECT_EQ(tube, cache.tube(10, 5, 5, 32));
    const std::set<osg::Geometry*> distinct = {tube, cache.tube(10, 5, 4, 32), cache.tube(10, 5, 5, 16),
                                               cache.tube(10, 5, 5, 32, CapKind::Planar, CapKind::Planar),
                                               cache.tube(10, 5, 5, 32, CapKind::Extruded, CapKind::Planar)};
    EXPECT_EQ(5u, distinct.size());
    EXPECT_NE(cache.line(2, {1, 0, 0, 1}), cache.line(2, {0, 1, 0, 1}));
    // A NaN length (from a parameter such as 0/0) is a key like any other.
    EXPECT_EQ(cache.tube(std::nan(""), 5, 5, 32), cache.tube(std::nan(""), 5, 5, 32));
    EXPECT_EQ(tube, cache.tube(10, 5, 5, 32));

    // State sets follow the material colours.
    GLMaterial material = GLMaterial::shapeDefault();
    material.shininess = 200.0f;
    osg::StateSet* state = cache.litStateSet(material);
    EXPECT_EQ(state, cache.litStateSet(material));
    const auto* glMaterial = dynamic_cast<const osg::Material*>(state->getAttribute(osg::StateAttribute::MATERIAL));
    ASSERT_NE(nullptr, glMaterial);
    EXPECT_EQ(osg::Vec4(1, 1, 1, 1), glMaterial->getDiffuse(osg::Material::FRONT));
    EXPECT_FLOAT_EQ(128.0f, glMaterial->getShininess(osg::Material::FRONT));
    // Materials that differ in emission alone look different.
    GLMaterial glowing = material;
    glowing.emission[0] = 1.0f;
    EXPECT_NE(state, cache.litStateSet(glowing));
    EXPECT_EQ(osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED, cache.lineStateSet()->getMode(GL_LIGHTING));

    osg::ref_ptr<osg::Geometry> kept = tube;
    cache.clear();
    EXPECT_NE(kept.get(), cache.tube(10, 5, 5, 32));
}

TEST_F(Placing, TubeAndItsCapsAreOnePlacement) {
    ShapeDef shape = shapeOf(ShapeType::Tube);
    shape.material = GLMaterial::shapeDefault();
    place(shape, {0, 10, 0});
    ASSERT_EQ(1u, expanded()->getNumChildren());
    const Placed tube = placed(0);
    EXPECT_EQ(cache.tube(10, 5, 5, 32, CapKind::Planar, CapKind::Planar), tube.geometry);
    EXPECT_EQ(cache.litStateSet(shape.material), tube.stateSet);
    // The local x axis from -5 to 5 runs along the heading from start to end.
    EXPECT_NEAR(0.0, offBy({-5, 0, 0}, tube.matrix, {0, 0, 0}), 1e-9);
    EXPECT_NEAR(0.0, offBy({5, 0, 0}, tube.matrix, {0, 10, 0}), 1e-9);

    // The tube's quad strip, then the start and the end disc, the end one
    // facing outwards.
    const Vec3s& v = vertices(tube.geometry);
    ASSERT_EQ(3u * 66u, v.size());
    ASSERT_EQ(v.size(), normals(tube.geometry).size());
    EXPECT_EQ(osg::Vec3(1, 0, 0), normals(tube.geometry)[197]);
    // The centres of the discs land on the start and end points.
    EXPECT_NEAR(0.0, offBy(v[66], tube.matrix, {0, 0, 0}), 1e-9);
    EXPECT_NEAR(0.0, offBy(v[132], tube.matrix, {0, 10, 0}), 1e-9);
}

TEST_F(Placing, ConeCapsExtrudedStartAndAddedLine) {
    ShapeDef cone = shapeOf(ShapeType::Cone);
    cone.width2 = 0.0; // no end cap whatever closing2 says
    cone.closing1 = cone.closing2 = CapKind::Extruded;
    cone.addLine = true;
    cone.material.diffuse[0] = 0.25f;
    place(cone, {1, 6, 0}, 2, {1, 0, 0});
    ASSERT_EQ(2u, expanded()->getNumChildren());

    const Placed shape = placed(0);
    EXPECT_EQ(cache.tube(6, 10, 0, 32, CapKind::Extruded, CapKind::None), shape.geometry);
    ASSERT_EQ(2u, shape.geometry->getNumPrimitiveSets());
    const Vec3s& v = vertices(shape.geometry);
    ASSERT_EQ(66u + vertices(buildBall(5, 32).get()).size(), v.size());
    // A ball of radius width * wf / 2 around the start point.
    for (std::size_t i = 66; i < v.size(); ++i) EXPECT_NEAR(5.0, offBy(v[i], shape.matrix, {1, 0, 0}), 1e-5);

    const Placed line = placed(1);
    EXPECT_EQ(GLenum(GL_LINES), onlyMode(line.geometry));
    EXPECT_EQ(osg::Vec3d(1, 0, 0), line.matrix.getTrans());
    EXPECT_EQ(cache.lineStateSet(), line.stateSet);
    const auto* colours = static_cast<const osg::Vec4Array*>(line.geometry->getColorArray());
    ASSERT_NE(nullptr, colours);
    EXPECT_EQ(osg::Array::BIND_OVERALL, colours->getBinding());
    EXPECT_EQ(osg::Vec4(0.25f, 1, 1, 1), (*colours)[0]);
}

TEST_F(Placing, EndsStayOpenWithoutKindOrWidth) {
    ShapeDef thin = shapeOf(ShapeType::Tube);
    thin.width = 0.0;
    place(thin, {0, 1, 0});
    ShapeDef endOnly = shapeOf(ShapeType::Tube);
    endOnly.closing1 = CapKind::None;
    place(endOnly, {0, 1, 0});
    place(shapeOf(ShapeType::Tube), {0, 1, 0}, 0); // a width factor of 0 leaves no width to cap
    ASSERT_EQ(3u, expanded()->getNumChildren());

    // The first and the last tube share one geometry, so their placements
    // come together.
    EXPECT_EQ(GLenum(GL_QUAD_STRIP), onlyMode(placed(0).geometry));
    EXPECT_EQ(placed(0).geometry, placed(1).geometry);
    const osg::Geometry* capped = placed(2).geometry;
    ASSERT_EQ(2u, capped->getNumPrimitiveSets());
    EXPECT_EQ(66u, capped->getPrimitiveSet(1)->index(0));
    EXPECT_FLOAT_EQ(0.5f, vertices(capped)[66].x());
    EXPECT_EQ(cache.tube(1, 0, 0, 32), placed(1).geometry);
}

TEST_F(Placing, BallsAndTori) {
    place(shapeOf(ShapeType::Ball), {0, 4, 0});
    EXPECT_EQ(cache.ball(2, 32), placed(0).geometry);
    EXPECT_EQ(osg::Vec3d(0, 2, 0), placed(0).matrix.getTrans());
    EXPECT_THROW(place(shapeOf(ShapeType::Ball), {0, 0, 0}), GeometryError);

    place(shapeOf(ShapeType::Torus), {0, 4, 0}, 0.5);
    EXPECT_EQ(cache.torus(4, 1, 32), placed(1).geometry);
    EXPECT_EQ(2u, expanded()->getNumChildren());
}

TEST(MOSGPolygon, ConcaveCrossingAndDegenerateOutlines) {
    const auto build = [](std::initializer_list<osg::Vec3d> points) {
        Polygon polygon{GLMaterial()};
        for (const osg::Vec3d& p : points) polygon.addPoint(Polygon::PolyPoint(GLMaterial(), p, osg::Vec3d(0, 0, 1)));
        return polygon.buildGeometry();
    };
    // A concave outline is triangulated, not drawn as a GL polygon.
    osg::ref_ptr<osg::Geode> concave = build({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 1, 0}, {0, 4, 0}});
    const osg::Geometry* geometry = concave->getDrawable(0)->asGeometry();
    ASSERT_GE(geometry->getNumPrimitiveSets(), 1u);
    for (unsigned i = 0; i < geometry->getNumPrimitiveSets(); ++i)
        EXPECT_NE(GLenum(GL_POLYGON), geometry->getPrimitiveSet(i)->getMode());
    // A self-crossing outline gains vertices, each with its normal.
    osg::ref_ptr<osg::Geode> crossing = build({{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}});
    geometry = crossing->getDrawable(0)->asGeometry();
    EXPECT_EQ(vertices(geometry).size(), normals(geometry).size());
    EXPECT_TRUE(build({{0, 0, 0}}).valid());
    EXPECT_TRUE(build({{0, 0, 0}, {1, 0, 0}}).valid());
}

TEST_F(Placing, OneGeodeAPairAtMostMaxInstancesADraw) {
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
        osg::Matrixd::rotate(osg::DegreesToRadians(37.0), 0, 0, 1) * osg::Matrixd::translate(10, -4, 2),
        osg::Matrixd::scale(2, 2, 2) * osg::Matrixd::rotate(osg::DegreesToRadians(120.0), osg::Vec3d(1, 1, 1)) *
            osg::Matrixd::translate(-7, 3, 25),
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
        view->pushModelViewMatrix(new osg::RefMatrix(osg::Matrixd::lookAt(
                                      osg::Vec3d(0, -distance, 0), osg::Vec3d(0, lookingAt, 0), osg::Vec3d(0, 0, 1))),
                                  osg::Transform::ABSOLUTE_RF);
        return geometry->thinOnScreen(*view);
    };
    EXPECT_TRUE(thinAt(1300, 1));
    EXPECT_FALSE(thinAt(950, 1));
    EXPECT_FALSE(thinAt(1300, 2)); // scaled to twice the width
    EXPECT_FALSE(thinAt(1300, 1, false));
    EXPECT_FALSE(thinAt(1300, 1, true, -2600)); // behind the eye
}

TEST(Colouring, SingleIndexAndIterateModesClampToThePalette) {
    ShapeDef single = shapeWith(ColoringMode::Single);
    single.indexOffset = 7;
    EXPECT_EQ(1000, pickedEntry(single, 3, 10, 42)); // the shape's own material

    // The colour index plus the offset.
    ShapeDef indexed = shapeWith(ColoringMode::PaletteIndex);
    const std::tuple<int, int, int> cases[] = {{2, 3, 5}, {10, 250, 255}, {-10, 3, 0}, {2147483647, 255, 255}};
    for (const auto& [offset, index, entry] : cases) {
        indexed.indexOffset = offset;
        EXPECT_EQ(entry, pickedEntry(indexed, 0, 1, index)) << offset;
    }

    // From min towards max over the string: trunc(255 * i / n).
    const ShapeDef iterate = shapeWith(ColoringMode::PaletteIterate);
    EXPECT_EQ(0, pickedEntry(iterate, 0, 7));
    EXPECT_EQ(255 * 6 / 7, pickedEntry(iterate, 6, 7));
    EXPECT_EQ(127, pickedEntry(iterate, 1, 2));
    const ShapeDef wide = shapeWith(ColoringMode::PaletteIterate, -100, 1000);
    EXPECT_EQ(0, pickedEntry(wide, 0, 10));
    EXPECT_EQ(255, pickedEntry(wide, 9, 10));
}

TEST(Colouring, PaletteRandomStaysBetweenClampedBoundsAndRepeatsWithTheSeed) {
    const ShapeDef shape = shapeWith(ColoringMode::PaletteRandom, 10, 20);
    colourRandom.reseed(42);
    std::vector<int> first;
    for (int i = 0; i < 200; ++i) first.push_back(pickedEntry(shape));
    // A draw whose rand is not 32767 never reaches max, but the range below
    // it is used (the spread is not collapsed onto one end).
    EXPECT_EQ(10, *std::min_element(first.begin(), first.end()));
    EXPECT_EQ(19, *std::max_element(first.begin(), first.end()));
    colourRandom.reseed(42);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(first[i], pickedEntry(shape));

    EXPECT_EQ(77, pickedEntry(shapeWith(ColoringMode::PaletteRandom, 77, 77)));
    EXPECT_EQ(0, pickedEntry(shapeWith(ColoringMode::PaletteRandom, -50, -10)));
    EXPECT_EQ(255, pickedEntry(shapeWith(ColoringMode::PaletteRandom, 300, 400)));
}

// Pictures made while the colours came from the C library's rand must not
// change: the private generator repeats its sequence for every seed.
TEST(Colouring, PrivateGeneratorRepeatsTheCLibrarySequence) {
    for (unsigned seed : {0u, 1u, 42u, 12345u, 2147483647u, 3000000000u, 4294967295u}) {
        std::srand(seed);
        ColourRandom own(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(std::rand(), own.next()) << "seed " << seed << ", draw " << i;
    }
}
