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

// n rows, each with a predecessor word of its own: n distinct rules.
LSystemDefinition distinctPredecessors(int n) {
    LSystemDefinition definition;
    definition.addConstant("_multichar", "1");
    definition.setAxiom("A0");
    for (int i = 0; i < n; ++i) definition.addRule(1.0f, "", "", "A" + std::to_string(i), "", "B" + std::to_string(i));
    return definition;
}

// n rows of one symbol, each with a condition of its own: n distinct rules,
// each condition with an expression parser of its own.
LSystemDefinition distinctConditions(int n) {
    LSystemDefinition definition;
    definition.setAxiom("F(0)");
    for (int i = 0; i < n; ++i) definition.addRule(1.0f, "", "", "F(x)", "x==" + std::to_string(i), "F(x+1)");
    return definition;
}

void build(benchmark::State& state, LSystemDefinition (*make)(int)) {
    String2IDManager::instance().registerBuiltins();
    const LSystemDefinition definition = make(static_cast<int>(state.range(0)));
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

void BM_DistinctPredecessors(benchmark::State& state) { build(state, distinctPredecessors); }
void BM_DistinctConditions(benchmark::State& state) { build(state, distinctConditions); }

} // namespace

BENCHMARK(BM_DistinctPredecessors)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_DistinctConditions)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
