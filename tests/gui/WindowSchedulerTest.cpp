#include "gui/WindowScheduler.h"
#include "gui/MFXOSGCanvas.h"
#include "lsys/String2IDManager.h"

#include "../GuiTestApp.h"

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

class RecordingReporter : public MessageBoxReporter {
public:
    RecordingReporter() : MessageBoxReporter(nullptr) {}
    void report(const std::string& title, const std::string& text) override { boxes.emplace_back(title, text); }
    void warn(const std::string& title, const std::string& text) override { boxes.emplace_back(title, text); }
    std::vector<std::pair<std::string, std::string>> boxes;
};

// The recorder stands for the main window: it counts completions and keeps
// the step each one reached.
struct SchedulerFixture : GuiTest {
    RecordingReporter reporter;
    Workbench workbench{reporter};
    int reached = -1;
    std::unique_ptr<WindowScheduler> scheduler;
    FXGLVisual visual{guiApp(), VISUAL_DOUBLEBUFFER};
    MFXOSGCanvas* canvas = nullptr;

    void SetUp() override {
        String2IDManager::instance().registerBuiltins();
        window = new FXMainWindow(app, "test", nullptr, nullptr, DECOR_ALL, 0, 0, 300, 200);
        window->create();
        recorder.hook = [this](FXObject*, FXSelector, void*) { reached = workbench.reachedStep(); };
        scheduler = std::make_unique<WindowScheduler>(window, workbench, reporter, &recorder, 1);
    }
    void TearDown() override {
        if (canvas) scheduler->setCanvas(nullptr);
        delete canvas;
        scheduler.reset();
        GuiTest::TearDown();
    }
    // The view on the screen, drawn by the scheduler.
    void showCanvas() {
        canvas = new MFXOSGCanvas(window, &visual, workbench.view(), scheduler.get(), WindowScheduler::ID_VIEW,
                                  LAYOUT_FILL_X | LAYOUT_FILL_Y);
        scheduler->setCanvas(canvas);
        canvas->create();
        window->show(PLACEMENT_SCREEN);
    }
    // The frames drawn while the event loop runs for so long.
    long framesWithin(int milliseconds) {
        const long before = scheduler->framesDrawn();
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < until) guiApp()->runOneEvent(false);
        return scheduler->framesDrawn() - before;
    }

    void define(const std::string& axiom, const std::string& successor, int steps) {
        workbench.definition().setAxiom(axiom);
        workbench.definition().setRules({});
        workbench.definition().addRule(1.0f, "", "", "F", "", successor);
        workbench.definition().addConstant("_steps", std::to_string(steps));
    }
    // A model whose derivation takes seconds: cancelled well before its end.
    void defineLarge() { define("F", std::string(300, 'F'), 5); }
    bool finished() {
        return runUntil([&] { return !scheduler->computing(); });
    }

    unsigned shownShapes() {
        workbench.view().takeOverPendingScene();
        return workbench.view().viewer()->getSceneData()->asGroup()->getChild(1)->asGroup()->getNumChildren();
    }
};

TEST_F(SchedulerFixture, ALongComputationShowsItsDialogWhoseCancelKeepsThePictureAndReleasesTheSteps) {
    define("F", "F[+F]F", 6);
    scheduler->recompute(true);
    EXPECT_TRUE(scheduler->computing());
    ASSERT_TRUE(finished());
    EXPECT_EQ(recorder.commands, 1);
    EXPECT_EQ(reached, 6);
    EXPECT_FALSE(workbench.pending());
    EXPECT_TRUE(reporter.boxes.empty());
    const unsigned shapes = shownShapes();
    ASSERT_GT(shapes, 0u);
    // A short computation never shows the dialog.
    EXPECT_FALSE(scheduler->dialog()->shown());

    // A long one shows it; cancelled from the dialog's button and by closing
    // it. The dialog runs modally: the test acts from within its loop.
    for (const FXSelector stop : {FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), FXSEL(SEL_CLOSE, 0)}) {
        defineLarge();
        recorder.commands = 0;
        Poller cancel([&] {
            if (!scheduler->dialog()->shown() || workbench.reachedStep() < 2) return !scheduler->computing();
            scheduler->dialog()->handle(nullptr, stop, nullptr);
            return true;
        });
        scheduler->recompute(true);
        ASSERT_TRUE(finished());
        EXPECT_FALSE(scheduler->dialog()->shown());
        EXPECT_EQ(recorder.commands, 1);
        EXPECT_TRUE(scheduler->cancelled());
        EXPECT_TRUE(workbench.pending());
        // The steps derived so far are given back.
        EXPECT_EQ(workbench.lsystem(), nullptr);
        EXPECT_EQ(shownShapes(), shapes);
        EXPECT_TRUE(reporter.boxes.empty());
    }
    // "Compute" starts again from the definition.
    define("F", "FF", 2);
    scheduler->recompute(true);
    ASSERT_TRUE(finished());
    EXPECT_FALSE(workbench.pending());
    EXPECT_EQ(workbench.reachedStep(), 2);
}

TEST_F(SchedulerFixture, RequestsDuringAComputationStopItOnlyTheNewestIsServedUnlessLiveAndErrorsKeepThePicture) {
    defineLarge();
    scheduler->recompute(true);
    ASSERT_TRUE(scheduler->computing());
    // Edits go on while the worker runs: it reads its own copy.
    scheduler->reinterpret(false);
    define("F", "F[+F]", 2);
    scheduler->recompute(false);
    define("F", "F[+F]F", 2);
    scheduler->reinterpret(false);
    EXPECT_TRUE(scheduler->waiting());
    ASSERT_TRUE(finished());
    // One result, of the last definition: the stopped run left none.
    EXPECT_EQ(recorder.commands, 1);
    EXPECT_FALSE(scheduler->waiting());
    EXPECT_EQ(workbench.reachedStep(), 2);
    EXPECT_EQ(workbench.lsystem()->getStep(2, nullptr)->length(), 21u);
    EXPECT_FALSE(workbench.pending());

    // A live request lets the running computation show its picture and runs next.
    define("F", "F[+F]F", 7);
    recorder.commands = 0;
    scheduler->recompute(true);
    ASSERT_TRUE(scheduler->computing());
    // A dial being dragged: each change asks; only the newest waits.
    for (int i = 0; i < 3; ++i) scheduler->reinterpret(false, true);
    EXPECT_TRUE(scheduler->waiting());
    ASSERT_TRUE(finished());
    EXPECT_FALSE(scheduler->cancelled());
    // The first picture was shown, then the one the drag asked for.
    EXPECT_EQ(recorder.commands, 2);
    EXPECT_FALSE(scheduler->waiting());

    // The drag ends: a final request stops a running live one.
    recorder.commands = 0;
    scheduler->reinterpret(true, true);
    ASSERT_TRUE(scheduler->computing());
    scheduler->reinterpret(true);
    ASSERT_TRUE(finished());
    EXPECT_EQ(recorder.commands, 1);

    // An interpretation error keeps the last picture and says where.
    define("F", "F", 1);
    scheduler->recompute(true);
    ASSERT_TRUE(finished());
    ASSERT_EQ(shownShapes(), 1u);

    workbench.definition().setAxiom("F F F ] F");
    scheduler->recompute(true);
    ASSERT_TRUE(finished());
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_EQ(reporter.boxes[0].first, "Definition error");
    EXPECT_EQ(reporter.boxes[0].second,
              "A stack state was tried to be popped, but none has been pushed before. (atom 4 of 5: F F F >>]<< F)");
    EXPECT_TRUE(scheduler->failed());
    EXPECT_TRUE(scheduler->failedInterpreting());
    EXPECT_EQ(shownShapes(), 1u);
}

TEST_F(SchedulerFixture, FramesAreDrawnOnRequestOnlyAndManyRequestsMakeOne) {
    showCanvas();
    // The frames the window's first exposures ask for.
    while (framesWithin(300) > 0) {}
    const long start = scheduler->framesDrawn();
    for (int i = 0; i < 5; ++i) scheduler->requestFrame();
    ASSERT_TRUE(runUntil([&] { return scheduler->framesDrawn() > start; }));
    // Nothing changes: nothing more is drawn.
    EXPECT_EQ(framesWithin(300), 0);

    // A drag, the wheel and an exposure each ask for a frame.
    FXEvent event{};
    event.win_x = 50;
    event.win_y = 50;
    const auto draws = [&](FXSelector message) {
        const long before = scheduler->framesDrawn();
        canvas->handle(canvas, FXSEL(message, 0), &event);
        return runUntil([&] { return scheduler->framesDrawn() > before; });
    };
    canvas->handle(canvas, FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
    event.state = LEFTBUTTONMASK;
    event.win_x = 90;
    ASSERT_TRUE(draws(SEL_MOTION));
    canvas->handle(canvas, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &event);
    guiApp()->runWhileEvents();
    const double distance = workbench.view().manipulator()->getDistance();
    event.code = 120;
    ASSERT_TRUE(draws(SEL_MOUSEWHEEL));
    EXPECT_NEAR(workbench.view().manipulator()->getDistance(), distance * 0.9, distance * 0.02);
    EXPECT_TRUE(draws(SEL_PAINT));
}

// Frames that follow each other quickly are plain; the view that rests is
// drawn once more, anti-aliased. Without anti-aliasing nothing follows.
TEST_F(SchedulerFixture, AMovingViewIsDrawnAntialiasedOnceItRests) {
    showCanvas();
    for (bool antialiased : {true, false}) {
        SCOPED_TRACE(antialiased);
        scheduler->setAntialiased(antialiased);
        EXPECT_EQ(antialiased, scheduler->antialiased());
        framesWithin(3 * WindowScheduler::settleDelay);
        scheduler->requestFrame();
        scheduler->drawNow();
        scheduler->requestFrame();
        scheduler->drawNow();
        EXPECT_EQ(antialiased ? 1 : 0, framesWithin(3 * WindowScheduler::settleDelay));
    }
}

TEST_F(SchedulerFixture, TheComputingDialogShowsWhatTheWorkerReportsFromTheMainThread) {
    KLADODialog_Computing& dialog = *scheduler->dialog();
    dialog.restart();
    dialog.show(PLACEMENT_OWNER);
    EXPECT_EQ(dialog.labelText(), "Computing step #1");

    std::thread([&] {
        dialog.setStep(3);
        dialog.setProgress(40);
    }).join();
    EXPECT_TRUE(runUntil([&] { return dialog.labelText() == "Computing step #3" && dialog.shownProgress() == 40; }));
    std::thread([&] { dialog.setInterpreting(); }).join();
    EXPECT_TRUE(runUntil([&] { return dialog.labelText() == "Interpreting"; }));
    dialog.hide();
}

TEST_F(SchedulerFixture, TheViewOutlivesTheCanvasAndItsFrames) {
    define("F", "F", 1);
    scheduler->recompute(true);
    ASSERT_TRUE(finished());
    showCanvas();
    guiApp()->runWhileEvents();
    workbench.view().takeOverPendingScene();
    ASSERT_TRUE(canvas->renderFrame());
    scheduler->setCanvas(nullptr);
    delete canvas;
    canvas = nullptr;
    EXPECT_EQ(workbench.view().viewer()->getCamera()->getGraphicsContext(), nullptr);
    // A scene computed later is taken over.
    scheduler->recompute(true);
    ASSERT_TRUE(finished());
    EXPECT_EQ(shownShapes(), 1u);
}

} // namespace
