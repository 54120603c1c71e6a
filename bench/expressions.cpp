// Evaluating "x*0.5+y" against a fresh two-entry map, 1M times: re-parsing at
// every evaluation (variable definitions cleared, names bound through a
// variable factory to the numbers of the map) against parse-once evaluation
// with bound slots.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <muParser.h>

#include "lsys/Expressions.h"

namespace {

constexpr const char* kExpression = "x*0.5+y";
constexpr int kEvaluations = 1000000;
// The names come from stored texts (rule patterns, constants), not literals.
const std::string kX = "x";
const std::string kY = "y";

// A name-to-number map holding each number at an address of its own, which
// the factory hands to muParser.
using AddressMap = std::map<std::string, std::unique_ptr<double>>;

double* addressOf(const char* name, void* data) {
    auto& map = *static_cast<AddressMap*>(data);
    auto it = map.find(name);
    if (it == map.end()) throw mu::ParserError(name);
    return it->second.get();
}

void BM_Reparsing(benchmark::State& state) {
    mu::Parser parser;
    parser.SetExpr(kExpression);
    double i = 0;
    for (auto _ : state) {
        AddressMap values;
        values[kX] = std::make_unique<double>(i);
        values[kY] = std::make_unique<double>(1.0);
        parser.ClearVar();
        parser.SetVarFactory(addressOf, &values);
        benchmark::DoNotOptimize(parser.Eval());
        i += 1;
    }
}

void BM_BoundSlots(benchmark::State& state) {
    const Expression expression(kExpression);
    double i = 0;
    for (auto _ : state) {
        VariableValueMap values;
        values.set(kX, i);
        values.set(kY, 1.0);
        benchmark::DoNotOptimize(expression.evaluate(values));
        i += 1;
    }
}

// The evaluation alone: maps built beforehand, a different one each time.
void BM_BoundSlotsPrebuiltMaps(benchmark::State& state) {
    std::vector<VariableValueMap> maps(1024);
    for (std::size_t i = 0; i < maps.size(); ++i) {
        maps[i].set(kX, static_cast<double>(i));
        maps[i].set(kY, 1.0);
    }
    const Expression expression(kExpression);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(expression.evaluate(maps[i++ & 1023]));
    }
}

} // namespace

BENCHMARK(BM_Reparsing)->Iterations(kEvaluations);
BENCHMARK(BM_BoundSlots)->Iterations(kEvaluations);
BENCHMARK(BM_BoundSlotsPrebuiltMaps)->Iterations(kEvaluations);
