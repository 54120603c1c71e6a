// Writing the text form of a palette needs a look-up of the palette in the
// built-in library.
#include "materials/MaterialPalette.h"
#include "materials/PaletteLibrary.h"

#include <benchmark/benchmark.h>

namespace {

MaterialPalette libraryPalette(const char* name) { return PaletteLibrary::palette(PaletteLibrary::indexOf(name)); }

void firstLookUpBuildsTheLibrary(benchmark::State& state) {
    // Runs first and once: the one-off cost of building all 212 palettes.
    for (auto _ : state) benchmark::DoNotOptimize(PaletteLibrary::indexOf(MaterialPalette()));
}
BENCHMARK(firstLookUpBuildsTheLibrary)->Iterations(1)->Unit(benchmark::kMicrosecond);

void writeLibraryPalette(benchmark::State& state) {
    const MaterialPalette palette = libraryPalette("gradients/dark/cyan_to_black"); // near the end
    benchmark::DoNotOptimize(palette.text()); // builds the library outside the timing
    for (auto _ : state) benchmark::DoNotOptimize(palette.text());
}
BENCHMARK(writeLibraryPalette)->Unit(benchmark::kMicrosecond);

void writeOtherPalette(benchmark::State& state) {
    MaterialPalette palette = libraryPalette("gradients/dark/cyan_to_black");
    palette[255].flat = true;
    benchmark::DoNotOptimize(palette.text());
    for (auto _ : state) benchmark::DoNotOptimize(palette.text());
}
BENCHMARK(writeOtherPalette)->Unit(benchmark::kMicrosecond);

} // namespace
