#include "interpretation/GeometryBuilders.h"

#include <osgUtil/Tessellator>

#include <cmath>

namespace {

const double twoPi = 2.0 * M_PI;

// Two unit vectors perpendicular to the local x axis, made by cross products
// with an auxiliary vector (the axis with 1 added to its y component). They
// only decide where the rings of tubes and discs begin.
void perpendicularPair(osg::Vec3d& p, osg::Vec3d& q) {
    const osg::Vec3d axis(1.0, 0.0, 0.0);
    const osg::Vec3d auxiliary = axis + osg::Vec3d(0.0, 1.0, 0.0);
    p = axis ^ auxiliary;
    p.normalize();
    q = axis ^ p;
    q.normalize();
}

// Gives the geometry its vertices, per-vertex normals and one primitive over
// all vertices, then runs the default polygon retessellation (which leaves
// quad strips as they are).
osg::ref_ptr<osg::Geometry> finish(osg::Vec3Array* vertices, osg::Vec3Array* normals) {
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setVertexArray(vertices);
    geometry->setNormalArray(normals, osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_QUAD_STRIP, 0, static_cast<GLsizei>(vertices->size())));
    osg::ref_ptr<osgUtil::Tessellator> tessellator = new osgUtil::Tessellator;
    tessellator->retessellatePolygons(*geometry);
    return geometry;
}

} // namespace

int segmentsForQuality(ShapeQuality quality) {
    switch (quality) {
    case ShapeQuality::VeryLow:
        return 8;
    case ShapeQuality::Low:
        return 16;
    case ShapeQuality::High:
        return 64;
    case ShapeQuality::VeryHigh:
        return 128;
    case ShapeQuality::Normal:
    default:
        return 32;
    }
}

osg::ref_ptr<osg::Geometry> buildLine(double length) {
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->push_back(osg::Vec3(0.0f, 0.0f, 0.0f));
    vertices->push_back(osg::Vec3(static_cast<float>(length), 0.0f, 0.0f));
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setVertexArray(vertices.get());
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_LINES, 0, 2));
    return geometry;
}

osg::ref_ptr<osg::Geometry> buildTube(double length, double startWidth, double endWidth, int segments) {
    const double r1 = startWidth / 2.0;
    const double r2 = endWidth / 2.0;
    const osg::Vec3d a(-length / 2.0, 0.0, 0.0);
    const osg::Vec3d b(length / 2.0, 0.0, 0.0);
    osg::Vec3d p, q;
    perpendicularPair(p, q);

    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    for (int k = 0; k <= segments; ++k) {
        const double theta = k * twoPi / segments;
        osg::Vec3d n = p * std::cos(theta) + q * std::sin(theta);
        n.normalize();
        vertices->push_back(a + n * r1);
        vertices->push_back(b + n * r2);
        normals->push_back(n);
        normals->push_back(n);
    }
    return finish(vertices.get(), normals.get());
}

std::vector<osg::Vec3d> unitSphere(int segments) {
    std::vector<osg::Vec3d> points;
    points.reserve(static_cast<std::size_t>(segments / 2) * 2 * (segments + 1));
    for (int i = 0; i < segments / 2; ++i) {
        const double phi1 = i * twoPi / segments - M_PI / 2.0;
        const double phi2 = (i + 1) * twoPi / segments - M_PI / 2.0;
        for (int k = 0; k <= segments; ++k) {
            const double theta = k * twoPi / segments;
            for (double phi : {phi2, phi1})
                points.emplace_back(std::cos(theta) * std::cos(phi), std::sin(phi), std::cos(phi) * std::sin(theta));
        }
    }
    return points;
}

osg::ref_ptr<osg::Geometry> buildBall(double radius, int segments) {
    radius = std::fabs(radius);
    segments = std::abs(segments);
    if (segments < 4 || !(radius > 0.0)) throw GeometryError("A ball needs a radius above 0 and at least 4 segments.");

    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    for (const osg::Vec3d& n : unitSphere(segments)) {
        vertices->push_back(n * radius);
        normals->push_back(n);
    }
    return finish(vertices.get(), normals.get());
}

osg::ref_ptr<osg::Geometry> buildTorus(double length, double innerWidth, int segments) {
    const double r = std::fabs(innerWidth / 2.0);
    const double bigR = std::fabs(length / 2.0 - r);
    if (segments < 1 || !(bigR + r > 0.0))
        throw GeometryError("A torus needs an extent above 0 and at least 1 segment.");

    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    for (int i = 0; i < segments; ++i) {
        const double u1 = twoPi * i / segments;
        const double u2 = twoPi * (i + 1) / segments;
        for (int k = 0; k <= segments; ++k) {
            const double v = twoPi * k / segments;
            for (double u : {u1, u2}) {
                const double ring = bigR + r * std::cos(v);
                vertices->push_back(osg::Vec3d(ring * std::cos(u), r * std::sin(v), ring * std::sin(u)));
                normals->push_back(osg::Vec3d(std::cos(v) * std::cos(u), std::sin(v), std::cos(v) * std::sin(u)));
            }
        }
    }
    return finish(vertices.get(), normals.get());
}

osg::ref_ptr<osg::Geometry> buildDisc(double radius, int segments) {
    const osg::Vec3 normal(1.0f, 0.0f, 0.0f);
    osg::Vec3d p, q;
    perpendicularPair(p, q);

    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    for (int k = 0; k <= segments; ++k) {
        const double theta = twoPi * k / segments;
        vertices->push_back(osg::Vec3(0.0f, 0.0f, 0.0f));
        vertices->push_back((p * std::cos(theta) + q * std::sin(theta)) * radius);
        normals->push_back(normal);
        normals->push_back(normal);
    }
    return finish(vertices.get(), normals.get());
}

osg::ref_ptr<osg::Geometry> buildCappedTube(double length, double startWidth, double endWidth, int segments,
                                            CapKind startCap, CapKind endCap) {
    osg::ref_ptr<osg::Geometry> geometry = buildTube(length, startWidth, endWidth, segments);
    const auto addCap = [&](CapKind kind, double width, double x) {
        const osg::Vec3 offset(static_cast<float>(x), 0.0f, 0.0f);
        if (kind == CapKind::Planar)
            appendGeometry(*geometry, *buildDisc(width / 2.0, segments), offset);
        else if (kind == CapKind::Extruded)
            appendGeometry(*geometry, *buildBall(width / 2.0, segments), offset);
    };
    addCap(startCap, startWidth, -length / 2.0);
    addCap(endCap, endWidth, length / 2.0);
    return geometry;
}

void appendGeometry(osg::Geometry& target, const osg::Geometry& part, const osg::Vec3& offset) {
    auto& vertices = *static_cast<osg::Vec3Array*>(target.getVertexArray());
    auto& normals = *static_cast<osg::Vec3Array*>(target.getNormalArray());
    const auto& partNormals = *static_cast<const osg::Vec3Array*>(part.getNormalArray());
    const int base = static_cast<int>(vertices.size());
    for (const osg::Vec3& vertex : *static_cast<const osg::Vec3Array*>(part.getVertexArray()))
        vertices.push_back(vertex + offset);
    normals.insert(normals.end(), partNormals.begin(), partNormals.end());
    for (unsigned i = 0; i < part.getNumPrimitiveSets(); ++i) {
        const osg::PrimitiveSet* primitive = part.getPrimitiveSet(i);
        osg::ref_ptr<osg::PrimitiveSet> copy;
        if (const osg::DrawElements* elements = primitive->getDrawElements()) {
            // Widened to 32 bits: the shifted indices may not fit a smaller type.
            osg::ref_ptr<osg::DrawElementsUInt> wide = new osg::DrawElementsUInt(elements->getMode());
            for (unsigned j = 0; j < elements->getNumIndices(); ++j) wide->push_back(elements->index(j));
            copy = wide;
        } else {
            copy = static_cast<osg::PrimitiveSet*>(primitive->clone(osg::CopyOp::DEEP_COPY_ALL));
        }
        copy->offsetIndices(base);
        target.addPrimitiveSet(copy.get());
    }
    vertices.dirty();
    normals.dirty();
    target.dirtyBound();
}

osg::Matrixd frameMatrix(const osg::Vec3d& heading, const osg::Vec3d& side, const osg::Vec3d& up,
                         const osg::Vec3d& translation) {
    return osg::Matrixd(heading.x(), heading.y(), heading.z(), 0.0, side.x(), side.y(), side.z(), 0.0, up.x(), up.y(),
                        up.z(), 0.0, translation.x(), translation.y(), translation.z(), 1.0);
}
