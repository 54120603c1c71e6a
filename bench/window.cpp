// The workbench window on the virtual display (run under xvfb-run).
//
//   BM_EditToPicture   from the Enter that ends an edit of the axiom, with
//                      "Compute on Change" on, to the first finished frame of
//                      the view that shows the new model, for
//                      examples/bush.kld; two axioms alternate so that every
//                      edit recomputes. Counters: computing_ms, the
//                      derivation and interpretation; frame_ms, from the
//                      result handed to the view to its first frame done.
//   BM_HandDrag/<case>  a drag by hand of two seconds, a move every 16 ms
//                      as the pointer sends them, each served by the
//                      window's scheduler while the event loop goes on:
//                      case 0 the slider of r2 of examples/monopodial.kld
//                      (a recomputation a move), case 1 the Z rotation dial
//                      of examples/large_plant.kld (a reinterpretation of
//                      524,288 tubes a move). Counters: pictures/s, new
//                      pictures taken over by the view during the drag;
//                      busy_ms, the longest the event loop was held by one
//                      event (input waits that long at most); last_ms, from
//                      letting go to the picture of the last value drawn.

#include <benchmark/benchmark.h>

#include "gui/FXRealSpinDial.h"
#include "gui/KLADO_StandaloneMW.h"
#include "gui/MFXOSGCanvas.h"
#include "gui/WindowScheduler.h"
#include "gui/panels/ConstantSliders.h"
#include "gui/panels/DefinitionPanel.h"
#include "gui/panels/ExtensionsPanel.h"
#include "lsys/String2IDManager.h"

#include <fxkeys.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

template <class Widget>
Widget* findWidget(FXWindow* parent, FXObject* target, FXSelector selector) {
    for (FXWindow* child = parent->getFirst(); child; child = child->getNext()) {
        auto* widget = dynamic_cast<Widget*>(child);
        if (widget && child->getTarget() == target && child->getSelector() == selector) return widget;
        if (Widget* found = findWidget<Widget>(child, target, selector)) return found;
    }
    return nullptr;
}

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

// The one application of the benchmarks, or null (the benchmark skipped)
// without an X display or a scratch directory.
FXApp* sessionApp(benchmark::State& state) {
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        state.SkipWithError("needs an X display");
        return nullptr;
    }
    static Session session;
    if (!session.app) state.SkipWithError("no scratch directory");
    return session.app;
}

void BM_EditToPicture(benchmark::State& state) {
    FXApp* app = sessionApp(state);
    if (!app) return;
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

namespace {

void BM_HandDrag(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    using Milliseconds = std::chrono::duration<double, std::milli>;
    FXApp* app = sessionApp(state);
    if (!app) return;
    auto* window = new KLADO_StandaloneMW(app);
    window->create();
    app->runWhileEvents();
    const bool slider = state.range(0) == 0;
    const std::string example = slider ? "examples/monopodial.kld" : "examples/large_plant.kld";
    WindowScheduler& scheduler = window->scheduler();
    SceneView& view = window->workbench().view();
    const auto idle = [&] {
        while (scheduler.computing() || scheduler.waiting()) app->runOneEvent(false);
        app->runWhileEvents();
    };
    // The widget dragged and the values it goes through: there and back.
    FXWindow* widget = nullptr;
    double from = 0;
    double to = 0;
    std::function<void(double)> set;
    if (window->load(KLADO_SOURCE_DIR "/" + example)) {
        idle();
        if (slider) {
            FXRealSlider* r2 = window->extensionsPanel()->sliders()->slider("r2");
            widget = r2;
            from = 0.4;
            to = 0.8;
            set = [r2](double value) { r2->setValue(value); };
        } else {
            auto* dial = findWidget<FXRealSpinDial>(window, window->definitionPanel(), DefinitionPanel::ID_ROTZ);
            widget = dial;
            from = 10;
            to = 40;
            set = [dial](double value) { dial->setValue(value); };
        }
    }
    if (!widget) {
        state.SkipWithError("the example does not load");
    } else {
        constexpr auto interval = std::chrono::milliseconds(16);
        constexpr int moves = 125; // two seconds
        double pictures = 0;
        double dragging = 0;
        double busy = 0;
        double last = 0;
        int drag = 0;
        for (auto _ : state) {
            const auto start = Clock::now();
            auto next = start;
            for (int move = 0; move <= moves; ++move) {
                const double phase = static_cast<double>(move) / moves;
                double value = from + (to - from) * (drag % 2 ? 1 - phase : phase);
                set(value);
                const FXuint type = move == moves ? SEL_COMMAND : SEL_CHANGED;
                widget->getTarget()->handle(widget, FXSEL(type, widget->getSelector()), &value);
                if (move == moves) break;
                next += interval;
                while (Clock::now() < next) {
                    const auto before = Clock::now();
                    app->runOneEvent(false);
                    busy = std::max(busy, Milliseconds(Clock::now() - before).count());
                    if (view.takeOverPendingScene()) {
                        ++pictures;
                        scheduler.requestFrame();
                    }
                }
            }
            const auto released = Clock::now();
            dragging += Milliseconds(released - start).count();
            idle();
            const long frames = scheduler.framesDrawn();
            scheduler.requestFrame();
            while (scheduler.framesDrawn() == frames) app->runOneEvent(false);
            last += Milliseconds(Clock::now() - released).count();
            ++drag;
        }
        state.counters["pictures/s"] = pictures / dragging * 1000;
        state.counters["busy_ms"] = busy;
        state.counters["last_ms"] = benchmark::Counter(last, benchmark::Counter::kAvgIterations);
        state.SetLabel(example);
    }
    window->scheduler().finish();
    delete window;
}
BENCHMARK(BM_HandDrag)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
