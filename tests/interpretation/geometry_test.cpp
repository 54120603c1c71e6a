#include "interpretation/GLColorer_Material.h"
#include "interpretation/GeometryBuilders.h"
#include "interpretation/GeometryCache.h"
#include "interpretation/MOSGPolygon.h"
#include "interpretation/ShapePlacement.h"
#include "interpretation/SphereTable.h"

#include <osg/Geode>
#include <osg/Material>
#include <osg/MatrixTransform>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const osg::Vec3Array& vertices(const osg::Geometry* geometry)
{
    return *static_cast<const osg::Vec3Array*>(geometry->getVertexArray());
}

const osg::Vec3Array& normals(const osg::Geometry* geometry)
{
    return *static_cast<const osg::Vec3Array*>(geometry->getNormalArray());
}

// The single primitive of a builder's geometry, checked to span all vertices.
GLenum onlyMode(const osg::Geometry* geometry)
{
    EXPECT_EQ(1u, geometry->getNumPrimitiveSets());
    const auto* arrays = dynamic_cast<const osg::DrawArrays*>(geometry->getPrimitiveSet(0));
    EXPECT_NE(nullptr, arrays);
    if (!arrays)
        return 0;
    EXPECT_EQ(0, arrays->getFirst());
    EXPECT_EQ(static_cast<GLsizei>(vertices(geometry).size()), arrays->getCount());
    return arrays->getMode();
}

double distanceFromX(const osg::Vec3& v)
{
    return std::hypot(v.y(), v.z());
}

// The n-th placement under group: its matrix and its geode's geometry and state.
struct Placed {
    osg::Matrixd matrix;
    osg::Geometry* geometry;
    osg::StateSet* stateSet;
};

Placed placed(osg::Group* group, unsigned n)
{
    auto* transform = dynamic_cast<osg::MatrixTransform*>(group->getChild(n));
    EXPECT_NE(nullptr, transform);
    auto* geode = dynamic_cast<osg::Geode*>(transform->getChild(0));
    EXPECT_NE(nullptr, geode);
    return {transform->getMatrix(), geode->getDrawable(0)->asGeometry(), geode->getStateSet()};
}

// The turtle at rest: heading +y, side +x, up +z.
const osg::Matrixd restFrame = frameMatrix({0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0});

ShapeDef tubeShape()
{
    ShapeDef shape;
    shape.type = ShapeType::Tube;
    shape.interpreted = shape.visible = true;
    return shape;
}

} // namespace

TEST(GeometryBuilders, SegmentsForQuality)
{
    EXPECT_EQ(8, segmentsForQuality(ShapeQuality::VeryLow));
    EXPECT_EQ(16, segmentsForQuality(ShapeQuality::Low));
    EXPECT_EQ(32, segmentsForQuality(ShapeQuality::Normal));
    EXPECT_EQ(64, segmentsForQuality(ShapeQuality::High));
    EXPECT_EQ(128, segmentsForQuality(ShapeQuality::VeryHigh));
    EXPECT_EQ(32, segmentsForQuality(static_cast<ShapeQuality>(9)));
}

TEST(GeometryBuilders, LineRunsAlongHeading)
{
    osg::ref_ptr<osg::Geometry> line = buildLine(7.5);
    ASSERT_EQ(2u, vertices(line.get()).size());
    EXPECT_EQ(osg::Vec3(0, 0, 0), vertices(line.get())[0]);
    EXPECT_EQ(osg::Vec3(7.5f, 0, 0), vertices(line.get())[1]);
    EXPECT_EQ(nullptr, line->getNormalArray());
    EXPECT_EQ(GLenum(GL_LINES), onlyMode(line.get()));
}

TEST(GeometryBuilders, TubeOfLength10Width5)
{
    osg::ref_ptr<osg::Geometry> tube = buildTube(10, 5, 5, 32);
    const osg::Vec3Array& v = vertices(tube.get());
    const osg::Vec3Array& n = normals(tube.get());
    ASSERT_EQ(66u, v.size());
    ASSERT_EQ(66u, n.size());
    // The default retessellation leaves the quad strip as it is.
    EXPECT_EQ(GLenum(GL_QUAD_STRIP), onlyMode(tube.get()));
    EXPECT_EQ(osg::Array::BIND_PER_VERTEX, tube->getNormalArray()->getBinding());
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_FLOAT_EQ(i % 2 ? 5.0f : -5.0f, v[i].x());
        EXPECT_NEAR(2.5, distanceFromX(v[i]), 1e-5);
        EXPECT_NEAR(1.0, n[i].length(), 1e-6);
        EXPECT_NEAR(0.0, n[i].x(), 1e-6);
        EXPECT_NEAR(0.0, (osg::Vec3(0, v[i].y(), v[i].z()) / 2.5f - n[i]).length(), 1e-5);
    }
    // The last ring closes onto the first.
    EXPECT_NEAR(0.0, (v[64] - v[0]).length(), 1e-5);
}

TEST(GeometryBuilders, ConeNarrowsWithRadialNormals)
{
    osg::ref_ptr<osg::Geometry> cone = buildTube(4, 6, 2, 8);
    const osg::Vec3Array& v = vertices(cone.get());
    ASSERT_EQ(18u, v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_NEAR(i % 2 ? 1.0 : 3.0, distanceFromX(v[i]), 1e-5);
        EXPECT_NEAR(0.0, normals(cone.get())[i].x(), 1e-6);
    }
}

TEST(GeometryBuilders, BallIsASphereOfBands)
{
    osg::ref_ptr<osg::Geometry> ball = buildBall(-2.0, -8);  // signs are dropped
    const osg::Vec3Array& v = vertices(ball.get());
    ASSERT_EQ(4u * 9u * 2u, v.size());
    EXPECT_EQ(GLenum(GL_QUAD_STRIP), onlyMode(ball.get()));
    float minY = 0, maxY = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_NEAR(2.0, v[i].length(), 1e-5);
        EXPECT_NEAR(0.0, (v[i] / 2.0f - normals(ball.get())[i]).length(), 1e-5);
        minY = std::min(minY, v[i].y());
        maxY = std::max(maxY, v[i].y());
    }
    EXPECT_FLOAT_EQ(-2.0f, minY);
    EXPECT_FLOAT_EQ(2.0f, maxY);
}

TEST(GeometryBuilders, BallAndTorusWithoutExtentAreErrors)
{
    EXPECT_THROW(buildBall(0.0, 32), GeometryError);
    EXPECT_THROW(buildBall(1.0, 3), GeometryError);
    EXPECT_THROW(buildTorus(0.0, 0.0, 32), GeometryError);
    EXPECT_THROW(buildTorus(4.0, 2.0, 0), GeometryError);
    EXPECT_NO_THROW(buildTorus(2.0, 2.0, 8));  // R = 0, r = 1: still has extent
}

TEST(GeometryBuilders, TorusLiesAroundSideAxisWithOuterDiameterLength)
{
    osg::ref_ptr<osg::Geometry> torus = buildTorus(10, 2, 16);
    const osg::Vec3Array& v = vertices(torus.get());
    ASSERT_EQ(16u * 17u * 2u, v.size());
    EXPECT_EQ(GLenum(GL_QUAD_STRIP), onlyMode(torus.get()));
    double outer = 0, inner = 10;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double ring = std::hypot(v[i].x(), v[i].z());
        outer = std::max(outer, ring);
        inner = std::min(inner, ring);
        EXPECT_LE(std::fabs(v[i].y()), 1.0 + 1e-6);
        // Distance from the centre circle (R = 4) is the tube radius r = 1.
        EXPECT_NEAR(1.0, std::hypot(ring - 4.0, v[i].y()), 1e-5);
        EXPECT_NEAR(1.0, normals(torus.get())[i].length(), 1e-5);
    }
    EXPECT_NEAR(5.0, outer, 1e-5);
    EXPECT_NEAR(3.0, inner, 1e-5);
}

TEST(GeometryBuilders, DiscFacesHeading)
{
    osg::ref_ptr<osg::Geometry> disc = buildDisc(1.5, 8);
    const osg::Vec3Array& v = vertices(disc.get());
    ASSERT_EQ(18u, v.size());
    EXPECT_EQ(GLenum(GL_QUAD_STRIP), onlyMode(disc.get()));
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_FLOAT_EQ(0.0f, v[i].x());
        EXPECT_NEAR(i % 2 ? 1.5 : 0.0, v[i].length(), 1e-5);
        EXPECT_EQ(osg::Vec3(1, 0, 0), normals(disc.get())[i]);
    }
}

TEST(GeometryBuilders, AppendShiftsPrimitivesPastTheTarget)
{
    osg::ref_ptr<osg::Geometry> target = new osg::Geometry;
    target->setVertexArray(new osg::Vec3Array(300));
    target->setNormalArray(new osg::Vec3Array(300), osg::Array::BIND_PER_VERTEX);
    osg::ref_ptr<osg::Geometry> part = new osg::Geometry;
    const osg::Vec3 points[] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    const osg::Vec3 directions[] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    part->setVertexArray(new osg::Vec3Array(3, points));
    part->setNormalArray(new osg::Vec3Array(3, directions), osg::Array::BIND_PER_VERTEX);
    part->addPrimitiveSet(new osg::DrawArrays(GL_LINES, 1, 2));
    const GLubyte indices[] = {2, 1, 0};
    part->addPrimitiveSet(new osg::DrawElementsUByte(GL_TRIANGLES, 3, indices));

    appendGeometry(*target, *part, osg::Vec3(10, 0, 0));
    ASSERT_EQ(303u, vertices(target.get()).size());
    EXPECT_EQ(osg::Vec3(17, 8, 9), vertices(target.get())[302]);
    EXPECT_EQ(osg::Vec3(1, 0, 0), normals(target.get())[302]);
    ASSERT_EQ(2u, target->getNumPrimitiveSets());
    const auto* lines = dynamic_cast<const osg::DrawArrays*>(target->getPrimitiveSet(0));
    ASSERT_NE(nullptr, lines);
    EXPECT_EQ(301, lines->getFirst());
    EXPECT_EQ(2, lines->getCount());
    // Indices past 255 no longer fit the part's bytes.
    const osg::DrawElements* triangles = target->getPrimitiveSet(1)->getDrawElements();
    ASSERT_NE(nullptr, triangles);
    EXPECT_EQ(GLenum(GL_TRIANGLES), triangles->getMode());
    ASSERT_EQ(3u, triangles->getNumIndices());
    EXPECT_EQ(302u, triangles->index(0));
    EXPECT_EQ(300u, triangles->index(2));
    EXPECT_EQ(2u, part->getPrimitiveSet(0)->index(1));  // the part is left as it was
}

TEST(GeometryCache, SharesEqualDimensionsUntilClearedOrFull)
{
    GeometryCache cache;
    osg::Geometry* tube = cache.tube(10, 5, 5, 32);
    EXPECT_EQ(tube, cache.tube(10, 5, 5, 32));
    EXPECT_NE(tube, cache.tube(10, 5, 4, 32));
    EXPECT_NE(tube, cache.tube(10, 5, 5, 16));
    osg::Geometry* capped = cache.tube(10, 5, 5, 32, CapKind::Planar, CapKind::Planar);
    EXPECT_NE(tube, capped);
    EXPECT_EQ(capped, cache.tube(10, 5, 5, 32, CapKind::Planar, CapKind::Planar));
    EXPECT_NE(capped, cache.tube(10, 5, 5, 32, CapKind::Extruded, CapKind::Planar));
    EXPECT_EQ(cache.ball(1, 8), cache.ball(1, 8));
    EXPECT_EQ(cache.torus(4, 1, 8), cache.torus(4, 1, 8));
    EXPECT_NE(cache.line(2, {1, 0, 0, 1}), cache.line(2, {0, 1, 0, 1}));
    // A NaN length (from a parameter such as 0/0) is a key like any other.
    const double nan = std::nan("");
    osg::Geometry* odd = cache.tube(nan, 5, 5, 32);
    EXPECT_EQ(odd, cache.tube(nan, 5, 5, 32));
    EXPECT_NE(odd, cache.tube(10, 5, 5, 32));
    EXPECT_EQ(tube, cache.tube(10, 5, 5, 32));

    osg::ref_ptr<osg::Group> group = new osg::Group;
    const GLMaterial material;
    for (unsigned i = 0; i < GeometryCache::maxSharing; ++i)
        addLitShape(cache, cache.tube(10, 5, 5, 32), material, osg::Matrixd(), group.get());
    EXPECT_EQ(GeometryCache::maxSharing, tube->getNumParents());
    osg::Geometry* fresh = cache.tube(10, 5, 5, 32);
    EXPECT_NE(tube, fresh);
    EXPECT_EQ(tube->getVertexArray(), fresh->getVertexArray());  // arrays stay shared
    EXPECT_EQ(tube->getNormalArray(), fresh->getNormalArray());
    EXPECT_EQ(fresh, cache.tube(10, 5, 5, 32));

    osg::ref_ptr<osg::Geometry> kept = fresh;
    cache.clear();
    EXPECT_NE(kept.get(), cache.tube(10, 5, 5, 32));
}

TEST(GeometryCache, StateSetsFollowTheMaterialColours)
{
    GeometryCache cache;
    GLMaterial material = GLMaterial::shapeDefault();
    material.shininess = 200.0f;
    osg::StateSet* state = cache.litStateSet(material);
    EXPECT_EQ(state, cache.litStateSet(material));
    EXPECT_EQ(osg::StateAttribute::ON, state->getMode(GL_LIGHTING));
    EXPECT_EQ(int(osg::StateSet::TRANSPARENT_BIN), state->getRenderingHint());
    const auto* glMaterial = dynamic_cast<const osg::Material*>(state->getAttribute(osg::StateAttribute::MATERIAL));
    ASSERT_NE(nullptr, glMaterial);
    EXPECT_EQ(osg::Vec4(1, 1, 1, 1), glMaterial->getDiffuse(osg::Material::FRONT));
    EXPECT_FLOAT_EQ(128.0f, glMaterial->getShininess(osg::Material::FRONT));

    // Materials that compare equal but differ in emission look different.
    GLMaterial glowing = material;
    glowing.emission[0] = 1.0f;
    ASSERT_TRUE(glowing == material);
    EXPECT_NE(state, cache.litStateSet(glowing));

    // A full state set is followed by a fresh one with the same material.
    osg::ref_ptr<osg::Group> group = new osg::Group;
    for (unsigned i = 0; i < GeometryCache::maxSharing; ++i)
        addLitShape(cache, cache.ball(1, 8), material, osg::Matrixd(), group.get());
    osg::StateSet* next = cache.litStateSet(material);
    EXPECT_NE(state, next);
    EXPECT_EQ(glMaterial, next->getAttribute(osg::StateAttribute::MATERIAL));
    EXPECT_EQ(osg::StateAttribute::ON, next->getMode(GL_LIGHTING));

    osg::StateSet* lines = cache.lineStateSet();
    EXPECT_EQ(lines, cache.lineStateSet());
    EXPECT_EQ(osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED, lines->getMode(GL_LIGHTING));
}

TEST(ShapePlacement, TubeAndItsCapsAreOnePlacement)
{
    GeometryCache cache;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    const GLMaterial material = GLMaterial::shapeDefault();
    placeShape(cache, tubeShape(), {0, 0, 0}, {0, 10, 0}, 10, 1, restFrame, material, group.get());
    ASSERT_EQ(1u, group->getNumChildren());

    const Placed tube = placed(group.get(), 0);
    EXPECT_EQ(cache.tube(10, 5, 5, 32, CapKind::Planar, CapKind::Planar), tube.geometry);
    EXPECT_EQ(cache.litStateSet(material), tube.stateSet);
    // The local x axis from -5 to 5 runs along the heading from start to end.
    EXPECT_NEAR(0.0, (osg::Vec3d(-5, 0, 0) * tube.matrix - osg::Vec3d(0, 0, 0)).length(), 1e-9);
    EXPECT_NEAR(0.0, (osg::Vec3d(5, 0, 0) * tube.matrix - osg::Vec3d(0, 10, 0)).length(), 1e-9);

    // The tube as built alone, then the start disc moved to x = -5 and the
    // end disc moved to x = 5, each with its own quad strip.
    osg::ref_ptr<osg::Geometry> alone = buildTube(10, 5, 5, 32);
    osg::ref_ptr<osg::Geometry> disc = buildDisc(2.5, 32);
    const osg::Vec3Array& v = vertices(tube.geometry);
    const osg::Vec3Array& n = normals(tube.geometry);
    ASSERT_EQ(3u * 66u, v.size());
    ASSERT_EQ(v.size(), n.size());
    ASSERT_EQ(3u, tube.geometry->getNumPrimitiveSets());
    for (unsigned part = 0; part < 3; ++part) {
        const auto* strip = dynamic_cast<const osg::DrawArrays*>(tube.geometry->getPrimitiveSet(part));
        ASSERT_NE(nullptr, strip);
        EXPECT_EQ(GLenum(GL_QUAD_STRIP), strip->getMode());
        EXPECT_EQ(GLint(66 * part), strip->getFirst());
        EXPECT_EQ(66, strip->getCount());
        const osg::Geometry* source = part == 0 ? alone.get() : disc.get();
        const osg::Vec3 offset(part == 0 ? 0.0f : part == 1 ? -5.0f : 5.0f, 0.0f, 0.0f);
        for (unsigned i = 0; i < 66; ++i) {
            EXPECT_EQ(vertices(source)[i] + offset, v[66 * part + i]);
            EXPECT_EQ(normals(source)[i], n[66 * part + i]);
        }
    }
    // The centres of the discs land on the start and end points.
    EXPECT_NEAR(0.0, (osg::Vec3d(v[66]) * tube.matrix - osg::Vec3d(0, 0, 0)).length(), 1e-9);
    EXPECT_NEAR(0.0, (osg::Vec3d(v[132]) * tube.matrix - osg::Vec3d(0, 10, 0)).length(), 1e-9);
}

TEST(ShapePlacement, ConeCapsExtrudedStartAndAddedLine)
{
    GeometryCache cache;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    ShapeDef cone = tubeShape();
    cone.type = ShapeType::Cone;
    cone.width2 = 0.0;  // no end cap whatever closing2 says
    cone.closing1 = CapKind::Extruded;
    cone.closing2 = CapKind::Extruded;
    cone.addLine = true;
    cone.material.diffuse[0] = 0.25f;
    placeShape(cache, cone, {1, 0, 0}, {1, 6, 0}, 6, 2, restFrame, cone.material, group.get());
    ASSERT_EQ(2u, group->getNumChildren());

    const Placed shape = placed(group.get(), 0);
    EXPECT_EQ(cache.tube(6, 10, 0, 32, CapKind::Extruded, CapKind::None), shape.geometry);
    ASSERT_EQ(2u, shape.geometry->getNumPrimitiveSets());
    const osg::Vec3Array& v = vertices(shape.geometry);
    ASSERT_EQ(66u + vertices(buildBall(5, 32).get()).size(), v.size());
    // A ball of radius width * wf / 2 around the start point.
    for (std::size_t i = 66; i < v.size(); ++i)
        EXPECT_NEAR(5.0, (osg::Vec3d(v[i]) * shape.matrix - osg::Vec3d(1, 0, 0)).length(), 1e-5);

    const Placed line = placed(group.get(), 1);
    EXPECT_EQ(GLenum(GL_LINES), onlyMode(line.geometry));
    EXPECT_EQ(osg::Vec3d(1, 0, 0), line.matrix.getTrans());
    EXPECT_EQ(cache.lineStateSet(), line.stateSet);
    const auto* colours = static_cast<const osg::Vec4Array*>(line.geometry->getColorArray());
    ASSERT_NE(nullptr, colours);
    EXPECT_EQ(osg::Array::BIND_OVERALL, colours->getBinding());
    EXPECT_EQ(osg::Vec4(0.25f, 1, 1, 1), (*colours)[0]);
}

TEST(ShapePlacement, EndsStayOpenWithoutKindOrWidth)
{
    GeometryCache cache;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    const GLMaterial material;
    ShapeDef thin = tubeShape();
    thin.width = 0.0;
    placeShape(cache, thin, {0, 0, 0}, {0, 1, 0}, 1, 1, restFrame, material, group.get());
    ShapeDef endOnly = tubeShape();
    endOnly.closing1 = CapKind::None;
    placeShape(cache, endOnly, {0, 0, 0}, {0, 1, 0}, 1, 1, restFrame, material, group.get());
    placeShape(cache, tubeShape(), {0, 0, 0}, {0, 1, 0}, 1, 0, restFrame, material, group.get());
    ASSERT_EQ(3u, group->getNumChildren());

    EXPECT_EQ(GLenum(GL_QUAD_STRIP), onlyMode(placed(group.get(), 0).geometry));
    const osg::Geometry* capped = placed(group.get(), 1).geometry;
    ASSERT_EQ(2u, capped->getNumPrimitiveSets());
    EXPECT_EQ(66u, capped->getPrimitiveSet(1)->index(0));
    EXPECT_FLOAT_EQ(0.5f, vertices(capped)[66].x());
    // A width factor of 0 leaves no width to cap.
    EXPECT_EQ(cache.tube(1, 0, 0, 32), placed(group.get(), 2).geometry);
}

TEST(ShapePlacement, LinesBallsToriAndUnknownTypes)
{
    GeometryCache cache;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    const GLMaterial material;
    const osg::Matrixd turned = frameMatrix({-1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0});
    ShapeDef shape;

    placeShape(cache, shape, {2, 3, 0}, {-2, 3, 0}, 4, 1, turned, material, group.get());
    const Placed line = placed(group.get(), 0);
    EXPECT_EQ(osg::Vec3d(2, 3, 0), line.matrix.getTrans());
    EXPECT_NEAR(0.0, (osg::Vec3d(4, 0, 0) * line.matrix - osg::Vec3d(-2, 3, 0)).length(), 1e-9);

    shape.type = static_cast<ShapeType>(17);
    placeShape(cache, shape, {0, 0, 0}, {0, 4, 0}, 4, 1, restFrame, material, group.get());
    EXPECT_EQ(GLenum(GL_LINES), onlyMode(placed(group.get(), 1).geometry));

    shape.type = ShapeType::Ball;
    placeShape(cache, shape, {0, 0, 0}, {0, 4, 0}, 4, 1, restFrame, material, group.get());
    EXPECT_EQ(cache.ball(2, 32), placed(group.get(), 2).geometry);
    EXPECT_EQ(osg::Vec3d(0, 2, 0), placed(group.get(), 2).matrix.getTrans());
    EXPECT_THROW(placeShape(cache, shape, {0, 0, 0}, {0, 0, 0}, 0, 1, restFrame, material, group.get()),
                 GeometryError);

    shape.type = ShapeType::Torus;
    placeShape(cache, shape, {0, 0, 0}, {0, 4, 0}, 4, 0.5, restFrame, material, group.get());
    EXPECT_EQ(cache.torus(4, 1, 32), placed(group.get(), 3).geometry);
    EXPECT_EQ(4u, group->getNumChildren());
}

TEST(MOSGPolygon, BuildsOnePolygonColouredByItsFirstPoint)
{
    using Polygon = MOSGPolygon<double, GLMaterial, GLColorer_Material>;
    GLMaterial own, first, second;
    own.diffuse[2] = 1.0f;
    first.diffuse[0] = 1.0f;
    second.diffuse[1] = 1.0f;
    Polygon polygon(own);
    EXPECT_EQ(nullptr, polygon.buildGeometry(osg::Matrixd()).get());  // no points, no polygon

    polygon.setFillType(0);
    polygon.addPoint(Polygon::PolyPoint(first, osg::Vec3d(0, 0, 0), osg::Vec3d(0, 0, 1)));
    polygon.addPoint(Polygon::PolyPoint(second, osg::Vec3d(4, 0, 0), osg::Vec3d(0, 0, 1)));
    polygon.addPoint(Polygon::PolyPoint(second, osg::Vec3d(2, 3, 0), osg::Vec3d(0, 1, 0)));
    EXPECT_EQ((Polygon::Vector{0, 1, 2}), polygon.normalSum());

    osg::ref_ptr<osg::Geode> geode = polygon.buildGeometry(osg::Matrixd::translate(9, 9, 9));
    ASSERT_TRUE(geode.valid());
    ASSERT_EQ(1u, geode->getNumDrawables());
    const osg::Geometry* geometry = geode->getDrawable(0)->asGeometry();
    ASSERT_EQ(3u, vertices(geometry).size());
    EXPECT_EQ(osg::Vec3(2, 3, 0), vertices(geometry)[2]);  // world coordinates, frame not applied
    EXPECT_EQ(osg::Vec3(0, 1, 0), normals(geometry)[2]);

    const osg::StateSet* state = geode->getStateSet();
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(osg::StateAttribute::ON, state->getMode(GL_LIGHTING));
    const auto* glMaterial = dynamic_cast<const osg::Material*>(state->getAttribute(osg::StateAttribute::MATERIAL));
    ASSERT_NE(nullptr, glMaterial);
    EXPECT_EQ(osg::Vec4(1, 0, 0, 1), glMaterial->getDiffuse(osg::Material::FRONT));
    EXPECT_EQ(osg::Vec4(1, 0, 0, 1), glMaterial->getDiffuse(osg::Material::BACK));
}

TEST(MOSGPolygon, ConcaveOutlineIsTriangulated)
{
    using Polygon = MOSGPolygon<double, GLMaterial, GLColorer_Material>;
    Polygon polygon{GLMaterial()};
    const osg::Vec3d up(0, 0, 1);
    for (const osg::Vec3d& p : {osg::Vec3d(0, 0, 0), osg::Vec3d(4, 0, 0), osg::Vec3d(4, 4, 0),
                                osg::Vec3d(2, 1, 0), osg::Vec3d(0, 4, 0)})
        polygon.addPoint(Polygon::PolyPoint(GLMaterial(), p, up));
    osg::ref_ptr<osg::Geode> geode = polygon.buildGeometry(osg::Matrixd());
    const osg::Geometry* geometry = geode->getDrawable(0)->asGeometry();
    ASSERT_GE(geometry->getNumPrimitiveSets(), 1u);
    for (unsigned i = 0; i < geometry->getNumPrimitiveSets(); ++i)
        EXPECT_NE(GLenum(GL_POLYGON), geometry->getPrimitiveSet(i)->getMode());
}

TEST(MOSGPolygon, SelfCrossingOutlineKeepsOneNormalPerVertex)
{
    using Polygon = MOSGPolygon<double, GLMaterial, GLColorer_Material>;
    Polygon polygon{GLMaterial()};
    for (const osg::Vec3d& p : {osg::Vec3d(0, 0, 0), osg::Vec3d(2, 2, 0), osg::Vec3d(2, 0, 0), osg::Vec3d(0, 2, 0)})
        polygon.addPoint(Polygon::PolyPoint(GLMaterial(), p, osg::Vec3d(0, 0, 1)));
    osg::ref_ptr<osg::Geode> geode = polygon.buildGeometry(osg::Matrixd());
    const osg::Geometry* geometry = geode->getDrawable(0)->asGeometry();
    EXPECT_EQ(vertices(geometry).size(), normals(geometry).size());
}

TEST(MOSGPolygon, DegenerateOutlinesDoNotFail)
{
    using Polygon = MOSGPolygon<double, GLMaterial, GLColorer_Material>;
    for (int count : {1, 2}) {
        Polygon polygon{GLMaterial()};
        for (int i = 0; i < count; ++i)
            polygon.addPoint(Polygon::PolyPoint(GLMaterial(), osg::Vec3d(i, 0, 0), osg::Vec3d(0, 0, 1)));
        EXPECT_TRUE(polygon.buildGeometry(osg::Matrixd()).valid());
    }
}

TEST(SphereTable, UnitSpheresForEveryQuality)
{
    buildSphereTables();
    for (int n : {4, 8, 16, 32, 64, 128}) {
        const SphereTable* table = sphereTable(n);
        ASSERT_NE(nullptr, table);
        const std::size_t points = static_cast<std::size_t>(n) * (n + 1);
        ASSERT_EQ(3 * points, table->positions.size());
        ASSERT_EQ(table->positions, table->normals);
        ASSERT_EQ(points, table->indices.size());
        EXPECT_EQ(points - 1, table->indices.back());
        for (std::size_t i = 0; i < points; ++i) {
            const float* p = &table->positions[3 * i];
            EXPECT_NEAR(1.0, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 1e-5);
        }
        // The first band starts at the south pole; the lower half reaches the equator.
        EXPECT_NEAR(-1.0, table->positions[4], 1e-6);
        EXPECT_NEAR(0.0, table->positions[3 * (points / 2 - 2) + 1], 1e-6);
    }
    EXPECT_EQ(nullptr, sphereTable(12));
    freeSphereTables();
    EXPECT_EQ(nullptr, sphereTable(32));
}
