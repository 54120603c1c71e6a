#pragma once
// One shape geometry drawn at many places with a single instanced draw. The
// vertices stay those of the shared shape geometry; each instance carries
// only its placement matrix, which a small vertex shader applies before the
// usual per-vertex lighting. Object writers know nothing of instances, so a
// scene is expanded back into one transform per placement before it is
// written (expandInstances).
//
// A slender shape (a tube or cone along x) also keeps its thin lines: while
// the shapes are thinner than a pixel on screen, the software renderer
// spends its time on triangles that cover no pixel of their own, so the view
// draws one lit line a shape instead. Which of the two is drawn is decided
// for each frame by cull callbacks, from the widest shape at the nearest
// corner of the instances' box.

#include <osg/BoundingBox>
#include <osg/BoundingSphere>
#include <osg/Camera>
#include <osg/CullStack>
#include <osg/Geometry>
#include <osg/Matrixd>
#include <osg/Node>
#include <osg/StateSet>

#include <cstddef>
#include <string>

class MOSGThinLines;

class MOSGInstancedGeometry : public osg::Geometry {
public:
    // The first of the three vertex attributes holding the columns of the
    // placement matrices (x, y and z of the placed point).
    static constexpr unsigned firstInstanceAttribute = 10;

    MOSGInstancedGeometry();
    // Draws shape (lit when lit is true, else in its colour array) at no
    // place yet.
    MOSGInstancedGeometry(osg::Geometry* shape, bool lit);
    // A lit shape of the given number of sides around its axis with thin
    // lines (see above), which the owner draws beside this geometry, under
    // the same state set.
    static osg::ref_ptr<MOSGInstancedGeometry> slender(osg::Geometry* shape, int sides);
    MOSGInstancedGeometry(const MOSGInstancedGeometry& other, const osg::CopyOp& copyop = osg::CopyOp::SHALLOW_COPY);
    META_Object(klado, MOSGInstancedGeometry)

        void addInstance(const osg::Matrixd& placement);
    std::size_t instanceCount() const;
    osg::Matrixd instanceMatrix(std::size_t index) const;
    // The shape's bounding sphere at the given instance.
    osg::BoundingSphere instanceBound(std::size_t index) const;
    osg::Geometry* shape() const { return myShape.get(); }
    // Null unless slender.
    MOSGThinLines* thinLines() const { return myThinLines.get(); }
    // True when slender and every instance is thinner than a pixel in the
    // view being culled.
    bool thinOnScreen(const osg::CullStack& view) const;

    // The box around every instance's bounding sphere.
    osg::BoundingBox computeBoundingBox() const override;

private:
    osg::ref_ptr<osg::Geometry> myShape;
    osg::BoundingBox myBounds;
    osg::ref_ptr<MOSGThinLines> myThinLines;
    // The widest cross-section over the instances as placed.
    float myWidth = 0.0f;
};

// The thin lines of a slender instanced geometry: for each instance the
// segment along the shape's axis, its pixels lit as points across a round
// shape of the given number of sides and width seen from the viewer. A
// camera draws them either each pixel fully covered with the chance of the
// shape's width in pixels, or, for multisampled pictures, covering each
// pixel by that width (see setLineCoverage). The normal array holds the
// axis, reversed at the end of each line.
class MOSGThinLines : public osg::Geometry {
public:
    // Lines along the x-axis of a shape with the given bounding box.
    explicit MOSGThinLines(int sides = 8, const osg::BoundingBox& shape = osg::BoundingBox());
    MOSGThinLines(const MOSGThinLines& other, const osg::CopyOp& copyop = osg::CopyOp::SHALLOW_COPY);
    META_Object(klado, MOSGThinLines)

        // The shape's axis moved by placement.
        void addLine(const osg::Matrixd& placement);
    // The larger side of the shape's cross-section.
    float shapeWidth() const { return myShapeWidth; }
    void drawImplementation(osg::RenderInfo& renderInfo) const override;

private:
    int mySides;
    float myShapeWidth;
    osg::Vec3 myStart, myEnd;
};

// The shader define a state set above instanced shapes sets while the light
// GL_LIGHT0 + index (0 to 7) is on: their shader lights them with the lights
// so defined.
std::string lightDefine(int index);

// How the camera draws thin lines: by chance (unless set), or, for
// multisampled pictures, covering their pixels by the shapes' width, laid
// over the full shapes.
void setLineCoverage(osg::Camera& camera, bool on);

// Forgets the shaders every instanced scene shares as made in the context of
// the state; called before that context goes. A context made later may get
// its number, and would otherwise link its shaders into programs of the
// closed one.
void releaseSharedShaders(osg::State* state);

// A copy of node in which every geode of instanced geometries is replaced,
// among its parent's children, by a transform for each instance over a geode
// with the geode's state set and the plain shape geometry (thin lines are
// left out); a lone such geode becomes a group of them. Parts without
// instances are shared, not copied.
osg::ref_ptr<osg::Node> expandInstances(osg::Node& node);
