// Interpreting a bracketed plant: the rule A -> T/F[+A][-A][&A] derived 12
// times gives 265,720 tubes T and as many lines F, each branch level shorter
// and thinner than the one before. Reports the interpretation time, placed
// shapes per second (every instance of the result: tubes, with the argument
// 1 with their two planar caps, and lines), heap bytes per placed shape
// (instance matrices, nodes, shared geometries and state sets), and the time
// to destroy the result; times are CPU times of the thread.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <ctime>

#include "diagnostics/ErrorHandler.h"
#include "interpretation/LSysInterpreter.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/LSystemDefinition.h"
#include "lsys/ProgressRetriever.h"
#include "lsys/String2IDManager.h"

namespace {

constexpr int kSteps = 12;

// The placements of an interpreted group: the instances of its geodes.
std::size_t instances(const osg::Group& group) {
    std::size_t count = 0;
    for (unsigned i = 0; i < group.getNumChildren(); ++i)
        if (const osg::Geode* geode = group.getChild(i)->asGeode())
            for (unsigned d = 0; d < geode->getNumDrawables(); ++d)
                if (const auto* geometry = dynamic_cast<const MOSGInstancedGeometry*>(geode->getDrawable(d)))
                    count += geometry->instanceCount();
    return count;
}

class NoProgress : public ProgressRetriever {
public:
    void setProgress(int) override {}
    bool wasCancelled() override { return false; }
};

std::size_t heapInUse() { return mallinfo2().uordblks; }

// CPU time of this thread: the machine may be shared, wall time is noisy.
double cpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

void BM_InterpretPlant(benchmark::State& state) {
    String2IDManager& registry = String2IDManager::instance();
    registry.registerBuiltins();

    LSystemDefinition definition;
    definition.setAxiom("A");
    definition.addRule(1.0f, "", "", "A", "", "T/>!(0.8)F[+A][-A][&A]");
    tov::StoringErrorHandler errors;
    std::unique_ptr<LSystem> lsystem = buildLSystem(definition, registry, errors);
    NoProgress progress;
    lsystem->getStep(kSteps, &progress); // derived once, outside the timing

    LSysInterpreter::ShapeDefMap shapes;
    ShapeDef tube;
    tube.type = ShapeType::Tube;
    tube.interpreted = tube.visible = true;
    if (state.range(0) == 0) tube.closing1 = tube.closing2 = CapKind::None;
    shapes["T"] = tube;
    ShapeDef line = ShapeDef::forNewSymbol("F");
    shapes["F"] = line;
    ShapeDef branch; // A only rewrites
    shapes["A"] = branch;

    LSysInterpreter interpreter;
    TextTree tree;
    double interpretSeconds = 0, destroySeconds = 0, bytes = 0, placed = 0;
    for (auto _ : state) {
        const std::size_t heapBefore = heapInUse();
        const double start = cpuSeconds();
        osg::ref_ptr<osg::Group> group = interpreter.interpret(*lsystem, shapes, TweakMap(), kSteps, tree, progress);
        const double seconds = cpuSeconds() - start;
        state.SetIterationTime(seconds);
        interpretSeconds += seconds;
        bytes += static_cast<double>(heapInUse() - heapBefore);
        placed += static_cast<double>(instances(*group));

        const double destroyStart = cpuSeconds();
        group = nullptr;
        destroySeconds += cpuSeconds() - destroyStart;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["placed"] = placed / runs;
    state.counters["visible"] = static_cast<double>(interpreter.statistics().visibleItems());
    state.counters["placed_per_s"] = placed / interpretSeconds;
    state.counters["bytes_per_placed"] = bytes / placed;
    state.counters["destroy_s"] = destroySeconds / runs;
}

} // namespace

BENCHMARK(BM_InterpretPlant)->Arg(0)->Arg(1)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
