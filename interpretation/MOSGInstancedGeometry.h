#pragma once
// One shape geometry drawn at many places with a single instanced draw. The
// vertices stay those of the shared shape geometry; each instance carries
// only its placement matrix, which a small vertex shader applies before the
// usual per-vertex lighting. Object writers know nothing of instances, so a
// scene is expanded back into one transform per placement before it is
// written (expandInstances).

#include <osg/BoundingBox>
#include <osg/BoundingSphere>
#include <osg/Geometry>
#include <osg/Matrixd>
#include <osg/Node>
#include <osg/StateSet>

#include <cstddef>
#include <string>

class MOSGInstancedGeometry : public osg::Geometry {
public:
    // The first of the three vertex attributes holding the columns of the
    // placement matrices (x, y and z of the placed point).
    static constexpr unsigned firstInstanceAttribute = 10;

    MOSGInstancedGeometry();
    // Draws shape (lit when lit is true, else in its colour array) at no
    // place yet.
    MOSGInstancedGeometry(osg::Geometry* shape, bool lit);
    MOSGInstancedGeometry(const MOSGInstancedGeometry& other, const osg::CopyOp& copyop = osg::CopyOp::SHALLOW_COPY);
    META_Object(klado, MOSGInstancedGeometry)

        void addInstance(const osg::Matrixd& placement);
    std::size_t instanceCount() const;
    osg::Matrixd instanceMatrix(std::size_t index) const;
    // The shape's bounding sphere at the given instance.
    osg::BoundingSphere instanceBound(std::size_t index) const;
    osg::Geometry* shape() const { return myShape.get(); }

    // The box around every instance's bounding sphere.
    osg::BoundingBox computeBoundingBox() const override;

private:
    osg::ref_ptr<osg::Geometry> myShape;
    osg::BoundingBox myBounds;
};

// The shader define a state set above instanced shapes sets while the light
// GL_LIGHT0 + index (0 to 7) is on: their shader lights them with the lights
// so defined.
std::string lightDefine(int index);

// A copy of node in which every geode of instanced geometries is replaced,
// among its parent's children, by a transform for each instance over a geode
// with the geode's state set and the plain shape geometry; a lone such geode
// becomes a group of them. Parts without instances are shared, not copied.
osg::ref_ptr<osg::Node> expandInstances(osg::Node& node);
