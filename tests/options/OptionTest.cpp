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

    // Values as text are seen by the option listing.
    TypedValue d(TYPE_DOUBLE);
    try {
        d.getInt();
        FAIL();
    } catch (const NotOfThisTypeException& e) {
        EXPECT_EQ(e.expected(), TYPE_INTEGER);
        EXPECT_EQ(e.actual(), TYPE_DOUBLE);
    }
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
