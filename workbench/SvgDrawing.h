#pragma once
// The scene as the camera sees it, drawn as an SVG vector drawing for
// plotters, cutters and 2-D work: lines and the axes of tubes and cones as
// strokes of their projected width (a tapered outline where the two ends
// differ), balls as discs and tori as rings of their projected size,
// polygons as filled paths, all in their materials' colours and painted
// back to front. Caps are left out. Coordinates are the exact projections,
// in pixels of a drawing of the given size (its viewBox).
//
// Throws FileError when the file cannot be written.

#include "workbench/ExportScene.h"

#include <osg/Matrixd>
#include <osg/Vec4>

#include <string>

struct SvgCamera {
    osg::Matrixd view;
    osg::Matrixd projection;
    int width = 1;
    int height = 1;
    osg::Vec4 background;
};

void writeSvg(const ExportScene& scene, const SvgCamera& camera, const std::string& fileName);
