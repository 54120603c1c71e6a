#include "workbench/ComputationRun.h"

#include "diagnostics/ErrorHandler.h"
#include "lsys/String2IDManager.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::unique_ptr<LSystem> build(const LSystemDefinition& definition) {
    String2IDManager::instance().registerBuiltins();
    std::ostringstream messages;
    tov::ReportingErrorHandler handler(messages);
    std::unique_ptr<LSystem> lsystem = buildLSystem(definition, String2IDManager::instance(), handler);
    EXPECT_FALSE(handler.hasErrors()) << messages.str();
    return lsystem;
}

LSystemDefinition plant(const std::string& axiom, const std::string& successor, int steps) {
    LSystemDefinition definition;
    definition.setAxiom(axiom);
    definition.addRule(1.0f, "", "", "F", "", successor);
    definition.addConstant("_steps", std::to_string(steps));
    return definition;
}

// Cancels the run once the given step has begun, as the dialog's Cancel does.
class CancellingProgress : public SilentProgress {
public:
    CancellingProgress(ComputationRun& run, int atStep) : myRun(run), myAtStep(atStep) {}
    void setStep(int step) override {
        if (step >= myAtStep) myRun.cancel();
    }

private:
    ComputationRun& myRun;
    int myAtStep;
};

struct RunFixture : ::testing::Test {
    ComputationRun run;

    ComputationOutcome compute(LSystem& lsystem, const LSystemDefinition& definition, ComputationProgress& progress,
                               bool force = true, bool computeOnChange = true) {
        ComputationRequest request;
        request.needsDerivation = true;
        request.force = force;
        request.computeOnChange = computeOnChange;
        run.prepare(0);
        return run.run(request, lsystem, definition, progress);
    }
};

TEST_F(RunFixture, ResultIsTheInterpretedStringTurnedUpright) {
    const LSystemDefinition definition = plant("F", "F[+F]F", 3);
    std::unique_ptr<LSystem> lsystem = build(definition);
    SilentProgress progress;
    const ComputationOutcome outcome = compute(*lsystem, definition, progress);
    EXPECT_TRUE(outcome.errorTitle.empty()) << outcome.errorText;
    ASSERT_TRUE(outcome.result.valid());
    EXPECT_EQ(outcome.reachedStep, 3);
    EXPECT_EQ(run.reachedStep(), 3);
    EXPECT_FALSE(outcome.pending);
    EXPECT_FALSE(outcome.needsDerivation);
    EXPECT_FALSE(outcome.statistics.items().empty());
    // The turtle grows along +y; upright, the model stands along +z.
    const osg::BoundingSphere bound = outcome.result->getBound();
    EXPECT_GT(bound.center().z(), 1.0);
    EXPECT_NEAR(bound.center().y(), 0.0, 1e-6);
}

TEST_F(RunFixture, CancelDuringAStepKeepsTheStepsBeforeAndMarksThePictureOutOfDate) {
    const LSystemDefinition definition = plant("F", "FF", 5);
    std::unique_ptr<LSystem> lsystem = build(definition);
    CancellingProgress progress(run, 3);
    const ComputationOutcome outcome = compute(*lsystem, definition, progress);
    EXPECT_TRUE(outcome.errorTitle.empty());
    EXPECT_EQ(outcome.reachedStep, 2);
    EXPECT_EQ(lsystem->getHistorySize(), 2u);
    EXPECT_TRUE(outcome.pending);
    EXPECT_TRUE(outcome.needsDerivation);
    EXPECT_FALSE(outcome.result.valid());
}

TEST_F(RunFixture, CancelBeforeTheRunBeginsIsNotLost) {
    const LSystemDefinition definition = plant("F", "FF", 3);
    std::unique_ptr<LSystem> lsystem = build(definition);
    SilentProgress progress;
    ComputationRequest request;
    request.needsDerivation = true;
    request.force = true;
    run.prepare(0);
    run.cancel(); // pressed while the worker is still starting
    const ComputationOutcome outcome = run.run(request, *lsystem, definition, progress);
    EXPECT_EQ(outcome.reachedStep, 0);
    EXPECT_TRUE(outcome.pending);
    EXPECT_FALSE(outcome.result.valid());
}

TEST_F(RunFixture, ZeroStepsInterpretsTheAxiom) {
    const LSystemDefinition definition = plant("F", "FF", 0);
    std::unique_ptr<LSystem> lsystem = build(definition);
    SilentProgress progress;
    const ComputationOutcome outcome = compute(*lsystem, definition, progress);
    EXPECT_TRUE(outcome.errorTitle.empty()) << outcome.errorText;
    EXPECT_EQ(outcome.reachedStep, 0);
    EXPECT_EQ(lsystem->getHistorySize(), 0u);
    EXPECT_TRUE(outcome.result.valid());
    EXPECT_FALSE(outcome.pending);
}

TEST_F(RunFixture, WithoutComputeOnChangeOnlyADerivationIsDoneUnlessForced) {
    const LSystemDefinition definition = plant("F", "FF", 2);
    std::unique_ptr<LSystem> lsystem = build(definition);
    SilentProgress progress;
    const ComputationOutcome outcome = compute(*lsystem, definition, progress, false, false);
    EXPECT_EQ(outcome.reachedStep, 2);
    EXPECT_TRUE(outcome.pending);
    EXPECT_FALSE(outcome.result.valid());
}

TEST_F(RunFixture, ErrorsBecomeTitleAndText) {
    struct Case {
        std::string axiom;
        std::string successor;
        std::string title;
        std::string text;
    };
    const Case cases[] = {
        {"F", "F(unknownName)", "Definition error", ""},
        {"F}", "F", "Definition error", "A polygon was tried to be closed, but no one was opened before."},
        {"F]", "F", "Definition error", "A stack state was tried to be popped, but none has been pushed before."},
    };
    for (const Case& c : cases) {
        const LSystemDefinition definition = plant(c.axiom, c.successor, 1);
        std::unique_ptr<LSystem> lsystem = build(definition);
        SilentProgress progress;
        const ComputationOutcome outcome = compute(*lsystem, definition, progress);
        EXPECT_EQ(outcome.errorTitle, c.title) << c.axiom << " " << c.successor;
        if (!c.text.empty())
            EXPECT_EQ(outcome.errorText, c.text);
        else
            EXPECT_NE(outcome.errorText.find("unknownName"), std::string::npos) << outcome.errorText;
        EXPECT_FALSE(outcome.result.valid());
    }
}

TEST_F(RunFixture, BadTweaksAreDefinitionErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"tropism.strength", "A value assumed to be numeric is not."},
        {"tropism.direction", "Parameter 'tropism.direction' has a false number of entries."},
    };
    for (const auto& [key, text] : cases) {
        LSystemDefinition definition = plant("F", "F", 1);
        definition.setTweak(key, "(0,x)");
        std::unique_ptr<LSystem> lsystem = build(definition);
        SilentProgress progress;
        const ComputationOutcome outcome = compute(*lsystem, definition, progress);
        EXPECT_EQ(outcome.errorTitle, "Definition error") << key;
        EXPECT_EQ(outcome.errorText, text) << key;
    }
}

} // namespace
