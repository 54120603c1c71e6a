#pragma once
// Collects the placements of shapes into a group: every placement of one
// geometry with one state set joins an instanced geometry, at most
// maxInstances to one, so that culling still discards what is out of view.
// The instanced geometries of a pair share one geode holding the state set,
// added to the group where the pair is first placed.
//
// The group's bound is computed as if every placement were a child of its
// own, so that the framing of a scene does not depend on how its shapes are
// drawn.

#include "interpretation/MOSGInstancedGeometry.h"

#include <osg/Geode>
#include <osg/Group>
#include <osg/Matrixd>

#include <cstddef>
#include <functional>
#include <unordered_map>
#include <utility>

class ShapeInstancer {
public:
    static constexpr std::size_t maxInstances = 16384;

    // Starts collecting into group (null: forgets every pair).
    void start(osg::Group* group);
    // Places shape with state at placement; lit tells whether it is drawn
    // with lighting or in the colours of its colour array.
    void place(osg::Geometry* shape, osg::StateSet* state, bool lit, const osg::Matrixd& placement);
    // Places a lit tube or cone of the given number of sides, drawn as a
    // line while thinner than a pixel (see MOSGInstancedGeometry).
    void placeSlender(osg::Geometry* shape, int sides, osg::StateSet* state, const osg::Matrixd& placement);

private:
    // sides: 0 for shapes that are not slender.
    void place(osg::Geometry* shape, osg::StateSet* state, bool lit, int sides, const osg::Matrixd& placement);

    struct PairHash {
        std::size_t operator()(const std::pair<const void*, const void*>& key) const {
            return std::hash<const void*>()(key.first) * 31u + std::hash<const void*>()(key.second);
        }
    };
    struct Batch {
        osg::ref_ptr<osg::Geode> geode;
        osg::ref_ptr<MOSGInstancedGeometry> current;
    };

    osg::ref_ptr<osg::Group> myGroup;
    std::unordered_map<std::pair<const void*, const void*>, Batch, PairHash> myBatches;
};
