#pragma once
// Placing shapes: each placement puts a shared geometry with a shared state
// set from the cache at the placement's matrix.

#include "interpretation/GeometryCache.h"
#include "interpretation/ShapeInstancer.h"
#include "materials/GLMaterial.h"
#include "records/ShapeDef.h"

#include <osg/Geometry>
#include <osg/Matrixd>
#include <osg/Vec3d>

// A number the scene can hold: finite, and within the range of the floats
// its vertices and bounds are made of.
bool drawable(double value);

// A lit shape: the geometry with the material's state set from the cache at
// the matrix.
void addLitShape(GeometryCache& cache, osg::Geometry* geometry, const GLMaterial& material, const osg::Matrixd& matrix,
                 ShapeInstancer& shapes);

// An unlit line of the given length in the material's diffuse colour.
void addLineShape(GeometryCache& cache, double length, const GLMaterial& material, const osg::Matrixd& matrix,
                  ShapeInstancer& shapes);

// Draws the shape of a symbol from start to end (length apart) with the given
// width factor. frame holds the turtle's heading, side and up as rows (see
// frameMatrix); its translation is ignored. Lines are placed at start, the
// other shapes at the middle. A tube or cone is one placement together with
// its caps at start and end (none on a side whose width is 0); addLine adds
// a centre line as a second placement. A type outside the five known
// ones is drawn as a line. Raises GeometryError for a ball or torus without
// extent. Returns false, placing nothing, when a width is not a finite
// number (or too large for the scene's floats).
bool placeShape(GeometryCache& cache, const ShapeDef& shape, const osg::Vec3d& start, const osg::Vec3d& end,
                double length, double widthFactor, const osg::Matrixd& frame, const GLMaterial& material,
                ShapeInstancer& shapes);
