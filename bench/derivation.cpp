// Derivation speed and memory: four systems, each derived from its axiom for
// a fixed number of steps per iteration.
//
// Counters:
//   atoms/s        atoms produced per second (the lengths of all derived
//                  strings together, over the time of reset + derivation)
//   history_atoms  atoms held in the history after the last step
//   bytes/atom     heap bytes held by the history's strings, per atom (own count)
//   rss/atom       growth of the peak resident set while deriving, per atom

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <fstream>
#include <memory>
#include <string>

#include "lsys/LSystem.h"

namespace {

std::unique_ptr<LSystem> compile(const LSystemDefinition& definition) {
    String2IDManager::instance().registerBuiltins();
    tov::ErrorHandler errors;
    auto system = buildLSystem(definition, String2IDManager::instance(), errors);
    if (!system) throw std::runtime_error("benchmark definition does not compile");
    return system;
}

// Bracketed plant without parameters.
LSystemDefinition plant() {
    LSystemDefinition definition;
    definition.setAxiom("F");
    definition.addRule(1.0f, "", "", "F", "", "F[+F]F[-F]F");
    return definition;
}

// Parametric: a condition and two expressions per successor atom.
LSystemDefinition parametric() {
    LSystemDefinition definition;
    definition.addConstant("r", "0.8");
    definition.setAxiom("A(1,10)");
    definition.addRule(1.0f, "", "", "A(l,w)", "w>0", "F(l,w)[+A(l*r,w*0.7)][-A(l*r,w*0.7)]A(l*0.9,w-1)");
    definition.addRule(1.0f, "", "", "F(l,w)", "l>0", "F(l*1.05,w)");
    return definition;
}

// Stochastic: three alternatives.
LSystemDefinition stochastic() {
    LSystemDefinition definition;
    definition.setAxiom("F");
    definition.addRule(0.33f, "", "", "F", "", "F[+F]F");
    definition.addRule(0.33f, "", "", "F", "", "F[-F]F");
    definition.addRule(0.34f, "", "", "F", "", "F[+F][-F]F");
    return definition;
}

// Context-sensitive with an ignore list: a signal travels up the branches
// (a < B turns B into a), and each signal leaves a new branch behind it.
LSystemDefinition contextSensitive() {
    LSystemDefinition definition;
    definition.setAxiom("aB+B-B+B");
    definition.addRule(1.0f, "a", "", "B", "", "a");
    definition.addRule(1.0f, "", "", "a", "", "B[+aB-B]-B");
    definition.addIgnored("+");
    definition.addIgnored("-");
    return definition;
}

std::size_t historyAtoms(LSystem& system) {
    std::size_t atoms = 0;
    for (std::size_t n = 1; n <= system.getHistorySize(); ++n)
        atoms += system.getStep(static_cast<int>(n), nullptr)->length();
    return atoms;
}

// Resident set size in bytes: the current one, or the peak (since the last
// reset of the peak).
std::size_t residentBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == field) {
            std::size_t kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

void derive(benchmark::State& state, LSystemDefinition (*definition)(), int steps) {
    const auto system = compile(definition());
    std::size_t atoms = 0;
    for (auto _ : state) {
        system->reset();
        system->getStep(steps, nullptr);
        state.PauseTiming();
        atoms += historyAtoms(*system);
        state.ResumeTiming();
    }
    state.counters["atoms/s"] = benchmark::Counter(static_cast<double>(atoms), benchmark::Counter::kIsRate);

    // Memory: derive once more from an emptied history and a trimmed heap.
    system->reset();
    malloc_trim(0);
    resetPeakResident();
    const std::size_t before = residentBytes("VmRSS:");
    system->getStep(steps, nullptr);
    const std::size_t peak = residentBytes("VmHWM:");
    const double held = static_cast<double>(historyAtoms(*system));
    state.counters["history_atoms"] = held;
    state.counters["bytes/atom"] = static_cast<double>(system->getHistoryMemoryUsage()) / held;
    state.counters["rss/atom"] = static_cast<double>(peak - before) / held;
}

void BM_Plant(benchmark::State& state) { derive(state, plant, 8); }
void BM_Parametric(benchmark::State& state) { derive(state, parametric, 11); }
void BM_Stochastic(benchmark::State& state) { derive(state, stochastic, 11); }
void BM_ContextSensitive(benchmark::State& state) { derive(state, contextSensitive, 20); }

} // namespace

BENCHMARK(BM_Plant)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parametric)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stochastic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContextSensitive)->Unit(benchmark::kMillisecond);
