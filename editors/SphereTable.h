#pragma once
// Unit spheres as quad-strip tables, computed once for the whole run and
// drawn by the material previews.

#include <cstdint>
#include <vector>

struct SphereTable {
    // n(n+1) points of a unit sphere at the origin in quad-strip order, band
    // by band from the south pole upward; each position equals its normal.
    explicit SphereTable(int segments);

    int segments;
    std::vector<float> positions;       // 3 floats per point
    std::vector<float> normals;         // 3 floats per point
    std::vector<std::uint32_t> indices; // 0 ... n(n+1)-1; the first half draws the lower half
};

// Builds the tables for 4, 8, 16, 32, 64 and 128 segments (again after
// freeSphereTables).
void buildSphereTables();
void freeSphereTables();

// The table with that many segments, or null when it is not built.
const SphereTable* sphereTable(int segments);
