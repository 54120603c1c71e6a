#pragma once
// What "[" saves and "]" restores: the turtle's frame and its drawing
// factors.

#include <osg/Vec3d>

#include <cstdint>

struct TurtleState {
    osg::Vec3d position{0.0, 0.0, 0.0};
    osg::Vec3d heading{0.0, 1.0, 0.0}; // direction of movement, local x of every shape
    osg::Vec3d side{1.0, 0.0, 0.0};    // local y of every shape
    osg::Vec3d up{0.0, 0.0, 1.0};      // local z; normal of polygon vertices
    double widthFactor = 1.0;
    double rotX = 0.0; // default turning angles in degrees
    double rotY = 0.0;
    double rotZ = 0.0;
    double lengthFactor = 1.0;
    std::int32_t colourIndex = 0; // 0 ... 255
    std::int32_t interpretedCount = 0;
};
