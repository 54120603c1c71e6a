#include "workbench/Workbench.h"

#include "lsys/String2IDManager.h"

#include "../TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace {

// What the workbench tells the user: warnings are kept, a failure fails the test.
struct Recorder : FailureReporter {
    std::vector<std::pair<std::string, std::string>> warnings;
    void report(const std::string& title, const std::string& text) override { ADD_FAILURE() << title << text; }
    void warn(const std::string& title, const std::string& text) override { warnings.emplace_back(title, text); }
};

struct WorkbenchFixture : ::testing::Test {
    TempDir dir;
    Recorder recorder;
    Workbench workbench{recorder};
    std::ostringstream messages;
    tov::ReportingErrorHandler errors{messages};

    void SetUp() override { String2IDManager::instance().registerBuiltins(); }

    void load(const std::string& text) {
        dir.write("plant.kld", text);
        ASSERT_TRUE(workbench.load(dir.path("plant.kld"), errors)) << messages.str();
    }

    // A computation as the window's worker runs it, on this thread; without
    // compute on change it only derives, as a batch run without pictures does.
    ComputationOutcome compute(ComputationProgress& progress, bool computeOnChange = true, bool cancelFirst = false) {
        std::optional<ComputationRequest> request = workbench.prepareRecompute(computeOnChange, errors);
        EXPECT_TRUE(request) << messages.str();
        if (!request) return {};
        request->force = computeOnChange;
        if (cancelFirst) workbench.cancel(); // pressed while the worker is still starting
        return workbench.compute(*request, progress);
    }
};

// A plant of one rule, F -> successor, derived for the given steps.
std::string plant(const std::string& axiom, const std::string& successor, int steps) {
    return "Axiom:" + axiom + "\nRule: : : :F: :" + successor + "\nDef:_steps:" + std::to_string(steps) + "\n";
}

// Cancels the run once the given step has begun, as the dialog's Cancel does.
struct CancellingProgress : SilentProgress {
    Workbench& workbench;
    int atStep;
    CancellingProgress(Workbench& w, int step) : workbench(w), atStep(step) {}
    void setStep(int step) override {
        if (step >= atStep) workbench.cancel();
    }
};

// A finished run's result is the interpreted string turned upright; a
// cancelled run keeps the steps derived before it and marks the picture out
// of date.
TEST_F(WorkbenchFixture, FinishedAndCancelledRunsZeroStepsAndDerivationsAlone) {
    const struct {
        const char* what;
        int steps;
        int cancelAtStep; // never when negative; 0: before the run begins
        bool computeOnChange;
        int reached;
        bool pending;
    } cases[] = {
        {"all steps", 3, -1, true, 3, false},
        {"zero steps interpret the axiom", 0, -1, true, 0, false},
        {"a cancel before the run begins is not lost", 3, 0, true, 0, true},
        {"a cancel during step 3", 5, 3, true, 2, true},
        {"without compute on change only a derivation", 2, -1, false, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        load(plant("F", "FF", c.steps));
        CancellingProgress progress(workbench, c.cancelAtStep > 0 ? c.cancelAtStep : 1000);
        const ComputationOutcome outcome = compute(progress, c.computeOnChange, c.cancelAtStep == 0);
        EXPECT_TRUE(outcome.errorTitle.empty()) << outcome.errorText;
        EXPECT_EQ(outcome.reachedStep, c.reached);
        EXPECT_EQ(workbench.lsystem()->getHistorySize(), static_cast<std::size_t>(c.reached));
        EXPECT_EQ(outcome.pending, c.pending);
        EXPECT_EQ(outcome.needsDerivation, c.pending);
        ASSERT_EQ(outcome.result.valid(), !c.pending);
        if (c.pending) continue;
        EXPECT_FALSE(outcome.statistics.items().empty());
        // The turtle grows along +y; upright, the model stands along +z.
        const osg::BoundingSphere bound = outcome.result->getBound();
        EXPECT_GT(bound.center().z(), 0.4 * (1 << c.steps));
        EXPECT_NEAR(bound.center().y(), 0.0, 1e-6);
    }
}

TEST_F(WorkbenchFixture, ComputationErrorsBecomeTitleAndText) {
    const struct {
        const char* axiom;
        const char* successor;
        const char* tweak;
        std::string text;
    } cases[] = {
        {"F", "F(unknownName)", "", "unknownName"},
        {"F}", "F", "", "A polygon was tried to be closed, but no one was opened before. (atom 2 of 2: F >>}<<)"},
        {"F", "F", "tropism.strength", "A value assumed to be numeric is not."},
        {"F", "F", "tropism.direction", "Parameter 'tropism.direction' has a false number of entries."},
    };
    for (const auto& c : cases) {
        load(plant(c.axiom, c.successor, 1));
        if (*c.tweak) workbench.definition().setTweak(c.tweak, "(0,x)");
        SilentProgress progress;
        const ComputationOutcome outcome = compute(progress);
        EXPECT_EQ(outcome.errorTitle, "Definition error") << c.text;
        EXPECT_EQ(outcome.errorText, c.text);
        EXPECT_FALSE(outcome.result.valid());
    }
}

TEST_F(WorkbenchFixture, LoadingASecondDefinitionRestartsUserSymbolsAt1000) {
    load("Axiom:Alpha Beta\nDef:_multichar:1\n");
    ASSERT_TRUE(workbench.recompute(errors)) << messages.str();
    String2IDManager& registry = String2IDManager::instance();
    ASSERT_TRUE(registry.hasName("Alpha"));

    load("Axiom:Gamma\nDef:_multichar:1\n");
    ASSERT_TRUE(workbench.recompute(errors)) << messages.str();
    EXPECT_FALSE(registry.hasName("Alpha"));
    EXPECT_EQ(registry.idOf("Gamma"), firstUserSymbolID);
    EXPECT_EQ(registry.getNextID(), firstUserSymbolID + 1);
    EXPECT_EQ(registry.idOf("["), 8); // the alphabet stays
}

TEST_F(WorkbenchFixture, CurrentCameraOutOfRangeFallsBackToTheFirst) {
    const std::pair<const char*, double> cases[] = {{"0", 1.0}, {"1", 2.0}, {"2", 1.0}, {"-1", 1.0}, {"7.5", 1.0}};
    for (const auto& [index, centerX] : cases) {
        load(std::string("Axiom:F\nCameraDef:center=(1,0,0)\nCameraDef:center=(2,0,0)\nDef:_currentCamera:") + index +
             "\n");
        EXPECT_EQ(workbench.currentCamera().center[0], centerX) << index;
    }
}

// The window's dials write their values in fixed notation and show what they
// read back; a formula must not stop the window.
TEST_F(WorkbenchFixture, TheWindowsValuesAreWrittenInFixedNotationAndReadAsNumbersOrTheFallback) {
    load("Axiom:F\nRule: : : :F: :FF\nDef:a:b*2\nDef:_rotX:22.5\n");
    workbench.setSpecialVariable("_rotX", 22.5); // as the file says it
    EXPECT_EQ(workbench.definition().getConstants().at("_rotX").value, "22.5");
    workbench.setSpecialVariable("_steps", 3);
    workbench.setSpecialVariable("_rotZ", 1234.5678);
    EXPECT_EQ(workbench.definition().getConstants().at("_rotZ").value, "1234.568");
    ASSERT_TRUE(workbench.recompute(errors)) << messages.str();
    EXPECT_EQ(workbench.reachedStep(), 3);
    EXPECT_EQ(workbench.specialVariable("a", -1), -1);    // no number
    EXPECT_EQ(workbench.specialVariable("none", -2), -2); // no such variable
}

TEST_F(WorkbenchFixture, ReinterpretationDerivesOnlyWhatACancelLeftUndone) {
    load(plant("F", "FF", 4));
    SilentProgress progress;
    EXPECT_TRUE(workbench.complete(compute(progress, true, true)));
    EXPECT_TRUE(workbench.pending());
    EXPECT_EQ(workbench.reachedStep(), 0);

    // prepare clears the earlier Cancel; the derivation goes on from step 0.
    std::optional<ComputationRequest> request = workbench.prepareReinterpret(false, true);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->needsDerivation);
    EXPECT_FALSE(request->resetView);
    EXPECT_TRUE(workbench.complete(workbench.compute(*request, progress)));
    EXPECT_FALSE(workbench.pending());
    EXPECT_EQ(workbench.reachedStep(), 4);
    EXPECT_FALSE(workbench.prepareReinterpret(false, true)->needsDerivation);
    EXPECT_EQ(workbench.reachedStep(), 4);
    // A new compilation starts again at step 0, before the worker runs.
    ASSERT_TRUE(workbench.prepareRecompute(true, errors));
    EXPECT_EQ(workbench.reachedStep(), 0);
}

// A worker derives and interprets while this thread reads what the window
// shows during a run and then cancels. Built with ThreadSanitizer by
// `make tsan`.
TEST_F(WorkbenchFixture, AWorkerComputesWhileTheMainThreadReadsAndCancels) {
    load(plant("F", "FF", 24));
    std::optional<ComputationRequest> request = workbench.prepareRecompute(true, errors);
    ASSERT_TRUE(request);
    SilentProgress progress;
    ComputationOutcome outcome;
    std::thread worker([&] { outcome = workbench.compute(*request, progress); });
    String2IDManager& registry = String2IDManager::instance();
    std::size_t reads = 0;
    do {
        reads += registry.getName(8).size() + (registry.hasName("F") ? 1 : 0) + workbench.statistics().items().size();
        std::this_thread::yield();
    } while (workbench.reachedStep() < 3);
    workbench.cancel();
    worker.join();
    EXPECT_GT(reads, 0u);
    EXPECT_TRUE(workbench.complete(std::move(outcome)));
    EXPECT_TRUE(workbench.pending());
    EXPECT_GE(workbench.reachedStep(), 3);
    EXPECT_LT(workbench.reachedStep(), 24);
}

} // namespace

// What the interpretation left out reaches the user as one warning, the
// result all the same; a later clean run warns no more.
TEST_F(WorkbenchFixture, LeftOutShapesAreReportedAsOneWarning) {
    load("Axiom:F(1/0)+(0/0)F(0/0)F\n");
    EXPECT_TRUE(workbench.recompute(errors)) << messages.str();
    ASSERT_EQ(recorder.warnings.size(), 1u);
    EXPECT_EQ(recorder.warnings[0].first, "Warning(s) on computation");
    EXPECT_EQ(recorder.warnings[0].second,
              "Warnings: \n Symbol 'F' reaches a length, width or position that is not a finite number; those "
              "shapes are not drawn.\n Symbol '+' has an angle that is not a finite number; those turns are not "
              "made.");

    load("Axiom:F+F\n");
    EXPECT_TRUE(workbench.recompute(errors));
    EXPECT_EQ(recorder.warnings.size(), 1u);
}

// The quadratic Koch island seen from the front is a closed outline of
// 4 x 8^3 edges at right angles: the drawing holds one stroke an edge in
// its colour, each horizontal or vertical, inside the drawing, and every
// end meets exactly one other stroke's end, so that a plotter can follow it.
TEST_F(WorkbenchFixture, KochIslandDrawingIsAClosedOutlineOfStrokes) {
    ASSERT_TRUE(workbench.load(std::string(KLADO_SOURCE_DIR) + "/examples/koch_island.kld", errors)) << messages.str();
    ASSERT_TRUE(workbench.recompute(errors)) << messages.str();
    ASSERT_TRUE(workbench.exportImage(dir.path("island.svg"), 400, 300, 1));

    const std::string svg = dir.read("island.svg");
    EXPECT_NE(svg.find("viewBox=\"0 0 400 300\""), std::string::npos);
    EXPECT_NE(svg.find("<rect width=\"400\" height=\"300\" fill=\"#ffffff\"/>"), std::string::npos);
    const std::regex line("<line x1=\"([^\"]+)\" y1=\"([^\"]+)\" x2=\"([^\"]+)\" y2=\"([^\"]+)\" stroke=\"#1030a0\" "
                          "stroke-width=\"1\"/>");
    std::map<std::pair<long, long>, int> ends;
    std::size_t strokes = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), line); it != std::sregex_iterator(); ++it, ++strokes) {
        const double x1 = std::stod((*it)[1]), y1 = std::stod((*it)[2]), x2 = std::stod((*it)[3]),
                     y2 = std::stod((*it)[4]);
        EXPECT_TRUE(std::fabs(x1 - x2) < 1e-3 || std::fabs(y1 - y2) < 1e-3);
        for (double v : {x1, x2}) EXPECT_TRUE(v > 0 && v < 400);
        for (double v : {y1, y2}) EXPECT_TRUE(v > 0 && v < 300);
        ++ends[{std::lround(x1 * 100), std::lround(y1 * 100)}];
        ++ends[{std::lround(x2 * 100), std::lround(y2 * 100)}];
    }
    EXPECT_EQ(4u * 8 * 8 * 8, strokes);
    EXPECT_EQ(strokes, ends.size());
    for (const auto& end : ends) EXPECT_EQ(2, end.second);
    EXPECT_EQ(std::string::npos, svg.find("<path")) << "only strokes";
}
