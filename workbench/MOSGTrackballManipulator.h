#pragma once
// The trackball of the 3-D view, with its orbit state read and set at once so
// that a stored view can be saved with a definition and restored later.
// The home position is computed only when asked for (from the view's camera):
// going home, by command or by the space key, returns to it as it was computed
// instead of recomputing it without a camera at a distance that ignores the
// field of view.

#include <osgGA/TrackballManipulator>

class MOSGTrackballManipulator : public osgGA::TrackballManipulator {
public:
    MOSGTrackballManipulator() { setAutoComputeHomePosition(false); }

    const char* className() const override { return "MyTrackball"; }

    virtual void getOrbit(double& distance, osg::Quat& rotation, osg::Vec3d& center) const;
    // Sets the orbit, stops any spinning left over from a throw and forgets
    // the mouse events seen so far.
    virtual void setOrbit(double distance, const osg::Quat& rotation, const osg::Vec3d& center);
};
