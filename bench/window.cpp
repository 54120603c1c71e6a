// The workbench window on the virtual display (run under xvfb-run).
//
//   BM_EditToPicture   from the Enter that ends an edit of the axiom, with
//                      "Compute on Change" on, to the first finished frame of
//                      the view that shows the new model, for
//                      examples/bush.kld; two axioms alternate so that every
//                      edit recomputes. Counters: computing_ms, the
//                      derivation and interpretation; frame_ms, from the
//                      result handed to the view to its first frame done.

#include <benchmark/benchmark.h>

#include "gui/KLADO_StandaloneMW.h"
#include "gui/MFXOSGCanvas.h"
#include "gui/panels/DefinitionPanel.h"
#include "lsys/String2IDManager.h"

#include <fxkeys.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

MFXOSGCanvas* findCanvas(FXWindow* parent) {
    for (FXWindow* child = parent->getFirst(); child; child = child->getNext()) {
        if (auto* canvas = dynamic_cast<MFXOSGCanvas*>(child)) return canvas;
        if (MFXOSGCanvas* canvas = findCanvas(child)) return canvas;
    }
    return nullptr;
}

// One application for the whole program (a second one after the first was
// deleted does not survive), reading and writing its settings in a scratch
// home that starts with the window size a user would start with.
class Session {
public:
    Session() {
        char scratch[] = "/tmp/klado-bench-XXXXXX";
        if (!mkdtemp(scratch)) return;
        home = scratch;
        std::filesystem::create_directories(home / ".foxrc/TOVA");
        std::ofstream(home / ".foxrc/TOVA/KLADO") << "[SETTINGS]\nx=0\ny=0\nwidth=1100\nheight=720\n";
        setenv("HOME", scratch, 1);
        static char name[] = "klado-bench";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        app = new FXApp("KLADO", "TOVA");
        app->init(argc, argv);
        app->create();
        String2IDManager::instance().registerBuiltins();
    }
    // The application stays: its settings are never written back.
    ~Session() {
        if (!home.empty()) std::filesystem::remove_all(home);
    }

    std::filesystem::path home;
    FXApp* app = nullptr;
};

void BM_EditToPicture(benchmark::State& state) {
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        state.SkipWithError("needs an X display");
        return;
    }
    static Session session;
    FXApp* app = session.app;
    if (!app) {
        state.SkipWithError("no scratch directory");
        return;
    }
    auto* window = new KLADO_StandaloneMW(app);
    window->create();
    app->runWhileEvents();
    MFXOSGCanvas* canvas = findCanvas(window);
    if (!window->load(KLADO_SOURCE_DIR "/examples/bush.kld") || !window->computeOnChange() || !canvas) {
        state.SkipWithError("bush does not load, or Compute on Change is off");
    } else {
        app->runWhileEvents();
        const osg::FrameStamp* stamp = window->workbench().view().viewer()->getFrameStamp();
        FXTextField* axiom = window->definitionPanel()->axiomField();
        const char* const axioms[] = {"FA", "A"};
        double computing = 0;
        double framing = 0;
        int edit = 0;
        for (auto _ : state) {
            axiom->setText(axioms[edit++ % 2]);
            FXEvent enter{};
            enter.type = SEL_KEYPRESS;
            enter.code = KEY_Return;
            // Returns once the computation is complete and its scene handed
            // to the view; the next frame takes it over.
            axiom->handle(axiom, FXSEL(SEL_KEYPRESS, 0), &enter);
            const auto handedOver = std::chrono::steady_clock::now();
            const unsigned computed = stamp->getFrameNumber();
            while (stamp->getFrameNumber() == computed) app->runOneEvent(false);
            canvas->FXGLCanvas::makeCurrent();
            glFinish();
            canvas->makeNonCurrent();
            framing += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - handedOver).count();
            const ComputationTimes& times = window->workbench().lastTimes();
            computing += times.derivation + times.interpretation;
        }
        state.counters["computing_ms"] = benchmark::Counter(computing, benchmark::Counter::kAvgIterations);
        state.counters["frame_ms"] = benchmark::Counter(framing, benchmark::Counter::kAvgIterations);
    }
    delete window;
}
BENCHMARK(BM_EditToPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
