#include "editors/SphereTable.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SphereTable, UnitSpheresForEveryQuality) {
    buildSphereTables();
    for (int n : {4, 8, 16, 32, 64, 128}) {
        const SphereTable* table = sphereTable(n);
        ASSERT_NE(nullptr, table);
        const std::size_t points = static_cast<std::size_t>(n) * (n + 1);
        ASSERT_EQ(3 * points, table->positions.size());
        ASSERT_EQ(table->positions, table->normals);
        ASSERT_EQ(points, table->indices.size());
        EXPECT_EQ(points - 1, table->indices.back());
        for (std::size_t i = 0; i < 3 * points; i += 3) {
            const float* p = &table->positions[i];
            EXPECT_NEAR(1.0, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 1e-5);
        }
        // The first band starts at the south pole; the lower half reaches the equator.
        EXPECT_NEAR(-1.0, table->positions[4], 1e-6);
        EXPECT_NEAR(0.0, table->positions[3 * (points / 2 - 2) + 1], 1e-6);
    }
    EXPECT_EQ(nullptr, sphereTable(12));
    freeSphereTables();
    EXPECT_EQ(nullptr, sphereTable(32));
}
