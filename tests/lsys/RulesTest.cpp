#include <gtest/gtest.h>

#include <muParser.h>
#include <random>
#include <sstream>
#include <thread>
#include <tuple>

#include "lsys/LSParseHelper.h"
#include "lsys/RuleSet.h"

namespace {

// Symbols are single characters; strings and patterns are read from text.
class RulesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { String2IDManager::instance().registerBuiltins(); }

    static std::int32_t id(const std::string& name) { return String2IDManager::instance().getID(name); }
    static PatternString pattern(const std::string& text) {
        return LSParseHelper::readPattern(text, String2IDManager::instance(), false);
    }
    static AtomString string(const std::string& text) {
        return LSParseHelper::readAxiom(text, String2IDManager::instance(), false, VariableValueMap());
    }
    static SuccessorString successor(const std::string& text) {
        return LSParseHelper::readSuccessor(text, String2IDManager::instance(), false);
    }

    static CompiledRuleRow row(const std::string& left, const std::string& predecessor, const std::string& right,
                               const std::string& condition, const std::string& successorText,
                               float probability = 1.0f) {
        CompiledRuleRow row;
        row.probability = probability;
        if (!left.empty()) row.leftContext = pattern(left);
        if (!predecessor.empty()) row.predecessor = pattern(predecessor);
        if (!right.empty()) row.rightContext = pattern(right);
        if (!condition.empty()) row.condition.emplace(condition);
        row.successor = successor(successorText);
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

TEST_F(RulesTest, LongerPatternsAreTriedFirstAndTheFirstMatchWins) {
    const auto rules = RuleSet::build({row("", "B", "", "", "X"), row("A", "B", "C", "", "Y")});
    ASSERT_TRUE(rules);
    EXPECT_EQ(applyAt(*rules, "ABC", 1), "Y");
    EXPECT_EQ(applyAt(*rules, "DBC", 1), "X");
    EXPECT_EQ(applyAt(*rules, "ABC", 0), "-");
    // A bracket-led predecessor searches forward for its bracket.
    EXPECT_EQ(applyAt(*RuleSet::build({row("", "[", "", "", "Q")}), "Z[", 0), "Q");

    // Among equal lengths the build order stays, even for many rules.
    std::vector<CompiledRuleRow> rows;
    for (int k = 0; k < 40; ++k) rows.push_back(row("", "A(x)", "", "x>" + std::to_string(k), "X"));
    rows.push_back(row("L", "A", "", "", "Y"));
    const auto many = RuleSet::build(std::move(rows));
    ASSERT_EQ(many->size(), 41u);
    EXPECT_EQ((*many)[0].getTotalPatternLength(), 2u);
    for (int k = 0; k < 40; ++k) EXPECT_EQ((*many)[k + 1].getCondition()->getText(), "x>" + std::to_string(k));
}

TEST_F(RulesTest, RowsDifferingOnlyInProbabilityAndSuccessorMerge) {
    const auto rules = RuleSet::build({row("", "A(x)", "", "x>1", "B", 0.25f), row("", "C", "", "", "D"),
                                       row("", "A(x)", "", "x>1", "E", 0.75f), row("", "A(x)", "", "x>2", "F", 0.5f),
                                       row("", "A(y)", "", "x>1", "G", 0.5f)});
    ASSERT_EQ(rules->size(), 4u);
    const Rule& merged = (*rules)[0];
    ASSERT_EQ(merged.getAlternativesCount(), 2u);
    EXPECT_EQ(merged.getProbability(0), 0.25);
    EXPECT_EQ(merged.getProbability(1), 0.75);
    EXPECT_EQ(merged.getSuccessor(1)[0].getID(), id("E"));
    EXPECT_EQ((*rules)[1].getPredecessor()[0].getID(), id("C"));
    EXPECT_EQ((*rules)[2].getCondition()->getText(), "x>2");
    EXPECT_EQ((*rules)[3].getParameterNames(), std::vector<std::string>{"y"});

    EXPECT_FALSE(RuleSet::build({row("", "A", "", "", "B"), row("", "", "", "", "C")})); // a row without predecessor
}

TEST_F(RulesTest, ContextsSkipBranchesAndIgnoredSymbols) {
    const auto rules = RuleSet::build({row("A", "B", "C", "", "X")});
    EXPECT_EQ(applyAt(*rules, "A+B-C", 2), "-");
    ignored = {id("+"), id("-")};
    EXPECT_EQ(applyAt(*rules, "A+B-C", 2), "X");
    EXPECT_EQ(applyAt(*rules, "A+-B--C", 3), "X");

    const struct {
        char part; // L: left context, R: right context, P: predecessor
        const char* pattern;
        const char* text;
        std::size_t position;
        bool matches;
    } cases[] = {
        // The left context skips whole branches and passes opening brackets.
        {'L', "A", "A[X]B", 4, true},
        {'L', "X", "A[X]B", 4, false},
        {'L', "A", "A[B]", 2, true},
        {'L', "AC", "AC[X[Y]Z]B", 9, true},
        {'L', "A", "B", 0, false},
        // An ignored pattern atom may be matched or left out.
        {'L', "A+", "AB", 1, true},
        {'L', "A+", "A+B", 2, true},
        // The right context skips branches or matches them explicitly; "]"
        // closes the current branch; running past the end simply fails.
        {'R', "B", "A[X]B", 1, true},
        {'R', "[X]", "A[X]B", 1, true},
        {'R', "[X]B", "A[X]B", 1, true},
        {'R', "X", "A[X]B", 1, false},
        {'R', "]D", "A[BC]D", 3, true},
        {'R', "BC", "AB", 1, false},
        {'R', "B", "A[B", 1, false},
        // The predecessor must start at its first atom and may not run past the end.
        {'P', "AB", "+AB", 0, false},
        {'P', "AB", "A", 0, false},
    };
    for (const auto& c : cases) {
        const PatternString p = pattern(c.pattern);
        const AtomString s = string(c.text);
        std::size_t position = c.position;
        const bool matched = c.part == 'L'   ? Rule::matchLeftContext(p, s, position, ignored)
                             : c.part == 'R' ? Rule::matchRightContext(p, s, position, ignored)
                                             : Rule::matchPredecessor(p, s, position, ignored);
        EXPECT_EQ(matched, c.matches) << c.part << ' ' << c.pattern << " in " << c.text;
    }
    std::size_t end = 0;
    EXPECT_TRUE(Rule::matchPredecessor(pattern("AB"), string("A+B"), end, ignored));
    EXPECT_EQ(end, 3u);
}

TEST_F(RulesTest, ParametersBindAtPlainOffsetsAroundThePosition) {
    const auto rules = RuleSet::build({row("A(a)", "B(b)", "C(c)", "a+b+c==6", "X(a,b,c)")});
    EXPECT_EQ(applyAt(*rules, "A(1)B(2)C(3)", 1), "X(1,2,3)");
    EXPECT_EQ(applyAt(*rules, "A(1)B(2)C(4)", 1), "-");
    // The contexts match across an ignored "+", but binding takes the atom
    // right before the predecessor, which has no value for a.
    ignored = {id("+")};
    EXPECT_THROW(applyAt(*rules, "A(1)+B(2)C(3)", 2), mu::ParserError);

    // The ignored I atoms of a context are matched without string atoms, so
    // the plain offsets reach before the string's start and bind nothing.
    ignored = {id("I")};
    EXPECT_EQ(applyAt(*RuleSet::build({row("A(a)I(b)I(c)", "X(x)", "", "c==1 && x==2", "Y(c)")}), "A(1)X(2)", 1),
              "Y(1)");
}

// A condition sees only the bound values (zero blocks); a successor sees
// them overwritten by the constants.
TEST_F(RulesTest, ConditionSeesBoundValuesAndSuccessorConstantsToo) {
    const auto condition = RuleSet::build({row("", "A(x)", "", "x", "B")});
    EXPECT_EQ(applyAt(*condition, "A(0)", 0), "-");
    EXPECT_EQ(applyAt(*condition, "A(-1)", 0), "B");
    VariableValueMap constants;
    constants.set("k", 0.5);
    EXPECT_THROW(applyAt(*RuleSet::build({row("", "A(x)", "", "x<k", "B")}), "A(1)", 0, constants), mu::ParserError);

    const auto successor = RuleSet::build({row("", "A(x,y)", "", "", "B(x+y,k)")});
    EXPECT_EQ(applyAt(*successor, "A(1,2)", 0, constants), "B(3,0.5)");
    constants.set("y", 10.0);
    EXPECT_EQ(applyAt(*successor, "A(1,2)", 0, constants), "B(11,0.5)");
    // An atom with fewer values leaves names unbound.
    EXPECT_THROW(applyAt(*successor, "A", 0), mu::ParserError);
}

TEST_F(RulesTest, StochasticChoiceComparesSinglePrecisionProbabilitiesWithR) {
    const auto multiple = [&](float p1, float p2) {
        MultipleRule rule(std::nullopt, pattern("A"), std::nullopt, std::nullopt);
        rule.addAlternative({p1, successor("X")});
        rule.addAlternative({p2, successor("Y")});
        return rule;
    };
    const MultipleRule quarter = multiple(0.25f, 0.75f);
    EXPECT_EQ(quarter.selectSuccessor(0.2499)[0].getID(), id("X"));
    EXPECT_EQ(quarter.selectSuccessor(0.25)[0].getID(), id("Y"));               // 0.25 is not greater than 0.25
    EXPECT_EQ(multiple(0.25f, 0.25f).selectSuccessor(0.8)[0].getID(), id("X")); // none chosen: the first
    EXPECT_EQ(multiple(0.1f, 0.9f).selectSuccessor(0.1)[0].getID(), id("X"));   // 0.1f is above the double 0.1

    // One draw per application of a stochastic rule, none for a single rule.
    RandomGenerator a(7u), b(7u);
    quarter.chooseSuccessor(a);
    b.next32();
    EXPECT_EQ(a.next32(), b.next32());
    const SingleRule single(std::nullopt, pattern("A"), std::nullopt, std::nullopt, SuccessorString());
    single.chooseSuccessor(a);
    EXPECT_EQ(a.next32(), b.next32());
}

TEST(RandomGenerator, IntegerSeedGivesTheStandardSequence) {
    for (std::uint32_t seed : {0u, 1u, 42u, 5489u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::mt19937 reference(seed);
        RandomGenerator generator(seed);
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(generator.next32(), reference()) << "seed " << seed << " output " << i;
    }
    // Uniform numbers are the outputs times 2^-32.
    std::mt19937 reference(5489u);
    RandomGenerator generator(0u);
    generator.seed(5489u);
    EXPECT_EQ(generator.nextDouble(), reference() / 4294967296.0);
}

// A name is one character in single-character mode; in multi-character
// mode it runs up to a built-in symbol, a separator or a parameter list.
TEST(SymbolNames, AreCutInBothModes) {
    const std::tuple<const char*, std::size_t, bool, const char*> cuts[] = {
        {"Leaf[+Le]", 0, false, "L"}, {"Leaf[+Le]", 0, true, "Leaf"}, {"Leaf[+Le]", 6, true, "Le"},
        {"AB CD", 0, true, "AB"},     {"CD\tE", 0, true, "CD"},       {"Stem(1,2)", 0, true, "Stem"},
        {"x\xB0y", 1, true, "\xB0"},  {"x\xB0y", 0, true, "x"},       {"F", 1, true, ""},
        {"A(1)", 1, false, "("},
    };
    for (const auto& [text, position, multiChar, name] : cuts)
        EXPECT_EQ(cutSymbolName(text, position, multiChar), name) << text << " at " << position;
}

// A worker reads names and ids while the main thread registers new ones.
TEST(SymbolRegistry, ReadsStayCorrectWhileNamesAreAdded) {
    String2IDManager registry;
    registry.registerBuiltins();
    const std::int32_t leaf = registry.getID("Leaf");
    bool readsCorrect = true;
    std::thread reader([&] {
        for (int i = 0; i < 20000; ++i)
            readsCorrect = readsCorrect && registry.getName(openBracketID) == "[" && registry.getID("Leaf") == leaf &&
                           registry.hasName("Leaf");
    });
    for (int i = 0; i < 2000; ++i) registry.getID("S" + std::to_string(i));
    reader.join();
    EXPECT_TRUE(readsCorrect);
    EXPECT_EQ(registry.getNextID(), leaf + 2001);
    EXPECT_EQ(registry.getName(leaf + 2000), "S1999");
}

} // namespace
