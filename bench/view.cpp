// The 3-D view and the computation behind the progress dialog, on the
// virtual display (run under xvfb-run).
//
//   BM_Frame/<example>   one frame of the on-screen view at 800 x 600
//   BM_Drag/<example>    a drag in a 1100 x 720 window: one pointer motion
//                        with the left button held, served by the window's
//                        scheduler, to its frame finished; counter frames/s
//   BM_Cancel/<phase>    from "Cancel" to the dialog closed and the lock
//                        released, for a model of four million atoms,
//                        cancelled while deriving (0) or interpreting (1);
//                        counter refreshes/s: how often the dialog's label or
//                        bar changed while the computation ran; counter
//                        kept MB: resident memory after the cancel less
//                        resident memory before the run

#include <benchmark/benchmark.h>

#include "gui/MFXOSGCanvas.h"
#include "gui/WindowScheduler.h"
#include "lsys/String2IDManager.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

// Resident memory of the process in megabytes.
double residentMegabytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

FXApp& application() {
    static FXApp* app = [] {
        static char name[] = "klado-bench";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        FXApp* created = new FXApp("KLADO-bench", "TOVA-bench");
        created->init(argc, argv);
        created->create();
        String2IDManager::instance().registerBuiltins();
        return created;
    }();
    return *app;
}

const char* const examples[] = {"examples/bush.kld", "examples/large_plant.kld"};

// Loads and computes the example the benchmark's argument names; false (and
// the benchmark skipped) when it does not compute.
bool computeExample(Workbench& workbench, benchmark::State& state) {
    std::ostringstream messages;
    tov::ReportingErrorHandler errors(messages);
    const std::string file = std::string(KLADO_SOURCE_DIR "/") + examples[state.range(0)];
    if (workbench.load(file, errors) && workbench.recompute(errors)) return true;
    state.SkipWithError("example does not compute");
    return false;
}

void BM_Frame(benchmark::State& state) {
    FXApp& app = application();
    MessageBoxReporter reporter(nullptr);
    Workbench workbench(reporter);
    if (!computeExample(workbench, state)) return;
    FXMainWindow* window = new FXMainWindow(&app, "view", nullptr, nullptr, DECOR_ALL, 0, 0, 800, 600);
    FXGLVisual* visual = new FXGLVisual(&app, VISUAL_DOUBLEBUFFER);
    MFXOSGCanvas* canvas =
        new MFXOSGCanvas(window, visual, workbench.view(), nullptr, 0, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    window->create();
    window->show(PLACEMENT_SCREEN);
    app.runWhileEvents();
    canvas->renderFrame(); // takes the scene over
    for (auto _ : state) {
        canvas->renderFrame();
        // The frame is done when the renderer has finished it.
        canvas->FXGLCanvas::makeCurrent();
        glFinish();
        canvas->makeNonCurrent();
    }
    state.SetLabel(examples[state.range(0)]);
    delete window;
    delete visual;
}
BENCHMARK(BM_Frame)->DenseRange(0, 1)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Drag(benchmark::State& state) {
    FXApp& app = application();
    MessageBoxReporter reporter(nullptr);
    Workbench workbench(reporter);
    if (!computeExample(workbench, state)) return;
    FXMainWindow* window = new FXMainWindow(&app, "drag", nullptr, nullptr, DECOR_ALL, 0, 0, 1100, 720);
    FXGLVisual* visual = new FXGLVisual(&app, VISUAL_DOUBLEBUFFER);
    auto* scheduler = new WindowScheduler(window, workbench, reporter);
    MFXOSGCanvas* canvas = new MFXOSGCanvas(window, visual, workbench.view(), scheduler, WindowScheduler::ID_VIEW,
                                            LAYOUT_FILL_X | LAYOUT_FILL_Y);
    scheduler->setCanvas(canvas);
    window->create();
    window->show(PLACEMENT_SCREEN);
    app.runWhileEvents();
    FXEvent event{};
    event.type = SEL_LEFTBUTTONPRESS;
    event.win_x = 550;
    event.win_y = 360;
    canvas->handle(canvas, FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
    int step = 0;
    const auto drag = [&] {
        event.type = SEL_MOTION;
        event.state = LEFTBUTTONMASK;
        event.win_x = 550 + (step++ % 200);
        const long before = scheduler->framesDrawn();
        canvas->handle(canvas, FXSEL(SEL_MOTION, 0), &event);
        while (scheduler->framesDrawn() == before) app.runOneEvent();
        canvas->FXGLCanvas::makeCurrent();
        glFinish();
        canvas->makeNonCurrent();
    };
    drag(); // the first frame takes the scene over and uploads it
    for (auto _ : state) drag();
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(examples[state.range(0)]);
    scheduler->setCanvas(nullptr);
    delete scheduler;
    delete window;
    delete visual;
}
BENCHMARK(BM_Drag)->Arg(0)->Iterations(30)->Unit(benchmark::kMillisecond)->UseRealTime();

class CancelProbe : public FXObject {
    FXDECLARE(CancelProbe)

public:
    enum { ID_TICK = 1 };
    WindowScheduler* controller = nullptr;
    Workbench* workbench = nullptr;
    int cancelAtStep = 0;
    std::chrono::steady_clock::time_point cancelled;
    bool done = false;
    int refreshes = 0;
    FXString lastLabel;
    FXuint lastProgress = 0;

    long onTick(FXObject*, FXSelector, void*) {
        KLADODialog_Computing* dialog = controller->dialog();
        if (dialog->labelText() != lastLabel || dialog->shownProgress() != lastProgress) ++refreshes;
        lastLabel = dialog->labelText();
        lastProgress = dialog->shownProgress();
        if (!done && workbench->reachedStep() >= cancelAtStep && dialog->shown()) {
            cancelled = std::chrono::steady_clock::now();
            dialog->handle(nullptr, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr);
            done = true;
        }
        if (controller->computing()) application().addTimeout(this, ID_TICK, 1);
        return 1;
    }
};

FXDEFMAP(CancelProbe) CancelProbeMap[] = {FXMAPFUNC(SEL_TIMEOUT, CancelProbe::ID_TICK, CancelProbe::onTick)};
FXIMPLEMENT(CancelProbe, FXObject, CancelProbeMap, ARRAYNUMBER(CancelProbeMap))

void BM_Cancel(benchmark::State& state) {
    FXApp& app = application();
    FXMainWindow* window = new FXMainWindow(&app, "cancel", nullptr, nullptr, DECOR_ALL, 0, 0, 300, 200);
    window->create();
    MessageBoxReporter reporter(window);
    Workbench workbench(reporter);
    // 2^22 atoms after 22 steps.
    workbench.definition().setAxiom("F");
    workbench.definition().addRule(1.0f, "", "", "F", "", "FF");
    workbench.definition().addConstant("_steps", "22");
    WindowScheduler controller(window, workbench, reporter);
    const bool interpreting = state.range(0) == 1;
    double refreshRate = 0;
    double kept = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        CancelProbe probe;
        probe.controller = &controller;
        probe.workbench = &workbench;
        probe.cancelAtStep = interpreting ? 22 : 21;
        app.addTimeout(&probe, CancelProbe::ID_TICK, 1);
        const auto started = std::chrono::steady_clock::now();
        controller.recompute(true);
        while (controller.computing()) app.runOneEvent();
        const auto ended = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(ended - probe.cancelled).count());
        refreshRate = probe.refreshes / std::chrono::duration<double>(probe.cancelled - started).count();
        app.removeTimeout(&probe, CancelProbe::ID_TICK);
        kept = residentMegabytes() - before;
    }
    state.counters["refreshes/s"] = refreshRate;
    state.counters["kept MB"] = kept;
    state.SetLabel(interpreting ? "interpreting" : "deriving");
    delete window;
}
BENCHMARK(BM_Cancel)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
