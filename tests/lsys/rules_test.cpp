#include <gtest/gtest.h>

#include <muParser.h>
#include <sstream>

#include "lsys/LSParseHelper.h"
#include "lsys/RuleSet.h"

namespace {

// Symbols are single characters; strings and patterns are read from text.
class RulesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        String2IDManager& registry = String2IDManager::instance();
        for (const char* c = builtinAlphabet; *c != '\0'; ++c) registry.getID(std::string(1, *c));
        if (registry.getNextID() < firstUserSymbolID) registry.setNextID(firstUserSymbolID);
    }

    static std::int32_t id(const std::string& name) { return String2IDManager::instance().getID(name); }
    static PatternString pattern(const std::string& text) {
        return LSParseHelper::readPattern(text, String2IDManager::instance(), false);
    }
    static AtomString string(const std::string& text) {
        return LSParseHelper::readAxiom(text, String2IDManager::instance(), false, VariableValueMap());
    }
    static std::optional<PatternString> optionalPattern(const std::string& text) {
        if (text.empty()) return std::nullopt;
        return pattern(text);
    }

    static CompiledRuleRow row(const std::string& left, const std::string& predecessor, const std::string& right,
                               const std::string& condition, const std::string& successor,
                               float probability = 1.0f) {
        CompiledRuleRow row;
        row.probability = probability;
        row.leftContext = optionalPattern(left);
        row.predecessor = optionalPattern(predecessor);
        row.rightContext = optionalPattern(right);
        if (!condition.empty()) row.condition.emplace(condition);
        row.successor = LSParseHelper::readSuccessor(successor, String2IDManager::instance(), false);
        return row;
    }

    // What the rule set makes of position i: the produced atoms, or "-" when
    // no rule applies.
    std::string applyAt(const RuleSet& rules, const std::string& text, std::size_t i,
                        const VariableValueMap& constants = VariableValueMap()) {
        AtomString produced;
        const RuleMatch match = rules.apply(constants, string(text), i, ignored, random, produced);
        if (!match.matched) return "-";
        std::ostringstream out;
        out << produced;
        return out.str();
    }

    SymbolIDSet ignored;
    RandomGenerator random{42u};
};

// ---------------------------------------------------------------- building

TEST_F(RulesTest, LongerPatternsAreTriedFirstAndTheFirstMatchWins) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("", "B", "", "", "X"));
    rows.push_back(row("A", "B", "C", "", "Y"));
    const auto rules = RuleSet::build(std::move(rows));
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 2u);
    EXPECT_EQ((*rules)[0].getTotalPatternLength(), 3u);
    EXPECT_EQ(applyAt(*rules, "ABC", 1), "Y");
    EXPECT_EQ(applyAt(*rules, "DBC", 1), "X");
    EXPECT_EQ(applyAt(*rules, "ABC", 0), "-");
}

TEST_F(RulesTest, SortKeepsBuildOrderAmongEqualLengthsEvenForManyRules) {
    std::vector<CompiledRuleRow> rows;
    for (int k = 0; k < 40; ++k) rows.push_back(row("", "A(x)", "", "x>" + std::to_string(k), "X"));
    rows.push_back(row("L", "A", "", "", "Y"));
    const auto rules = RuleSet::build(std::move(rows));
    ASSERT_EQ(rules->size(), 41u);
    EXPECT_EQ((*rules)[0].getTotalPatternLength(), 2u);
    for (int k = 0; k < 40; ++k) EXPECT_EQ((*rules)[k + 1].getCondition()->getText(), "x>" + std::to_string(k));
}

TEST_F(RulesTest, RowsDifferingOnlyInProbabilityAndSuccessorMerge) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("", "A(x)", "", "x>1", "B", 0.25f));
    rows.push_back(row("", "C", "", "", "D"));
    rows.push_back(row("", "A(x)", "", "x>1", "E", 0.75f));
    rows.push_back(row("", "A(x)", "", "x>2", "F", 0.5f));
    rows.push_back(row("", "A(y)", "", "x>1", "G", 0.5f));
    const auto rules = RuleSet::build(std::move(rows));
    ASSERT_EQ(rules->size(), 4u);
    const Rule& merged = (*rules)[0];
    ASSERT_EQ(merged.getAlternativesCount(), 2u);
    EXPECT_EQ(merged.getProbability(0), 0.25);
    EXPECT_EQ(merged.getProbability(1), 0.75);
    EXPECT_EQ(merged.getSuccessor(1)[0].getID(), id("E"));
    EXPECT_EQ((*rules)[1].getPredecessor()[0].getID(), id("C"));
    EXPECT_EQ((*rules)[1].getAlternativesCount(), 1u);
    EXPECT_EQ((*rules)[1].getProbability(0), 1.0);
    EXPECT_EQ((*rules)[2].getCondition()->getText(), "x>2");
    EXPECT_EQ((*rules)[3].getParameterNames(), std::vector<std::string>{"y"});
}

TEST_F(RulesTest, ARowWithoutPredecessorGivesNoRuleSet) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("", "A", "", "", "B"));
    rows.push_back(row("", "", "", "", "C"));
    EXPECT_FALSE(RuleSet::build(std::move(rows)));
}

TEST_F(RulesTest, CopiesAreDeepAndIndependent) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("", "A(x)", "", "x>0", "B(x*2)"));
    rows.push_back(row("", "[", "", "", "Q"));
    auto rules = RuleSet::build(std::move(rows));
    const RuleSet copy(*rules);
    rules.reset();
    EXPECT_EQ(applyAt(copy, "A(2)", 0), "B(4)");
    EXPECT_EQ(applyAt(copy, "A(0)", 0), "-");
    // A bracket-led predecessor searches forward for its bracket.
    EXPECT_EQ(applyAt(copy, "Z[", 0), "Q");
}

// ---------------------------------------------------------------- contexts

TEST_F(RulesTest, LeftContextSkipsBranchesAndPassesOpeningBrackets) {
    const AtomString skipped = string("A[X]B");
    EXPECT_TRUE(Rule::matchLeftContext(pattern("A"), skipped, 4, ignored));
    EXPECT_FALSE(Rule::matchLeftContext(pattern("X"), skipped, 4, ignored));
    const AtomString inside = string("A[B]");
    EXPECT_TRUE(Rule::matchLeftContext(pattern("A"), inside, 2, ignored));
    const AtomString nested = string("AC[X[Y]Z]B");
    EXPECT_TRUE(Rule::matchLeftContext(pattern("AC"), nested, 9, ignored));
    EXPECT_FALSE(Rule::matchLeftContext(pattern("A"), string("B"), 0, ignored));
}

TEST_F(RulesTest, RightContextSkipsBranchesOrMatchesThemExplicitly) {
    const AtomString text = string("A[X]B");
    EXPECT_TRUE(Rule::matchRightContext(pattern("B"), text, 1, ignored));
    EXPECT_TRUE(Rule::matchRightContext(pattern("[X]"), text, 1, ignored));
    EXPECT_TRUE(Rule::matchRightContext(pattern("[X]B"), text, 1, ignored));
    EXPECT_FALSE(Rule::matchRightContext(pattern("X"), text, 1, ignored));
    // "]" in a pattern closes the current branch.
    EXPECT_TRUE(Rule::matchRightContext(pattern("]D"), string("A[BC]D"), 3, ignored));
    // Running past the end simply fails.
    EXPECT_FALSE(Rule::matchRightContext(pattern("BC"), string("AB"), 1, ignored));
    EXPECT_FALSE(Rule::matchRightContext(pattern("B"), string("A[B"), 1, ignored));
}

TEST_F(RulesTest, IgnoredSymbolsArePassedOverInBothDirections) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("A", "B", "C", "", "X"));
    const auto rules = RuleSet::build(std::move(rows));
    EXPECT_EQ(applyAt(*rules, "A+B-C", 2), "-");
    ignored = {id("+"), id("-")};
    EXPECT_EQ(applyAt(*rules, "A+B-C", 2), "X");
    EXPECT_EQ(applyAt(*rules, "A+-B--C", 3), "X");
    // An ignored pattern atom may be matched or left out.
    EXPECT_TRUE(Rule::matchLeftContext(pattern("A+"), string("AB"), 1, ignored));
    EXPECT_TRUE(Rule::matchLeftContext(pattern("A+"), string("A+B"), 2, ignored));
}

TEST_F(RulesTest, PredecessorMustStartAtItsFirstAtom) {
    ignored = {id("+")};
    std::size_t pos = 0;
    EXPECT_FALSE(Rule::matchPredecessor(pattern("AB"), string("+AB"), pos, ignored));
    pos = 0;
    EXPECT_TRUE(Rule::matchPredecessor(pattern("AB"), string("A+B"), pos, ignored));
    EXPECT_EQ(pos, 3u);
    pos = 0;
    EXPECT_FALSE(Rule::matchPredecessor(pattern("AB"), string("A"), pos, ignored));
}

// ---------------------------------------------------------------- binding

TEST_F(RulesTest, ParametersBindAtPlainOffsetsAroundThePosition) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("A(a)", "B(b)", "C(c)", "a+b+c==6", "X(a,b,c)"));
    const auto rules = RuleSet::build(std::move(rows));
    EXPECT_EQ(applyAt(*rules, "A(1)B(2)C(3)", 1), "X(1,2,3)");
    EXPECT_EQ(applyAt(*rules, "A(1)B(2)C(4)", 1), "-");
    // The contexts match across an ignored "+", but binding takes the atom
    // right before the predecessor, which has no value for a.
    ignored = {id("+")};
    EXPECT_THROW(applyAt(*rules, "A(1)+B(2)C(3)", 2), mu::ParserError);
}

TEST_F(RulesTest, OffsetsOutsideTheStringBindNothing) {
    // The ignored I atoms of the context are matched without string atoms, so
    // the plain offsets reach before the string's start.
    ignored = {id("I")};
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("A(a)I(b)I(c)", "X(x)", "", "c==1 && x==2", "Y(c)"));
    const auto rules = RuleSet::build(std::move(rows));
    EXPECT_EQ(applyAt(*rules, "A(1)X(2)", 1), "Y(1)");
}

TEST_F(RulesTest, ConditionSeesOnlyBoundValuesAndZeroBlocks) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("", "A(x)", "", "x", "B"));
    auto rules = RuleSet::build(std::move(rows));
    EXPECT_EQ(applyAt(*rules, "A(0)", 0), "-");
    EXPECT_EQ(applyAt(*rules, "A(-1)", 0), "B");

    rows.clear();
    rows.push_back(row("", "A(x)", "", "x<k", "B"));
    rules = RuleSet::build(std::move(rows));
    VariableValueMap constants;
    constants.set("k", 5.0);
    EXPECT_THROW(applyAt(*rules, "A(1)", 0, constants), mu::ParserError);
}

TEST_F(RulesTest, SuccessorSeesBoundValuesOverwrittenByConstants) {
    std::vector<CompiledRuleRow> rows;
    rows.push_back(row("", "A(x,y)", "", "", "B(x+y,k)"));
    const auto rules = RuleSet::build(std::move(rows));
    VariableValueMap constants;
    constants.set("k", 0.5);
    EXPECT_EQ(applyAt(*rules, "A(1,2)", 0, constants), "B(3,0.5)");
    constants.set("y", 10.0);
    EXPECT_EQ(applyAt(*rules, "A(1,2)", 0, constants), "B(11,0.5)");
    // An atom with fewer values leaves names unbound.
    EXPECT_THROW(applyAt(*rules, "A", 0), mu::ParserError);
}

// ---------------------------------------------------------------- stochastic choice

TEST_F(RulesTest, StochasticChoiceComparesSinglePrecisionProbabilitiesWithR) {
    auto multiple = [&](float p1, float p2) {
        MultipleRule rule(std::nullopt, pattern("A"), std::nullopt, std::nullopt);
        rule.addAlternative({p1, LSParseHelper::readSuccessor("X", String2IDManager::instance(), false)});
        rule.addAlternative({p2, LSParseHelper::readSuccessor("Y", String2IDManager::instance(), false)});
        return rule;
    };
    const MultipleRule quarter = multiple(0.25f, 0.75f);
    EXPECT_EQ(quarter.selectSuccessor(0.2499)[0].getID(), id("X"));
    EXPECT_EQ(quarter.selectSuccessor(0.25)[0].getID(), id("Y"));  // 0.25 is not greater than 0.25
    EXPECT_EQ(multiple(0.25f, 0.25f).selectSuccessor(0.8)[0].getID(), id("X"));  // none chosen: the first
    // 0.1f is slightly above the double 0.1.
    EXPECT_EQ(multiple(0.1f, 0.9f).selectSuccessor(0.1)[0].getID(), id("X"));

    // One draw per application of a stochastic rule, none for a single rule.
    RandomGenerator a(7u), b(7u);
    quarter.chooseSuccessor(a);
    b.next32();
    EXPECT_EQ(a.next32(), b.next32());
    const SingleRule single(std::nullopt, pattern("A"), std::nullopt, std::nullopt, SuccessorString());
    single.chooseSuccessor(a);
    EXPECT_EQ(a.next32(), b.next32());
}

}  // namespace
