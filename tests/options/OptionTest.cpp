#include "options/Option.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

TEST(TypedValue, TypesValuesAndWrongTypeAccess) {
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
    TypedValue b(TYPE_BOOL);
    EXPECT_EQ(b.getValueAsString(), "false");
    b.setFromString("t");
    EXPECT_EQ(b.getValueAsString(), "true");

    TypedValue s(TYPE_STRING);
    s.setString("a b");
    std::unique_ptr<TypedValue> copy = s.clone();
    s.setString("changed");
    EXPECT_EQ(copy->getString(), "a b");
}

TEST(Option, ADefaultIsSetButNotFinalAndBadTextChangesNothing) {
    Option_Integer plain;
    EXPECT_TRUE(plain.canBeSet() && !plain.isSet() && !plain.isDefault());
    Option_Integer option(1024);
    EXPECT_TRUE(option.canBeSet() && option.isSet() && option.isDefault());
    EXPECT_THROW(option.setFromString("abc"), NumberFormatException);
    EXPECT_THROW(option.setFromString(""), EmptyData);
    EXPECT_THROW(option.setBool(true), NotOfThisTypeException);
    EXPECT_TRUE(option.canBeSet() && option.isDefault());
    EXPECT_EQ(option.getInt(), 1024);

    option.setFromString("300");
    EXPECT_TRUE(!option.canBeSet() && option.isSet() && !option.isDefault());
    try {
        option.setFromString("400");
        FAIL();
    } catch (const InvalidArgument& e) {
        EXPECT_EQ(e.message(), "This option was already set.");
    }
    EXPECT_EQ(option.getInt(), 300);
    option.makeSettable();
    option.setFromString("500");
    EXPECT_EQ(option.getInt(), 500);
}
