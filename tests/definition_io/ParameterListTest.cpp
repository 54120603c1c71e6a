#include "definition_io/ParameterList.h"

#include <gtest/gtest.h>

TEST(ParameterList, ItemsKeysAndValuesAreTrimmedAndLaterKeysWin) {
    const ParameterTable table = parseParameterList("  a = 1 ,b=two words,\ta=3 ");
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ("3", table.at("a"));
    EXPECT_EQ("two words", table.at("b"));
}

TEST(ParameterList, BracketsGroupCommasAndOuterBracketsAreStripped) {
    const ParameterTable table = parseParameterList("((palette=(a,b),visible=f, position=((1,2),3)))");
    EXPECT_EQ("a,b", table.at("palette"));
    EXPECT_EQ("f", table.at("visible"));
    EXPECT_EQ("(1,2),3", table.at("position"));
}

TEST(ParameterList, OuterBracketsOnlyWhenTheyCloseAtTheEnd) {
    EXPECT_EQ("a", stripOuterBrackets("((a))"));
    EXPECT_EQ("(a),(b)", stripOuterBrackets("(a),(b)"));
    EXPECT_EQ("", stripOuterBrackets("()"));
    EXPECT_EQ("(a", stripOuterBrackets("(a"));
    // The first bracket closes early: nothing is stripped.
    EXPECT_EQ("(a)x(b)", stripOuterBrackets("(a)x(b)"));
    EXPECT_EQ("1", parseParameterList("(x=1)").at("x"));
}

TEST(ParameterList, AnUnclosedGroupRunsToTheEnd) {
    const ParameterTable table = parseParameterList("a=(1,b=2");
    ASSERT_EQ(1u, table.size());
    EXPECT_EQ("(1,b=2", table.at("a"));
}

TEST(ParameterList, AnItemWithoutEqualsBreaksTheList) {
    EXPECT_TRUE(parseParameterList("").empty());
    EXPECT_TRUE(parseParameterList(" () ").empty());
    EXPECT_THROW(parseParameterList("a=1,b"), BrokenParameterListException);
    EXPECT_THROW(parseParameterList("a=1,"), BrokenParameterListException);
    EXPECT_THROW(parseParameterList("(a,b)"), BrokenParameterListException);
}

TEST(ParameterList, DeepNestingIsHandledQuickly) {
    const std::string deep = std::string(200000, '(') + "k=v" + std::string(200000, ')');
    EXPECT_EQ("v", parseParameterList(deep).at("k"));
}
