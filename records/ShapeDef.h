#pragma once
// The shape record of one symbol: how the turtle draws it, whether it moves
// the turtle, and how it is coloured. A plain value, copied freely.

#include <cstdint>
#include <string>

#include "materials/GLMaterial.h"
#include "materials/MaterialPalette.h"
#include "records/ShapeEnums.h"

struct ShapeDef {
    ShapeType type = ShapeType::Line;
    double length = 10.0; // step length of the turtle
    double width = 5.0;   // diameter (tube; start of a cone)
    double width2 = 1.0;  // end diameter of a cone
    double height = 1.0;
    std::int32_t corners = 3;
    ShapeQuality quality = ShapeQuality::Normal;
    double innerWidth = 2.0; // torus
    double rotX = 0.0;
    double rotY = 0.0;
    double rotZ = 0.0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    double scaleZ = 1.0;
    bool addLine = false; // extra centre line of tubes and cones
    // Set from a file or by forNewSymbol; a bare record is neither.
    bool interpreted = false;
    bool visible = false;
    bool move = true;
    ColoringMode coloringType = ColoringMode::Single;
    GLMaterial material = GLMaterial::shapeDefault();
    MaterialPalette palette; // the library palette "default"
    std::int32_t indexOffset = 0;
    std::int32_t minColor = 0;
    std::int32_t maxColor = 255;
    CapKind closing1 = CapKind::Planar; // begin cap
    CapKind closing2 = CapKind::Planar; // end cap

    // The record the workbench gives a symbol that has none yet: "F" and "G"
    // are drawn, "f" and "g" move invisibly, any other name (other letters,
    // digits, signs, the empty name) is neither interpreted nor visible.
    static ShapeDef forNewSymbol(const std::string& symbolName);

    // The parameter list of a "ShapeDef:" line: "visible" and "interpreted"
    // always, every other field only when it differs from its default, the
    // palette last in its shortest text form when that is not empty.
    std::string toText() const;
};

// Equal when their "ShapeDef:" lines are: what a save could tell apart.
bool operator==(const ShapeDef& a, const ShapeDef& b);
