#include "workbench/MOSGTrackballManipulator.h"

void MOSGTrackballManipulator::getOrbit(double& distance, osg::Quat& rotation, osg::Vec3d& center) const {
    distance = _distance;
    rotation = _rotation;
    center = _center;
}

void MOSGTrackballManipulator::setOrbit(double distance, const osg::Quat& rotation, const osg::Vec3d& center) {
    _distance = distance;
    _rotation = rotation;
    _center = center;
    _thrown = false;
    flushMouseEventStack();
}
