// Building the rule set of a definition with many distinct rules: rows are
// grouped by predecessor, contexts and condition, so the time should grow
// with the number of rows, not with its square.
//
// Counters:
//   rules/s   rule rows compiled per second (parsing, grouping, sorting)

#include <benchmark/benchmark.h>

#include <string>

#include "lsys/LSystem.h"

namespace {

// n rows of one symbol, each with a condition of its own: n distinct rules.
LSystemDefinition distinctRules(int n) {
    LSystemDefinition definition;
    definition.setAxiom("F(0)");
    for (int i = 0; i < n; ++i)
        definition.addRule(1.0f, "", "", "F(x)", "x==" + std::to_string(i), "F(x+1)");
    return definition;
}

void BM_BuildDistinctRules(benchmark::State& state) {
    String2IDManager::instance().registerBuiltins();
    const LSystemDefinition definition = distinctRules(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tov::ErrorHandler errors;
        auto system = buildLSystem(definition, String2IDManager::instance(), errors);
        if (!system) state.SkipWithError("the definition does not compile");
        benchmark::DoNotOptimize(system);
    }
    state.counters["rules/s"] =
        benchmark::Counter(static_cast<double>(state.range(0)) * state.iterations(), benchmark::Counter::kIsRate);
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_BuildDistinctRules)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
