#include <gtest/gtest.h>

#include <muParser.h>
#include <sstream>
#include <tuple>

#include "lsys/AtomString.h"

namespace {

// Atoms print through the process-wide registry, set up as the program
// entry does.
class AtomTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { String2IDManager::instance().registerBuiltins(); }
    static std::int32_t id(const std::string& name) { return String2IDManager::instance().getID(name); }

    template <class T>
    static std::string printed(const T& value) {
        std::ostringstream out;
        out << value;
        return out.str();
    }

    // The names cut from the whole text, spaces and tabs skipped.
    static std::vector<std::string> cutAll(const std::string& text, bool multiChar) {
        std::vector<std::string> names;
        for (std::size_t pos = 0; pos < text.size();) {
            if (text[pos] == ' ' || text[pos] == '\t') {
                ++pos;
                continue;
            }
            names.push_back(cutSymbolName(text, pos, multiChar));
            pos += names.back().size();
        }
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(AtomTest, CutsNamesInBothModes) {
    EXPECT_EQ(cutAll("Leaf[+Le]", false), (Names{"L", "e", "a", "f", "[", "+", "L", "e", "]"}));
    EXPECT_EQ(cutAll("Leaf[+Le]", true), (Names{"Leaf", "[", "+", "Le", "]"}));
    EXPECT_EQ(cutAll("AB CD\tE", true), (Names{"AB", "CD", "E"}));
    const std::tuple<const char*, std::size_t, const char*> cuts[] = {
        {"Stem(1,2)", 0, "Stem"}, {"x\xB0y", 1, "\xB0"}, {"x\xB0y", 0, "x"}, {"F", 1, ""}};
    for (const auto& [text, position, name] : cuts) EXPECT_EQ(cutSymbolName(text, position, true), name) << text;
    EXPECT_EQ(cutSymbolName("A(1)", 1, false), "(");
}

TEST_F(AtomTest, PrintedForms) {
    EXPECT_EQ(printed(ValuedAtom(id("A"))), "A");
    EXPECT_EQ(printed(ValuedAtom(id("A"), {1, 2.5})), "A(1,2.5)");
    EXPECT_EQ(printed(ParametrisedAtom(id("Leaf"), {"x", "y"})), "Leaf(x,y)");
    EXPECT_EQ(printed(MutatingAtom(id("B"), {Expression("x+1"), Expression("y*2")})), "B(x+1, y*2)");
    EXPECT_EQ(printed(MutatingAtom(id("+"))), "+");

    const PatternString pattern{ParametrisedAtom(id("A"), {"x"}), ParametrisedAtom(id("["))};
    EXPECT_EQ(printed(pattern), "A(x)[");
}

TEST_F(AtomTest, PatternAtomsMatchTheirSymbolWithAtLeastTheirValues) {
    // Pattern equality is seen by the rule set's merging of rows.
    const ParametrisedAtom withX(id("A"), {"x"});
    EXPECT_TRUE(withX.matches(ValuedAtom(id("A"), {1})));
    EXPECT_TRUE(withX.matches(ValuedAtom(id("A"), {1, 2})));
    EXPECT_FALSE(withX.matches(ValuedAtom(id("B"), {1})));
}

TEST_F(AtomTest, StringsMixPlainAndValuedAtomsAndAppendByCopyOrMove) {
    AtomString s;
    s.append(id("F"));
    s.append(id("["));
    EXPECT_FALSE(s.hasParameters());
    s.append(ValuedAtom(id("A"), {1, 2.5}));
    s.append(id("]"));
    const double three = 3;
    s.append(id("B"), &three, 1);
    EXPECT_EQ(printed(s), "F[A(1,2.5)]B(3)");
    EXPECT_TRUE(s.hasParameters());
    ASSERT_EQ(s.length(), 5u);
    EXPECT_EQ(s.getValueCount(0), 0u);
    EXPECT_EQ(s.getValueCount(2), 2u);
    EXPECT_EQ(s.getValue(2, 1), 2.5);
    EXPECT_EQ(s.getValueCount(3), 0u);
    EXPECT_TRUE(s.isBuiltin(1));
    EXPECT_FALSE(s.isBuiltin(4));
    EXPECT_EQ(printed(s.getAtom(2)), "A(1,2.5)");

    AtomString copy;
    copy.append(s, 2); // atom by atom
    copy.append(s, 0);
    copy.append(s); // a whole string
    const std::string once = "A(1,2.5)FF[A(1,2.5)]B(3)";
    EXPECT_EQ(printed(copy), once);
    EXPECT_EQ(printed(s), "F[A(1,2.5)]B(3)"); // the source is untouched
    AtomString target(copy);
    target.append(std::move(copy));
    EXPECT_EQ(copy.length(), 0u);
    target.append(target);
    EXPECT_EQ(printed(target), once + once + once + once);
}

TEST_F(AtomTest, SuccessorsEvaluateAgainstTheMap) {
    SuccessorString successor;
    successor.append(MutatingAtom(id("F"), {Expression("x*2")}));
    successor.append(MutatingAtom(id("[")));
    successor.append(MutatingAtom(id("A"), {Expression("x"), Expression("y")}));
    EXPECT_TRUE(successor.hasParameters());
    EXPECT_EQ(printed(successor), "F(x*2)[A(x, y)");

    VariableValueMap values;
    values.set("x", 1.5);
    values.set("y", -1);
    EXPECT_EQ(printed(AtomString(successor, values)), "F(3)[A(1.5,-1)");
    EXPECT_EQ(printed(ValuedAtom(successor[0], values)), "F(3)");

    // A failing expression leaves the target as it was.
    AtomString target;
    target.append(id("G"));
    VariableValueMap onlyX;
    onlyX.set("x", 1);
    try {
        target.append(successor, onlyX);
        FAIL() << "no exception";
    } catch (const mu::ParserError& e) {
        EXPECT_EQ(e.GetMsg(), "y");
    }
    EXPECT_EQ(printed(target), "G");
    EXPECT_FALSE(target.hasParameters());
    target.append(successor, values);
    EXPECT_EQ(printed(target), "GF(3)[A(1.5,-1)");
}

} // namespace
