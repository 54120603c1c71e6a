#include "options/Option.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

TEST(TypedValue, TypeNamesAndUnknownCodes) {
    EXPECT_EQ(typeName(TYPE_UNSIGNED_INTEGER), "unsigned integer");
    try {
        typeName(3);
        FAIL();
    } catch (const UnknownTypeException& e) {
        EXPECT_EQ(e.code(), 3u);
    }
    // Unsigned and float have a name but no value.
    EXPECT_THROW(TypedValue{TYPE_FLOAT}, UnknownTypeException);
    EXPECT_THROW(TypedValue{64}, UnknownTypeException);
}

TEST(TypedValue, ValueAsTextAndWrongTypeAccess) {
    TypedValue d(TYPE_DOUBLE);
    d.setFromString("0.1");
    EXPECT_EQ(d.getDouble(), static_cast<double>(0.1f));
    EXPECT_EQ(d.getValueAsString(), "0.100");
    try {
        d.getInt();
        FAIL();
    } catch (const NotOfThisTypeException& e) {
        EXPECT_EQ(e.expected(), TYPE_INTEGER);
        EXPECT_EQ(e.actual(), TYPE_DOUBLE);
    }
    EXPECT_THROW(d.setString("x"), NotOfThisTypeException);

    TypedValue b(TYPE_BOOL);
    EXPECT_EQ(b.getValueAsString(), "false");
    b.setFromString("t");
    EXPECT_EQ(b.getValueAsString(), "true");

    TypedValue s(TYPE_STRING);
    s.setFromString("");
    EXPECT_EQ(s.getString(), "");
    s.setString("a b");
    std::unique_ptr<TypedValue> copy = s.clone();
    s.setString("changed");
    EXPECT_TRUE(copy->isType(TYPE_STRING));
    EXPECT_EQ(copy->getString(), "a b");
}

TEST(Option, FlagsWithAndWithoutDefault) {
    Option_Integer plain;
    EXPECT_TRUE(plain.canBeSet());
    EXPECT_FALSE(plain.isSet());
    EXPECT_FALSE(plain.isDefault());

    Option_Integer withDefault(1024);
    EXPECT_TRUE(withDefault.canBeSet());
    EXPECT_TRUE(withDefault.isSet());
    EXPECT_TRUE(withDefault.isDefault());
    EXPECT_EQ(withDefault.getInt(), 1024);

    withDefault.setFromString("300");
    EXPECT_FALSE(withDefault.canBeSet());
    EXPECT_TRUE(withDefault.isSet());
    EXPECT_FALSE(withDefault.isDefault());
    EXPECT_EQ(withDefault.getInt(), 300);
}

TEST(Option, SecondValueIsRefusedAndKeepsTheFirst) {
    Option_String option;
    option.setString("first");
    try {
        option.setFromString("second");
        FAIL();
    } catch (const InvalidArgument& e) {
        EXPECT_EQ(e.message(), "This option was already set.");
    }
    EXPECT_EQ(option.getString(), "first");
    option.makeSettable();
    option.setString("third");
    EXPECT_EQ(option.getString(), "third");
}

TEST(Option, BadTextLeavesTheOptionUnset) {
    Option_Integer option(5);
    EXPECT_THROW(option.setFromString("abc"), NumberFormatException);
    EXPECT_THROW(option.setFromString(""), EmptyData);
    EXPECT_THROW(option.setBool(true), NotOfThisTypeException);
    EXPECT_TRUE(option.canBeSet());
    EXPECT_TRUE(option.isDefault());
    EXPECT_EQ(option.getInt(), 5);
}
