#include "interpretation/ShapePlacement.h"

#include "interpretation/GeometryBuilders.h"

#include <osg/Geode>
#include <osg/MatrixTransform>

#include <cfloat>
#include <cmath>

namespace {

void place(osg::Geometry* geometry, osg::StateSet* stateSet, const osg::Matrixd& matrix, osg::Group* group) {
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->setStateSet(stateSet);
    geode->addDrawable(geometry);
    osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform(matrix);
    transform->addChild(geode.get());
    group->addChild(transform.get());
}

osg::Matrixd moved(osg::Matrixd frame, const osg::Vec3d& translation) {
    frame.setTrans(translation);
    return frame;
}

} // namespace

void addLitShape(GeometryCache& cache, osg::Geometry* geometry, const GLMaterial& material, const osg::Matrixd& matrix,
                 osg::Group* group) {
    place(geometry, cache.litStateSet(material), matrix, group);
}

void addLineShape(GeometryCache& cache, double length, const GLMaterial& material, const osg::Matrixd& matrix,
                  osg::Group* group) {
    const osg::Vec4 colour(material.diffuse[0], material.diffuse[1], material.diffuse[2], material.diffuse[3]);
    place(cache.line(length, colour), cache.lineStateSet(), matrix, group);
}

bool drawable(double value) { return std::fabs(value) <= FLT_MAX; }

bool placeShape(GeometryCache& cache, const ShapeDef& shape, const osg::Vec3d& start, const osg::Vec3d& end,
                double length, double widthFactor, const osg::Matrixd& frame, const GLMaterial& material,
                osg::Group* group) {
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
        addLitShape(cache, geometry, material, middle, group);
        if (shape.addLine) addLineShape(cache, length, material, moved(frame, start), group);
        return true;
    }
    case ShapeType::Ball:
        addLitShape(cache, cache.ball(length / 2.0, segments), material, middle, group);
        return true;
    case ShapeType::Torus: {
        const double innerWidth = shape.innerWidth * widthFactor;
        if (!drawable(innerWidth)) return false;
        addLitShape(cache, cache.torus(length, innerWidth, segments), material, middle, group);
        return true;
    }
    case ShapeType::Line:
    default:
        addLineShape(cache, length, material, moved(frame, start), group);
        return true;
    }
}
