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

// Cancels once the given step has begun.
class CancellingProgress : public SilentProgress {
public:
    explicit CancellingProgress(int atStep) : myAtStep(atStep) {}
    void setStep(int step) override { myStep = step; }
    bool wasCancelled() override { return myStep >= myAtStep; }

private:
    int myAtStep;
    int myStep = 0;
};

struct RunFixture : ::testing::Test {
    ComputationRun run;
    TextTree statistics;

    void compute(LSystem& lsystem, const LSystemDefinition& definition, ComputationProgress& progress,
                 bool computeOnChange = true) {
        run.needsDerivation = true;
        run.force = true;
        run.run(lsystem, definition, computeOnChange, progress, statistics);
    }
};

TEST_F(RunFixture, ResultIsTheInterpretedStringTurnedUpright) {
    const LSystemDefinition definition = plant("F", "F[+F]F", 3);
    std::unique_ptr<LSystem> lsystem = build(definition);
    SilentProgress progress;
    compute(*lsystem, definition, progress);
    EXPECT_TRUE(run.errorTitle.empty()) << run.errorText;
    ASSERT_TRUE(run.result.valid());
    EXPECT_EQ(run.reachedStep, 3);
    EXPECT_FALSE(run.pending);
    EXPECT_FALSE(run.needsDerivation);
    // The turtle grows along +y; upright, the model stands along +z.
    const osg::BoundingSphere bound = run.result->getBound();
    EXPECT_GT(bound.center().z(), 1.0);
    EXPECT_NEAR(bound.center().y(), 0.0, 1e-6);
}

TEST_F(RunFixture, CancelDuringAStepKeepsTheStepsBeforeAndMarksThePictureOutOfDate) {
    const LSystemDefinition definition = plant("F", "FF", 5);
    std::unique_ptr<LSystem> lsystem = build(definition);
    CancellingProgress progress(3);
    compute(*lsystem, definition, progress);
    EXPECT_TRUE(run.errorTitle.empty());
    EXPECT_EQ(run.reachedStep, 2);
    EXPECT_EQ(lsystem->getHistorySize(), 2u);
    EXPECT_TRUE(run.pending);
    EXPECT_FALSE(run.result.valid());
}

TEST_F(RunFixture, WithoutComputeOnChangeOnlyADerivationIsDoneUnlessForced) {
    const LSystemDefinition definition = plant("F", "FF", 2);
    std::unique_ptr<LSystem> lsystem = build(definition);
    SilentProgress progress;
    run.needsDerivation = true;
    run.force = false;
    run.run(*lsystem, definition, false, progress, statistics);
    EXPECT_EQ(run.reachedStep, 2);
    EXPECT_TRUE(run.pending);
    EXPECT_FALSE(run.result.valid());
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
        compute(*lsystem, definition, progress);
        EXPECT_EQ(run.errorTitle, c.title) << c.axiom << " " << c.successor;
        if (!c.text.empty())
            EXPECT_EQ(run.errorText, c.text);
        else
            EXPECT_NE(run.errorText.find("unknownName"), std::string::npos) << run.errorText;
        EXPECT_FALSE(run.result.valid());
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
        compute(*lsystem, definition, progress);
        EXPECT_EQ(run.errorTitle, "Definition error") << key;
        EXPECT_EQ(run.errorText, text) << key;
    }
}

} // namespace
