#include "interpretation/ShapeInstancer.h"

namespace {

// Calls visit with the bound of each child of group, taking each instance of
// an instanced geometry for a child.
template <class Visit>
void forEachPlacementBound(const osg::Group& group, Visit visit) {
    for (unsigned i = 0; i < group.getNumChildren(); ++i) {
        const osg::Node& child = *group.getChild(i);
        const osg::Geode* geode = child.asGeode();
        const auto* first = geode && geode->getNumDrawables() > 0
                                ? dynamic_cast<const MOSGInstancedGeometry*>(geode->getDrawable(0))
                                : nullptr;
        if (!first) {
            visit(child.getBound());
            continue;
        }
        for (unsigned d = 0; d < geode->getNumDrawables(); ++d)
            if (const auto* geometry = dynamic_cast<const MOSGInstancedGeometry*>(geode->getDrawable(d)))
                for (std::size_t k = 0; k < geometry->instanceCount(); ++k) visit(geometry->instanceBound(k));
    }
}

// The bound osg::Group computes for its children (the centre of the box
// around them, the radius reaching every one), over the placements.
class PlacementBound : public osg::Node::ComputeBoundingSphereCallback {
public:
    osg::BoundingSphere computeBound(const osg::Node& node) const override {
        const osg::Group& group = *node.asGroup();
        osg::BoundingBox box;
        forEachPlacementBound(group, [&](const osg::BoundingSphere& bound) { box.expandBy(bound); });
        osg::BoundingSphere result;
        if (!box.valid()) return result;
        result._center = box.center();
        result._radius = 0.0f;
        forEachPlacementBound(group, [&](const osg::BoundingSphere& bound) { result.expandRadiusBy(bound); });
        return result;
    }
};

} // namespace

void ShapeInstancer::start(osg::Group* group) {
    myBatches.clear();
    myGroup = group;
    if (group) group->setComputeBoundingSphereCallback(new PlacementBound);
}

void ShapeInstancer::place(osg::Geometry* shape, osg::StateSet* state, bool lit, const osg::Matrixd& placement) {
    place(shape, state, lit, 0, placement);
}

void ShapeInstancer::placeSlender(osg::Geometry* shape, int sides, osg::StateSet* state,
                                  const osg::Matrixd& placement) {
    place(shape, state, true, sides, placement);
}

void ShapeInstancer::place(osg::Geometry* shape, osg::StateSet* state, bool lit, int sides,
                           const osg::Matrixd& placement) {
    Batch& batch = myBatches[{shape, state}];
    if (!batch.geode) {
        batch.geode = new osg::Geode;
        batch.geode->setStateSet(state);
        myGroup->addChild(batch.geode.get());
    }
    if (!batch.current || batch.current->instanceCount() >= maxInstances) {
        batch.current = sides > 0 ? MOSGInstancedGeometry::slender(shape, sides)
                                  : osg::ref_ptr<MOSGInstancedGeometry>(new MOSGInstancedGeometry(shape, lit));
        batch.geode->addDrawable(batch.current.get());
        if (batch.current->thinLines()) batch.geode->addDrawable(batch.current->thinLines());
    }
    batch.current->addInstance(placement);
}
