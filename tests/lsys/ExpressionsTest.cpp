#include <gtest/gtest.h>

#include <muParser.h>
#include <sstream>

#include "lsys/Expressions.h"

namespace {

VariableValueMap makeMap(std::initializer_list<std::pair<const char*, double>> entries) {
    VariableValueMap map;
    for (const auto& entry : entries) map.set(entry.first, entry.second);
    return map;
}

// The name a look-up or evaluation reported as missing, or "" when it did not throw.
template <class Action>
std::string missingName(Action action) {
    try {
        action();
    } catch (const mu::ParserError& e) {
        return e.GetMsg();
    }
    return "";
}

std::string printed(const VariableValueMap& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

TEST(VariableValueMap, CopiesAndMovesAcrossItsStorageLimit) {
    VariableValueMap values;
    for (const char* name : {"f", "e", "d", "c", "b", "a"}) {
        values.set(name, name[0] - 'a');
        VariableValueMap copy(values);
        VariableValueMap moved(std::move(copy));
        EXPECT_EQ(printed(moved), printed(values));
        EXPECT_TRUE(copy.empty());
    }
    EXPECT_EQ(printed(values), "a=0, b=1, c=2, d=3, e=4, f=5");

    // Assigned a small map, a large one gives up its other names.
    VariableValueMap shrunk = values;
    shrunk = makeMap({{"q", 1}});
    EXPECT_EQ(printed(shrunk), "q=1");
}

// An expression sees exactly the map it is given; missing names and syntax
// errors raise a parser error.
TEST(Expression, SeesExactlyTheMapItIsGiven) {
    const Expression scaled("x*0.5+y");
    EXPECT_DOUBLE_EQ(scaled.evaluate(makeMap({{"x", 4}, {"y", 1}})), 3.0);
    EXPECT_DOUBLE_EQ(scaled.evaluate(makeMap({{"x", 10}, {"y", -1}})), 4.0);
    // Other names around the variables move them to other positions.
    EXPECT_DOUBLE_EQ(scaled.evaluate(makeMap({{"a", 0}, {"w", 0}, {"x", 2}, {"xx", 0}, {"y", 7}})), 8.0);
    EXPECT_NEAR(Expression("_pi*2").evaluate(VariableValueMap()), 6.2831853, 1e-6);

    const Expression expression("a+b*c");
    // Missing at the first parse, then after a partial parse, then after a
    // complete one.
    EXPECT_EQ(missingName([&] { expression.evaluate(makeMap({{"a", 1}})); }), "b");
    EXPECT_EQ(missingName([&] { expression.evaluate(makeMap({{"b", 1}, {"c", 1}})); }), "a");
    EXPECT_DOUBLE_EQ(expression.evaluate(makeMap({{"a", 1}, {"b", 2}, {"c", 3}})), 7.0);
    EXPECT_EQ(missingName([&] { expression.evaluate(makeMap({{"a", 1}, {"b", 2}})); }), "c");
    EXPECT_DOUBLE_EQ(expression.evaluate(makeMap({{"a", 2}, {"b", 2}, {"c", 3}})), 8.0);
    for (const char* syntaxError : {"1+", "", "sin("})
        EXPECT_THROW(Expression(syntaxError).evaluate(VariableValueMap()), mu::ParserError) << syntaxError;
    // A name before a syntax error is looked up first; one after it never.
    const Expression broken("a+*b");
    EXPECT_EQ(missingName([&] { broken.evaluate(VariableValueMap()); }), "a");
    const std::string syntax = missingName([&] { broken.evaluate(makeMap({{"a", 1}})); });
    EXPECT_NE(syntax, "b");
    EXPECT_NE(syntax, "");
}

TEST(FormulaMap, EvaluateAllLeavesOutCyclesAndErrors) {
    FormulaMap formulas;
    formulas.set("a", "b");
    formulas.set("b", "a");
    formulas.set("bad", "1+");
    formulas.set("unknown", "nothere*2");
    formulas.set("", "1");
    formulas.set("ok", "1");
    formulas.set("ok", "2"); // replaces
    VariableValueMap values;
    formulas.evaluateAll(values);
    EXPECT_EQ(printed(values), "ok=2");
}

} // namespace
