// The step bar under the view, driven in-process on the virtual display: a
// step shows the picture a batch run of that many steps draws, seen from the
// view of the last step, and Play goes through the steps.

#include "gui/StepBar.h"
#include "workbench/ConsoleReporter.h"

#include "WindowFixture.h"

#include <osg/Image>
#include <osgDB/ReadFile>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Its rules do not read _steps: n steps of it derive the string a
// definition of "_steps:n" derives.
std::string growing(int steps) {
    return "Name:growing\n"
           "Axiom:F\n"
           "Rule::::F::F[+F]F[-F]F\n"
           "Def:_steps:" +
           std::to_string(steps) +
           "\n"
           "Def:_rotZ:25\n"
           "ShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=2\n"
           "Environment:background.color=3366cc\n";
}

bool samePixels(const osg::Image& a, const osg::Image& b) {
    return a.getTotalSizeInBytes() == b.getTotalSizeInBytes() &&
           std::equal(a.data(), a.data() + a.getTotalSizeInBytes(), b.data());
}

class StepBarTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        load("growing.kld", growing(3));
        bar = window->stepBar();
    }

    // The slider moved to the step, as a drag moves it.
    void drag(int step) {
        bar->slider()->setValue(step);
        bar->handle(bar->slider(), FXSEL(SEL_CHANGED, StepBar::ID_STEP), reinterpret_cast<void*>(FXival(step)));
    }
    // What the workbench's view shows, rendered off-screen.
    osg::ref_ptr<osg::Image> picture(Workbench& workbench, const std::string& name) {
        EXPECT_EQ(workbench.view().renderImage(dir.path(name), 120, 90), "");
        return osgDB::readImageFile(dir.path(name));
    }

    StepBar* bar = nullptr;
};

TEST_F(StepBarTest, AStepShowsWhatABatchRunOfThatManyStepsDrawsSeenFromTheLastStepsViewAndPlayGoesThroughThem) {
    // The last step, shown, and where the slider stands.
    const auto steps = [&] { return std::make_tuple(bar->lastStep(), bar->shownStep(), bar->slider()->getValue()); };
    EXPECT_EQ(steps(), std::make_tuple(3, 3, 3));
    SceneView& view = window->workbench().view();
    view.takeOverPendingScene();
    double distance = 0.0;
    osg::Quat rotation;
    osg::Vec3d center;
    view.manipulator()->getOrbit(distance, rotation, center);

    std::vector<osg::ref_ptr<osg::Image>> shown;
    for (int step = 0; step <= 3; ++step) {
        drag(step);
        computed();
        EXPECT_EQ(bar->shownStep(), step);
        shown.push_back(picture(window->workbench(), "shown" + std::to_string(step) + ".png"));
        ASSERT_TRUE(shown.back().valid());
    }
    EXPECT_FALSE(samePixels(*shown[0], *shown[3]));
    // A burst of moves shows the last one; none shows the progress dialog.
    for (int step : {2, 0, 1}) drag(step);
    EXPECT_TRUE(window->scheduler().computing() || window->scheduler().waiting());
    computed();
    EXPECT_FALSE(window->scheduler().dialog()->shown());
    EXPECT_TRUE(samePixels(*picture(window->workbench(), "burst.png"), *shown[1]));

    // Each step equals a run of that many steps seen from the same place:
    // the string kept for it is all that was interpreted.
    for (int step = 0; step <= 3; ++step) {
        SCOPED_TRACE(step);
        ConsoleReporter reporter;
        Workbench batch(reporter);
        dir.write("steps.kld", growing(step));
        tov::StoringErrorHandler errors;
        ASSERT_TRUE(batch.load(dir.path("steps.kld"), errors));
        ASSERT_TRUE(batch.recompute(errors));
        batch.view().takeOverPendingScene();
        batch.view().manipulator()->setOrbit(distance, rotation, center);
        EXPECT_TRUE(samePixels(*picture(batch, "batch.png"), *shown[step]));
    }

    // Play from the last step goes from the first step to the last, and
    // pause stops it.
    drag(3);
    computed();
    bar->rate()->setValue(20);
    const auto play = [&] { bar->handle(nullptr, FXSEL(SEL_COMMAND, StepBar::ID_PLAY), nullptr); };
    play();
    EXPECT_TRUE(bar->playing());
    std::vector<int> seen{bar->shownStep()};
    ASSERT_TRUE(runUntil([&] {
        if (seen.back() != bar->shownStep()) seen.push_back(bar->shownStep());
        return !bar->playing();
    }));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
    computed();

    play();
    play();
    EXPECT_FALSE(bar->playing());
    computed();
    // Long enough for several steps at that rate.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    runUntil([&] { return std::chrono::steady_clock::now() > until; });
    EXPECT_EQ(bar->shownStep(), 0);
    // A recomputation shows the last step again.
    window->workbench().setSpecialVariable("_steps", 2);
    window->scheduler().recompute(true);
    computed();
    EXPECT_EQ(steps(), std::make_tuple(2, 2, 2));
}

} // namespace
