#include "interpretation/ShapePlacement.h"

#include "interpretation/GeometryBuilders.h"

#include <cfloat>
#include <cmath>

namespace {

osg::Matrixd moved(osg::Matrixd frame, const osg::Vec3d& translation) {
    frame.setTrans(translation);
    return frame;
}

} // namespace

void addLitShape(GeometryCache& cache, osg::Geometry* geometry, const GLMaterial& material, const osg::Matrixd& matrix,
                 ShapeInstancer& shapes) {
    shapes.place(geometry, cache.litStateSet(material), true, matrix);
}

void addLineShape(GeometryCache& cache, double length, const GLMaterial& material, const osg::Matrixd& matrix,
                  ShapeInstancer& shapes) {
    const osg::Vec4 colour(material.diffuse[0], material.diffuse[1], material.diffuse[2], material.diffuse[3]);
    shapes.place(cache.line(length, colour), cache.lineStateSet(), false, matrix);
}

bool drawable(double value) { return std::fabs(value) <= FLT_MAX; }

bool placeShape(GeometryCache& cache, const ShapeDef& shape, const osg::Vec3d& start, const osg::Vec3d& end,
                double length, double widthFactor, const osg::Matrixd& frame, const GLMaterial& material,
                ShapeInstancer& shapes) {
    const int segments = segmentsForQuality(shape.quality);
    const osg::Matrixd middle = moved(frame, (start + end) / 2.0);
    switch (shape.type) {
    case ShapeType::Tube:
    case ShapeType::Cone: {
        const bool cone = shape.type == ShapeType::Cone;
        const double startWidth = shape.width * widthFactor;
        const double endWidth = (cone ? shape.width2 : shape.width) * widthFactor;
        if (!drawable(startWidth) || !drawable(endWidth)) return false;
        const bool startCap = shape.width != 0.0 && startWidth != 0.0;
        const bool endCap = (cone ? shape.width2 : shape.width) != 0.0 && endWidth != 0.0;
        osg::Geometry* geometry =
            cache.tube(length, startWidth, endWidth, segments, startCap ? shape.closing1 : CapKind::None,
                       endCap ? shape.closing2 : CapKind::None);
        shapes.placeSlender(geometry, segments, cache.litStateSet(material), middle);
        if (shape.addLine) addLineShape(cache, length, material, moved(frame, start), shapes);
        return true;
    }
    case ShapeType::Ball:
        addLitShape(cache, cache.ball(length / 2.0, segments), material, middle, shapes);
        return true;
    case ShapeType::Torus: {
        const double innerWidth = shape.innerWidth * widthFactor;
        if (!drawable(innerWidth)) return false;
        addLitShape(cache, cache.torus(length, innerWidth, segments), material, middle, shapes);
        return true;
    }
    case ShapeType::Line:
    default:
        addLineShape(cache, length, material, moved(frame, start), shapes);
        return true;
    }
}
