#include "workbench/ComputationRun.h"

#include "diagnostics/ErrorHandler.h"
#include "lsys/String2IDManager.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

LSystemDefinition plant(const std::string& axiom, const std::string& successor, int steps) {
    LSystemDefinition definition;
    definition.setAxiom(axiom);
    definition.addRule(1.0f, "", "", "F", "", successor);
    definition.addConstant("_steps", std::to_string(steps));
    return definition;
}

// Cancels the run once the given step has begun, as the dialog's Cancel does.
struct CancellingProgress : SilentProgress {
    ComputationRun& run;
    int atStep;
    CancellingProgress(ComputationRun& r, int step) : run(r), atStep(step) {}
    void setStep(int step) override {
        if (step >= atStep) run.cancel();
    }
};

struct RunFixture : ::testing::Test {
    ComputationRun run;
    std::unique_ptr<LSystem> lsystem;

    // Builds the system of the definition and runs it.
    ComputationOutcome compute(const LSystemDefinition& definition, ComputationProgress& progress,
                               bool computeOnChange = true, bool cancelFirst = false) {
        String2IDManager::instance().registerBuiltins();
        std::ostringstream messages;
        tov::ReportingErrorHandler handler(messages);
        lsystem = buildLSystem(definition, String2IDManager::instance(), handler);
        EXPECT_FALSE(handler.hasErrors()) << messages.str();
        ComputationRequest request;
        request.needsDerivation = true;
        request.force = request.computeOnChange = computeOnChange;
        run.prepare();
        if (cancelFirst) run.cancel(); // pressed while the worker is still starting
        return run.run(request, *lsystem, definition, progress);
    }
};

// A finished run's result is the interpreted string turned upright; a
// cancelled run keeps the steps derived before it and marks the picture out
// of date.
TEST_F(RunFixture, FinishedAndCancelledRunsZeroStepsAndDerivationsAlone) {
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
        const LSystemDefinition definition = plant("F", "FF", c.steps);
        CancellingProgress progress(run, c.cancelAtStep > 0 ? c.cancelAtStep : 1000);
        const ComputationOutcome outcome = compute(definition, progress, c.computeOnChange, c.cancelAtStep == 0);
        EXPECT_TRUE(outcome.errorTitle.empty()) << outcome.errorText;
        EXPECT_EQ(outcome.reachedStep, c.reached);
        EXPECT_EQ(lsystem->getHistorySize(), static_cast<std::size_t>(c.reached));
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

TEST_F(RunFixture, ErrorsBecomeTitleAndText) {
    const struct {
        const char* axiom;
        const char* successor;
        const char* tweak;
        std::string text;
    } cases[] = {
        {"F", "F(unknownName)", "", "unknownName"},
        {"F}", "F", "", "A polygon was tried to be closed, but no one was opened before. (atom 2 of 2: F >>}<<)"},
        {"F]", "F", "",
         "A stack state was tried to be popped, but none has been pushed before. (atom 2 of 2: F >>]<<)"},
        {"F", "F", "tropism.strength", "A value assumed to be numeric is not."},
        {"F", "F", "tropism.direction", "Parameter 'tropism.direction' has a false number of entries."},
    };
    for (const auto& c : cases) {
        LSystemDefinition definition = plant(c.axiom, c.successor, 1);
        if (*c.tweak) definition.setTweak(c.tweak, "(0,x)");
        SilentProgress progress;
        const ComputationOutcome outcome = compute(definition, progress);
        EXPECT_EQ(outcome.errorTitle, "Definition error") << c.text;
        EXPECT_EQ(outcome.errorText, c.text);
        EXPECT_FALSE(outcome.result.valid());
    }
}

} // namespace
