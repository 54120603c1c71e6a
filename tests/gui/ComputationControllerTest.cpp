#include "gui/ComputationController.h"

#include "GuiTestApp.h"
#include "lsys/String2IDManager.h"

#include <gtest/gtest.h>

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

// Stands for the main window: counts completions and shows the step reached.
class CompletionTarget : public FXObject {
    FXDECLARE(CompletionTarget)

public:
    enum { ID_COMPLETED = 1 };
    Workbench* workbench = nullptr;
    int completions = 0;
    int iterationField = -1;

    long onCompleted(FXObject*, FXSelector, void*) {
        ++completions;
        iterationField = workbench->reachedStep();
        return 1;
    }
};

// clang-format off
FXDEFMAP(CompletionTarget) CompletionTargetMap[] = {
    FXMAPFUNC(SEL_COMMAND, CompletionTarget::ID_COMPLETED, CompletionTarget::onCompleted),
};
// clang-format on

FXIMPLEMENT(CompletionTarget, FXObject, CompletionTargetMap, ARRAYNUMBER(CompletionTargetMap))

struct ControllerFixture : ::testing::Test {
    FXMainWindow* window = nullptr;
    RecordingReporter reporter;
    Workbench workbench{reporter};
    CompletionTarget target;
    std::unique_ptr<ComputationController> controller;

    void SetUp() override {
        String2IDManager::instance().registerBuiltins();
        window = new FXMainWindow(guiApp(), "test", nullptr, nullptr, DECOR_ALL, 0, 0, 300, 200);
        window->create();
        target.workbench = &workbench;
        controller = std::make_unique<ComputationController>(window, workbench, reporter, &target,
                                                             CompletionTarget::ID_COMPLETED);
    }
    void TearDown() override {
        controller.reset();
        delete window;
    }

    void define(const std::string& axiom, const std::string& successor, int steps) {
        workbench.definition().setAxiom(axiom);
        workbench.definition().addRule(1.0f, "", "", "F", "", successor);
        workbench.definition().addConstant("_steps", std::to_string(steps));
    }

    osg::Group* shownScene() {
        workbench.view().takeOverPendingScene();
        return workbench.view().viewer()->getSceneData()->asGroup()->getChild(1)->asGroup();
    }
};

TEST_F(ControllerFixture, TheResultArrivesThroughTheEventLoopWhileTheMainThreadRuns) {
    define("F", "F[+F]F", 9);
    bool sawItRunning = false;
    Poller watch([&] {
        sawItRunning = sawItRunning || (controller->computing() && controller->dialog()->shown());
        return !controller->computing();
    });
    controller->recompute(true);
    EXPECT_FALSE(controller->computing());
    EXPECT_FALSE(controller->dialog()->shown());
    EXPECT_EQ(target.completions, 1);
    EXPECT_EQ(target.iterationField, 9);
    EXPECT_FALSE(workbench.pending());
    EXPECT_TRUE(reporter.boxes.empty());
    EXPECT_GT(shownScene()->getNumChildren(), 0u);
    EXPECT_TRUE(sawItRunning);
}

TEST_F(ControllerFixture, CancelOrClosingTheDialogDuringStepThreeKeepsStepTwo) {
    // Step 3 has 27 million atoms: a busy machine still cancels inside it.
    const std::string successor(300, 'F');
    const FXSelector stops[] = {FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), FXSEL(SEL_CLOSE, 0)};
    for (const FXSelector stop : stops) {
        define("F", successor, 5);
        target.completions = 0;
        Poller cancel([&] {
            if (workbench.reachedStep() < 2) return false;
            controller->dialog()->handle(nullptr, stop, nullptr);
            return true;
        });
        controller->recompute(true);
        EXPECT_EQ(target.completions, 1);
        EXPECT_EQ(workbench.reachedStep(), 2);
        EXPECT_EQ(target.iterationField, 2);
        EXPECT_EQ(workbench.lsystem()->getValue("_step", -1), 2.0);
        EXPECT_TRUE(workbench.pending());
        EXPECT_TRUE(reporter.boxes.empty());
    }
}

TEST_F(ControllerFixture, WithoutComputeOnChangeAnEditOnlyMarksTheResultPending) {
    define("F", "FF", 3);
    controller->setComputeOnChange(false);
    controller->recompute(false);
    EXPECT_EQ(target.completions, 0);
    EXPECT_TRUE(workbench.pending());
    EXPECT_EQ(workbench.lsystem()->getHistorySize(), 0u);

    controller->recompute(true); // the "Compute" button
    EXPECT_EQ(target.completions, 1);
    EXPECT_FALSE(workbench.pending());
    EXPECT_EQ(workbench.reachedStep(), 3);
}

TEST_F(ControllerFixture, ASecondStartWhileOneRunsDoesNothing) {
    define("F", std::string(30, 'F'), 3);
    Poller again([&] {
        if (!controller->computing()) return false;
        controller->recompute(true);
        controller->reinterpret(true);
        return true;
    });
    controller->recompute(true);
    EXPECT_EQ(target.completions, 1);
    EXPECT_EQ(workbench.reachedStep(), 3);
    // The lock was released: the next computation runs.
    controller->reinterpret(false);
    EXPECT_EQ(target.completions, 2);
}

TEST_F(ControllerFixture, AnUnopenedPolygonIsADefinitionErrorAndLeavesNoModel) {
    define("F", "F", 1);
    controller->recompute(true);
    ASSERT_GT(shownScene()->getNumChildren(), 0u);

    workbench.definition().setAxiom("F}");
    controller->recompute(true);
    ASSERT_EQ(reporter.boxes.size(), 1u);
    EXPECT_EQ(reporter.boxes[0].first, "Definition error");
    EXPECT_EQ(shownScene()->getNumChildren(), 0u);
    EXPECT_FALSE(controller->computing());
}

TEST(ComputingDialog, ShowsWhatTheWorkerReportsFromTheMainThread) {
    FXMainWindow window(guiApp(), "test");
    window.create();
    RecordingReporter reporter;
    Workbench workbench(reporter);
    KLADODialog_Computing dialog(&window, workbench);
    dialog.create();
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

} // namespace
