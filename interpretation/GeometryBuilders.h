#pragma once
// Builders of the shapes the turtle places: lines, tubes and cones, balls,
// tori and discs. Every shape is built in the turtle's local frame: x is the
// heading, y the side and z the up vector.

#include <osg/Geometry>
#include <osg/Matrixd>
#include <osg/Vec3d>
#include <osg/ref_ptr>

#include "records/ShapeEnums.h"

#include <exception>
#include <string>
#include <vector>

// A shape whose dimensions admit no geometry (a ball of radius 0, a torus
// without extent, too few segments).
class GeometryError : public std::exception {
public:
    explicit GeometryError(std::string message) : myMessage(std::move(message)) {}
    const char* what() const noexcept override { return myMessage.c_str(); }

private:
    std::string myMessage;
};

// Segments around a round shape for a ShapeQuality value: 8, 16, 32, 64, 128
// from "very low" to "very high", 32 for anything else.
int segmentsForQuality(ShapeQuality quality);

// (0,0,0) to (length,0,0) as GL_LINES, no normals.
osg::ref_ptr<osg::Geometry> buildLine(double length);

// Open quad strip along x from -length/2 to length/2: a tube when the widths
// are equal, a cone otherwise. Normals are radial.
osg::ref_ptr<osg::Geometry> buildTube(double length, double startWidth, double endWidth, int segments);

// The points of a unit sphere at the origin in quad-strip order, band by band
// from the south pole upward: for band i of segments / 2 and k = 0 ...
// segments, the point at latitude (i + 1) 2pi / segments - pi/2 and then the
// one at i 2pi / segments - pi/2, at longitude k 2pi / segments. Each point is
// also its own normal. The source of every ball and of the material previews.
std::vector<osg::Vec3d> unitSphere(int segments);

// unitSphere scaled by the radius, with the unit points as normals; throws GeometryError when |radius| is 0 or fewer
// than 4 segments are asked for.
osg::ref_ptr<osg::Geometry> buildBall(double radius, int segments);

// Torus around the local y axis whose outer diameter is length and whose tube
// has the diameter innerWidth; throws GeometryError when it has no extent.
osg::ref_ptr<osg::Geometry> buildTorus(double length, double innerWidth, int segments);

// Disc in the local y-z plane facing +x (the heading), used as a tube's cap.
osg::ref_ptr<osg::Geometry> buildDisc(double radius, int segments);

// buildTube with its caps in the same geometry: the start cap at
// x = -length/2 with the diameter startWidth, the end cap at x = length/2
// with the diameter endWidth. A cap is a disc (buildDisc) for planar, a ball
// (buildBall) for extruded, nothing for none; a ball raises GeometryError
// for a width without extent.
osg::ref_ptr<osg::Geometry> buildCappedTube(double length, double startWidth, double endWidth, int segments,
                                            CapKind startCap, CapKind endCap);

// Appends part's vertices moved by offset, its normals and its primitive sets
// (their indices shifted past target's vertices) to target. Both hold
// vertices and normals per vertex as Vec3Arrays.
void appendGeometry(osg::Geometry& target, const osg::Geometry& part, const osg::Vec3& offset);

// The placement matrix of a shape: rows heading, side, up, then the
// translation (OpenSceneGraph multiplies row vectors from the left).
osg::Matrixd frameMatrix(const osg::Vec3d& heading, const osg::Vec3d& side, const osg::Vec3d& up,
                         const osg::Vec3d& translation);
