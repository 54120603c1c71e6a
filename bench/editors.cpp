// Redrawing the palette swatch and the palette editor's grid after a change:
// 256 lit sphere previews rendered off-screen, read back and painted. Needs
// an X display (run under xvfb-run).
#include "editors/MFXMatPaletteWell.h"
#include "editors/MFXMatPaletteWidget.h"
#include "materials/PaletteLibrary.h"

#include <benchmark/benchmark.h>

#include <functional>

namespace {

FXApp* application() {
    static FXApp* app = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        static int argc = 1;
        static char name[] = "bench_editors";
        static char* argv[] = {name, nullptr};
        app = new FXApp("KLADO-bench", "TOVA-bench");
        app->init(argc, argv, false);
        if (app->openDisplay()) {
            app->create();
        } else {
            delete app;
            app = nullptr;
        }
    }
    return app;
}

// Two palettes to alternate between, so that every round is a change (to
// materials the previews were rendered for before).
const MaterialPalette& palette(int round) {
    static const MaterialPalette palettes[2] = {
        PaletteLibrary::defaultPalette(), PaletteLibrary::palette(PaletteLibrary::indexOf("gradients/glossy/rainbow"))};
    return palettes[round & 1];
}

// Shows a window with what `build` puts in it, then times `change` followed
// by the repaint it causes.
void timeRedraw(benchmark::State& state, const std::function<void(FXMainWindow*)>& build,
                const std::function<void(int)>& change) {
    FXApp* app = application();
    if (!app) {
        state.SkipWithError("no X display");
        return;
    }
    FXMainWindow* window = new FXMainWindow(app, "bench", nullptr, nullptr, DECOR_ALL, 0, 0, 480, 560);
    build(window);
    window->create();
    window->show(PLACEMENT_SCREEN);
    app->runWhileEvents();
    app->repaint();
    int round = 0;
    for (auto _ : state) {
        change(++round);
        app->repaint();
    }
    delete window;
}

void paletteSwatch(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    MFXMatPaletteWell* well = nullptr;
    timeRedraw(
        state,
        [&](FXMainWindow* window) {
            well = new MFXMatPaletteWell(window, nullptr, 0, FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0,
                                         size, size);
        },
        [&](int round) { well->setPalette(palette(round)); });
}
BENCHMARK(paletteSwatch)->Arg(64)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);

void paletteEditorGrid(benchmark::State& state) {
    MFXMatPaletteWidget* editor = nullptr;
    timeRedraw(
        state, [&](FXMainWindow* window) { editor = new MFXMatPaletteWidget(window); },
        [&](int round) { editor->setPalette(palette(round)); });
}
BENCHMARK(paletteEditorGrid)->Unit(benchmark::kMillisecond);

// A material no round has shown before.
GLMaterial unseen(const GLMaterial& material, int round) {
    GLMaterial changed = material;
    changed.diffuse[2] = static_cast<float>(round % 4096) / 4096.0f;
    changed.shininess = static_cast<float>(round / 4096);
    return changed;
}

// An edit of one entry: one new preview per round.
void paletteEditorEntry(benchmark::State& state) {
    MFXMatPaletteWidget* editor = nullptr;
    timeRedraw(
        state, [&](FXMainWindow* window) { editor = new MFXMatPaletteWidget(window); },
        [&](int round) {
            MaterialPalette changed = editor->getPalette();
            changed[round % MaterialPalette::size] = unseen(changed[round % MaterialPalette::size], round);
            editor->setPalette(changed);
        });
}
BENCHMARK(paletteEditorEntry)->Unit(benchmark::kMillisecond);

// A change of every entry to materials not shown before: 256 new previews.
void paletteEditorAllNew(benchmark::State& state) {
    MFXMatPaletteWidget* editor = nullptr;
    timeRedraw(
        state, [&](FXMainWindow* window) { editor = new MFXMatPaletteWidget(window); },
        [&](int round) {
            MaterialPalette changed = palette(0);
            for (int i = 0; i < MaterialPalette::size; ++i) changed[i] = unseen(changed[i], round);
            editor->setPalette(changed);
        });
}
BENCHMARK(paletteEditorAllNew)->Unit(benchmark::kMillisecond);

} // namespace
