#include "editors/SphereTable.h"

#include "interpretation/GeometryBuilders.h"

#include <memory>

namespace {

std::vector<std::unique_ptr<SphereTable>> tables;

} // namespace

SphereTable::SphereTable(int n) : segments(n) {
    const std::vector<osg::Vec3d> points = unitSphere(n);
    positions.reserve(3 * points.size());
    indices.reserve(points.size());
    for (const osg::Vec3d& point : points) {
        for (int i = 0; i < 3; ++i) positions.push_back(static_cast<float>(point[i]));
        indices.push_back(static_cast<std::uint32_t>(indices.size()));
    }
    normals = positions;
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
