#pragma once
// A stored view of the 3-D canvas.

#include <array>
#include <cstdint>
#include <string>

struct CameraDef {
    // Rows (-1, 0, 0, 0), (0, 0, 1, 0), (0, 1, 0, 0), (0, 1, 0, 1).
    static constexpr std::array<double, 16> defaultMatrix{-1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 1};

    bool set = false;                              // a stored orbit (centre, rotation, distance) is present
    std::array<double, 16> matrix = defaultMatrix; // row by row
    double zoom = 1.0;
    std::int32_t mode = 0;
    // The orbit of the view; meaningful once the canvas or a file has set it.
    std::array<double, 3> center{0.0, 0.0, 0.0};
    std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0}; // quaternion x, y, z, w
    double distance = 1.0;

    // The parameter list of a "CameraDef:" line: rotation, centre and distance,
    // or the empty text while the matrix is still the default one and no
    // orbit is stored.
    std::string toText() const;
};
