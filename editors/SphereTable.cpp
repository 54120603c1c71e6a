#include "editors/SphereTable.h"

#include <cmath>
#include <memory>

namespace {

std::vector<std::unique_ptr<SphereTable>> tables;

} // namespace

SphereTable::SphereTable(int n) : segments(n) {
    const double twoPi = 2.0 * M_PI;
    const std::size_t points = static_cast<std::size_t>(n) * (n + 1);
    positions.reserve(3 * points);
    indices.reserve(points);
    for (int i = 0; i < n / 2; ++i) {
        const double phi1 = i * twoPi / n - M_PI / 2.0;
        const double phi2 = (i + 1) * twoPi / n - M_PI / 2.0;
        for (int k = 0; k <= n; ++k) {
            const double theta = k * twoPi / n;
            for (double phi : {phi2, phi1}) {
                positions.push_back(static_cast<float>(std::cos(theta) * std::cos(phi)));
                positions.push_back(static_cast<float>(std::sin(phi)));
                positions.push_back(static_cast<float>(std::cos(phi) * std::sin(theta)));
            }
        }
    }
    normals = positions;
    for (std::size_t i = 0; i < positions.size() / 3; ++i) indices.push_back(static_cast<std::uint32_t>(i));
}

void buildSphereTables() {
    tables.clear();
    for (int n : {4, 8, 16, 32, 64, 128}) tables.push_back(std::make_unique<SphereTable>(n));
}

void freeSphereTables() { tables.clear(); }

const SphereTable* sphereTable(int segments) {
    for (const auto& table : tables)
        if (table->segments == segments) return table.get();
    return nullptr;
}
