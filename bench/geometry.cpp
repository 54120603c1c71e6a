// Placing the shapes of a bracketed plant: 300,000 tubes and 300,000 lines,
// each under its own transform, through the shared geometry and state-set
// cache. Reports placements and shapes per second, heap bytes per placement
// and per shape (geometry, state sets, nodes and the group's child list
// together) and the time to destroy the finished group. The first argument 1
// gives the tubes their default planar caps (held in the tube's geometry);
// the second argument 0 places tubes only (600,000), so that bytes_per_shape
// is the cost of one placed tube.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cmath>
#include <ctime>

#include <osg/Group>

#include "interpretation/ColourRandom.h"
#include "interpretation/GLColorer_Material.h"
#include "interpretation/GeometryBuilders.h"
#include "interpretation/GeometryCache.h"
#include "interpretation/ShapePlacement.h"

namespace {

constexpr int kTubes = 300000;
constexpr int kLines = 300000;
constexpr int kDepth = 8; // branch levels: 8 lengths and widths, 8 colours

// CPU time of this thread: the machine may be shared, wall time is noisy.
double cpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

std::size_t heapInUse() { return mallinfo2().uordblks; }

// A walk through a binary-branching plant: segment i lies at branch level
// i % kDepth, turned a little further about the vertical at every step and
// tilted by its level, so that transforms differ from one another.
struct Segment {
    osg::Vec3d start, end;
    osg::Matrixd frame;
    double length;
    int level;
};

Segment segment(int i) {
    const int level = i % kDepth;
    const double length = 10.0 * std::pow(0.8, level);
    const double turn = i * 0.618;
    const double tilt = 0.3 * level;
    const osg::Vec3d heading(std::sin(tilt) * std::cos(turn), std::cos(tilt), std::sin(tilt) * std::sin(turn));
    osg::Vec3d side = osg::Vec3d(0, 1, 0) ^ heading;
    if (side.normalize() == 0.0) side = osg::Vec3d(1, 0, 0);
    osg::Vec3d up = heading ^ side;
    up.normalize();
    const osg::Vec3d start(std::fmod(i * 0.37, 50.0), level * 10.0, std::fmod(i * 0.11, 50.0));
    return {start, start + heading * length, frameMatrix(heading, side, up, start), length, level};
}

void BM_PlaceTubesAndLines(benchmark::State& state) {
    const bool caps = state.range(0) != 0;
    const bool lines = state.range(1) != 0;
    ShapeDef tube;
    tube.type = ShapeType::Tube;
    tube.interpreted = tube.visible = true;
    if (!caps) tube.closing1 = tube.closing2 = CapKind::None;
    tube.coloringType = ColoringMode::PaletteIndex;
    ShapeDef line = tube;
    line.type = ShapeType::Line;

    GeometryCache cache;
    std::size_t placements = 0;
    double bytes = 0.0;
    double destroySeconds = 0.0;
    double destroyCpuSeconds = 0.0;
    for (auto _ : state) {
        cache.clear();
        const std::size_t before = heapInUse();
        osg::ref_ptr<osg::Group> group = new osg::Group;
        ShapeInstancer shapes;
        shapes.start(group.get());
        ColourRandom random;
        for (int i = 0; i < kTubes + kLines; ++i) {
            const Segment s = segment(i);
            const ShapeDef& shape = lines && i % 2 ? line : tube;
            const GLMaterial material = pickMaterial(shape, i, kTubes + kLines, 0, s.level * 16, random);
            const double widthFactor = std::pow(0.7, s.level);
            placeShape(cache, shape, s.start, s.end, s.length, widthFactor, s.frame, material, shapes);
        }

        state.PauseTiming();
        shapes.start(nullptr);
        placements = kTubes + kLines;
        bytes += static_cast<double>(heapInUse() - before) / placements;
        const auto destroyStart = std::chrono::steady_clock::now();
        const double destroyCpuStart = cpuSeconds();
        group = nullptr;
        cache.clear();
        destroyCpuSeconds += cpuSeconds() - destroyCpuStart;
        destroySeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - destroyStart).count();
        state.ResumeTiming();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["placements"] = static_cast<double>(placements);
    state.counters["placements_per_s"] =
        benchmark::Counter(static_cast<double>(placements) * runs, benchmark::Counter::kIsRate);
    state.counters["shapes_per_s"] = benchmark::Counter((kTubes + kLines) * runs, benchmark::Counter::kIsRate);
    state.counters["bytes_per_placement"] = bytes / runs;
    state.counters["bytes_per_shape"] = bytes / runs * static_cast<double>(placements) / (kTubes + kLines);
    state.counters["destroy_s"] = destroySeconds / runs;
    state.counters["destroy_cpu_s"] = destroyCpuSeconds / runs;
}

} // namespace

BENCHMARK(BM_PlaceTubesAndLines)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
