#pragma once
// What a shape geometry stands for, kept on the geometry: the vector drawing
// draws a tube as a stroke along its axis and a ball as a disc, not as the
// triangles that approximate them.

#include <osg/Geometry>

struct ShapeForm {
    enum class Kind { Unknown, Line, Tube, Ball, Torus, Polygon };
    Kind kind = Kind::Unknown;
    // Line, tube and cone: from -length / 2 to length / 2 along x (a line
    // from 0 to length). Ball: length is the diameter. Torus: length is the
    // outer diameter around the y-axis, startWidth the tube's diameter.
    double length = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
    // Polygon: its first outline vertices, in order, are its outline.
    int outline = 0;
};

void setShapeForm(osg::Geometry& geometry, const ShapeForm& form);
// Kind::Unknown for a geometry without one.
ShapeForm shapeForm(const osg::Geometry& geometry);
