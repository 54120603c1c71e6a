#include "definition_io/ParameterList.h"

#include <gtest/gtest.h>

TEST(ParameterList, OuterBracketsOnlyWhenTheyCloseAtTheEnd) {
    const std::pair<const char*, const char*> cases[] = {
        {"((a))", "a"},
        {"(a),(b)", "(a),(b)"},
        {"()", ""},
        {"(a", "(a"},
        {"(a)x(b)", "(a)x(b)"}}; // the first bracket closes early: nothing is stripped
    for (const auto& [text, stripped] : cases) EXPECT_EQ(stripped, stripOuterBrackets(text)) << text;
    EXPECT_EQ("1", parseParameterList("(x=1)").at("x"));
    EXPECT_EQ((ParameterTable{{"a", "(1,b=2"}}), parseParameterList("a=(1,b=2")); // an unclosed group runs on
}

TEST(ParameterList, AnItemWithoutEqualsBreaksTheList) {
    EXPECT_TRUE(parseParameterList("").empty());
    EXPECT_TRUE(parseParameterList(" () ").empty());
    for (const char* text : {"a=1,b", "a=1,", "(a,b)"})
        EXPECT_THROW(parseParameterList(text), BrokenParameterListException) << text;
}

TEST(ParameterList, DeepNestingIsHandledQuickly) {
    const std::string deep = std::string(200000, '(') + "k=v" + std::string(200000, ')');
    EXPECT_EQ("v", parseParameterList(deep).at("k"));
}
