#include <gtest/gtest.h>

#include <muParser.h>
#include <sstream>

#include "diagnostics/Exceptions.h"
#include "lsys/LSystem.h"

namespace {

class EngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { String2IDManager::instance().registerBuiltins(); }

    static std::int32_t id(const std::string& name) { return String2IDManager::instance().getID(name); }

    // A definition of the axiom and rules "predecessor -> successor" without
    // contexts or conditions.
    static LSystemDefinition definitionOf(const std::string& axiom,
                                          std::initializer_list<std::pair<const char*, const char*>> rules,
                                          float probability = 1.0f) {
        LSystemDefinition definition;
        definition.setAxiom(axiom);
        for (const auto& [predecessor, successor] : rules)
            definition.addRule(probability, "", "", predecessor, "", successor);
        return definition;
    }

    std::unique_ptr<LSystem> build(const LSystemDefinition& definition) {
        return buildLSystem(definition, String2IDManager::instance(), errors);
    }

    static std::string derive(LSystem& system, int steps) {
        std::ostringstream out;
        out << *system.getStep(steps, nullptr);
        return out.str();
    }

    static double stepValue(const LSystem& system) { return system.getVariable("_step").evaluate(VariableValueMap()); }

    // The steps kept, "_step" and the step reached: all n when the system
    // stands at step n.
    static std::vector<double> standing(const LSystem& system) {
        return {double(system.getHistorySize()), stepValue(system), double(system.getReachedStep())};
    }
    static std::vector<double> at(int step) { return {double(step), double(step), double(step)}; }

    tov::StoringErrorHandler errors;
};

// Cancels at the given poll (counted from 1); records every progress report.
struct CancelAt : ProgressRetriever {
    explicit CancelAt(int poll) : poll(poll) {}
    void setProgress(int percent) override { reports.push_back(percent); }
    bool wasCancelled() override { return --poll == 0; }
    int poll;
    std::vector<int> reports;
};

// The window's constants table refuses a value that this refuses.
TEST_F(EngineTest, SpecialVariablesTakeNumbersOnly) {
    LSystemDefinition definition;
    definition.addConstant("_steps", "7,5");
    EXPECT_THROW(definition.addConstant("_steps", "seven"), NumberFormatException);
    EXPECT_THROW(definition.addConstant("_seed", ""), EmptyData);
    EXPECT_EQ(definition.getConstants().at("_steps").value, "7,5");
    EXPECT_EQ(definition.getConstants().at("_seed").value, "42");
    definition.addConstant("steps", "seven"); // not reserved
}

// The axiom sees a constant unrounded, a successor rounded to three places.
TEST_F(EngineTest, ConstantsResolveInAnyOrderAndSuccessorsSeeThemRounded) {
    LSystemDefinition definition = definitionOf("A(c,x)", {{"A(v,w)", "B(v,c,w+y)"}});
    definition.addConstant("c", "1/3");
    definition.addConstant("x", "y*2");
    definition.addConstant("y", "3");
    auto system = build(definition);
    ASSERT_TRUE(system);
    EXPECT_FALSE(errors.hasMessages());
    const AtomString& step = *system->getStep(1, nullptr);
    EXPECT_EQ(step.getValue(0, 0), 1.0 / 3.0);
    EXPECT_EQ(step.getValue(0, 1), 0.333);
    EXPECT_EQ(step.getValue(0, 2), 9.0);
}

// Unreadable texts are named, and constants that wait for each other each
// circle once; neither gives a system.
TEST_F(EngineTest, UnreadableTextsAndCyclicConstantsAreNamed) {
    LSystemDefinition cyclic = definitionOf("C(a)", {});
    cyclic.addConstant("b", "a+1");
    cyclic.addConstant("a", "b*2");
    cyclic.addConstant("self", "self");
    cyclic.addConstant("later", "a+u"); // waits for the circle, is no part of it
    cyclic.addConstant("u", "unknown");
    const std::pair<LSystemDefinition, std::vector<std::string>> cases[] = {
        {cyclic,
         {"The constants a, b depend on each other.", "The constant self depends on itself.",
          "Error on parsing axiom 'C(a)'.\n Position 1.\n Reason: a"}},
        {definitionOf("A(1,(2", {{"A", "B(x"}, {"C(x", "D"}}),
         {"Error on parsing axiom 'A(1,(2'.\n Position 1.\n Reason: Bracket starting at position 1 or 4 was not "
          "closed.",
          "Error on parsing conclusion 'B(x'.\n Position 1.\n Reason: Bracket starting at position 1 or 1 was not "
          "closed.",
          "Error on parsing predecessor 'C(x'.\n Position 1.\n Reason: Missing closing bracket (starting at 1)"}},
        {definitionOf("F A(q)", {}), {"Error on parsing axiom 'F A(q)'.\n Position 3.\n Reason: q"}},
    };
    for (const auto& [definition, expected] : cases) {
        SCOPED_TRACE(definition.getAxiom());
        errors.clear();
        EXPECT_FALSE(build(definition));
        std::vector<std::string> messages;
        while (const auto* record = errors.next()) messages.push_back(record->message());
        EXPECT_EQ(messages, expected);
    }
}

TEST_F(EngineTest, EmptyOrBlankPredecessorLeavesTheSystemWithoutRules) {
    for (const char* predecessor : {"", "  "}) {
        auto system = build(definitionOf("AB", {{"A", "X"}, {predecessor, "Y"}}));
        ASSERT_TRUE(system);
        EXPECT_EQ(system->getRules(), nullptr);
        EXPECT_EQ(derive(*system, 2), "AB");
        EXPECT_EQ(stepValue(*system), 2.0);
    }
}

TEST_F(EngineTest, MultiCharacterModeAndIgnoreEntriesTakenWhole) {
    LSystemDefinition definition = definitionOf("FF", {});
    definition.addIgnored("ab");
    auto system = build(definition);
    EXPECT_TRUE(system->isIgnored(id("ab")));
    EXPECT_FALSE(system->isIgnored(id("a")));

    definition.addConstant("_multichar", "1");
    definition.setAxiom("Leaf[+Leaf] FF(2)");
    definition.addRule(1.0f, "", "", "Leaf", "", "FF(1)");
    system = build(definition);
    EXPECT_EQ(system->getAxiom().getID(5), id("FF"));
    EXPECT_TRUE(system->isIgnored(id("ab")));
    EXPECT_EQ(derive(*system, 1), "FF(1)[+FF(1)]FF(2)");
}

TEST_F(EngineTest, StepsRewriteInParallelAndCountInStep) {
    auto system = build(definitionOf("A(1)", {{"A(x)", "A(x+1)B(x*2)"}}));
    EXPECT_EQ(system->getStep(0, nullptr), &system->getAxiom()); // _steps 0: the axiom itself
    EXPECT_EQ(derive(*system, 3), "A(4)B(6)B(4)B(2)");
    EXPECT_EQ(standing(*system), at(3));
    EXPECT_EQ(system->getVariable("_step").getText(), "3.000");
    EXPECT_EQ(derive(*system, 1), "A(2)B(2)");

    system->reset();
    EXPECT_EQ(standing(*system), at(0));
    EXPECT_THROW(system->getVariable("nothing"), mu::ParserError);
}

TEST_F(EngineTest, MultiAtomPredecessorsAndContextsThroughTheEngine) {
    EXPECT_EQ(derive(*build(definitionOf("ABBAB", {{"AB", "X"}, {"B", "Y"}})), 1), "XYX");

    LSystemDefinition definition = definitionOf("aB+B[-B]B", {{"a", "B"}});
    definition.addRule(1.0f, "a", "", "B", "", "a");
    definition.addIgnored("+");
    definition.addIgnored("-");
    auto system = build(definition);
    EXPECT_EQ(derive(*system, 1), "Ba+B[-B]B");
    EXPECT_EQ(derive(*system, 2), "BB+a[-B]B");
    EXPECT_EQ(derive(*system, 3), "BB+B[-a]a");
}

TEST_F(EngineTest, SeedReproducesStochasticChoices) {
    LSystemDefinition definition = definitionOf("F", {{"F", "F[+F]"}, {"F", "F[-F]"}}, 0.5f);
    const std::string first = derive(*build(definition), 6);
    EXPECT_EQ(derive(*build(definition), 6), first);

    definition.removeConstant("_seed"); // without a seed, 42 is used
    EXPECT_EQ(derive(*build(definition), 6), first);

    definition.addConstant("_seed", "7");
    auto system = build(definition);
    const std::string other = derive(*system, 6);
    EXPECT_NE(other, first);
    system->reset();
    EXPECT_EQ(derive(*system, 6), other);
}

TEST_F(EngineTest, CancellationLeavesTheSystemAsBeforeTheStep) {
    const LSystemDefinition definition = definitionOf("F", {{"F", "F[+F]F"}, {"F", "F[-F]"}}, 0.5f);
    const std::string uninterrupted = derive(*build(definition), 5);

    auto system = build(definition);
    ASSERT_GT(system->getStep(3, nullptr)->length(), 20u);
    CancelAt cancel(2); // the second poll: at atom 20 of step 4
    EXPECT_EQ(system->getStep(5, &cancel), nullptr);
    EXPECT_EQ(standing(*system), at(3));
    EXPECT_EQ(cancel.reports, std::vector<int>{0});
    // Going on from there gives what an uninterrupted run gives.
    EXPECT_EQ(derive(*system, 5), uninterrupted);

    // Polls come every 20 atoms even when rules consume several: 61 atoms,
    // the odd positions consumed in pairs.
    std::string axiom = "C";
    for (int k = 0; k < 30; ++k) axiom += "AB";
    system = build(definitionOf(axiom, {{"AB", "X"}}));
    CancelAt never(0);
    ASSERT_TRUE(system->doStep(&never));
    EXPECT_EQ(never.reports, (std::vector<int>{0, 34, 67})); // at atoms 0, 21, 41
    CancelAt third(3);
    system->reset();
    EXPECT_FALSE(system->doStep(&third));
    EXPECT_EQ(system->getHistorySize(), 0u);
}

TEST_F(EngineTest, FailedStepLeavesTheSystemAsBeforeTheStep) {
    LSystemDefinition definition = definitionOf("A(1)", {});
    definition.addRule(1.0f, "", "", "A(x)", "x<2", "A(x+1)");
    definition.addRule(1.0f, "", "", "A(x)", "x>=2", "A(unknown)");
    auto system = build(definition);
    EXPECT_EQ(derive(*system, 1), "A(2)");
    EXPECT_THROW(system->doStep(nullptr), mu::ParserError);
    EXPECT_EQ(standing(*system), at(1));

    system = build(definitionOf("A", {{"A", "B(1+)"}}));
    EXPECT_THROW(system->doStep(nullptr), mu::ParserError);
    EXPECT_EQ(standing(*system), at(0));
}

TEST_F(EngineTest, StepPastTheAtomLimitStopsAndLeavesTheSystemAsBefore) {
    auto system = build(definitionOf("F", {{"F", "FFFFFFFFFF"}}));
    system->setAtomLimit(1000);
    EXPECT_EQ(system->getStep(3, nullptr)->length(), 1000u); // exactly at the limit
    try {
        system->doStep(nullptr);
        FAIL() << "no growth limit";
    } catch (const LSystem::GrowthLimitException& limit) {
        EXPECT_EQ(limit.step(), 4);
        EXPECT_EQ(limit.limit(), 1000u);
        EXPECT_EQ(limit.projected(), 10000u);
    }
    EXPECT_EQ(standing(*system), at(3));
    // A string that does not grow never reaches it.
    system = build(definitionOf("FF", {{"F", "F"}}));
    system->setAtomLimit(2);
    EXPECT_EQ(derive(*system, 50), "FF");
}

} // namespace
