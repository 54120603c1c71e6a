#pragma once
// A light of the scene: switched on or off, positioned, with its colours.

#include <array>
#include <string>

struct LightDef {
    // Whether the view lights the scene with it; a light read from a
    // definition file is enabled.
    bool enabled = false;
    std::array<float, 4> position{-300.0f, 120.0f, 300.0f, 0.0f}; // x, y, z, w
    std::array<float, 4> ambient{1.0f, 1.0f, 1.0f, 1.0f};         // RGBA
    std::array<float, 4> specular{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> diffuse{1.0f, 1.0f, 1.0f, 1.0f};

    // The parameter list of a "LightDef:" line: the items of the values that
    // differ from the default light; empty for a default light.
    std::string toText() const;
};

bool operator==(const LightDef& a, const LightDef& b);
