#include "options/Option.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

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
