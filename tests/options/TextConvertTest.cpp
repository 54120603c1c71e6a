#include "options/TextConvert.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace TextConvert;

TEST(TextConvertInt, ReadsSignedDecimals) {
    EXPECT_EQ(toInt("0"), 0);
    EXPECT_EQ(toInt("42"), 42);
    EXPECT_EQ(toInt("+42"), 42);
    EXPECT_EQ(toInt("-42"), -42);
    EXPECT_EQ(toInt("007"), 7);
    EXPECT_EQ(toInt("2147483647"), 2147483647);
    EXPECT_EQ(toInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(TextConvertInt, SignAloneIsZero) {
    EXPECT_EQ(toInt("-"), 0);
    EXPECT_EQ(toInt("+"), 0);
}

TEST(TextConvertInt, WrapsAround32Bits) {
    EXPECT_EQ(toInt("2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(toInt("4294967295"), -1);
    EXPECT_EQ(toInt("4294967296"), 0);
    EXPECT_EQ(toInt("-4294967297"), -1);
}

TEST(TextConvertInt, RejectsStrayCharacters) {
    EXPECT_THROW(toInt(""), EmptyData);
    for (const char* text : {"--1", "+-1", "1-", "1.0", "1e3", " 1", "1 ", "0x10", "abc"}) {
        EXPECT_THROW(toInt(text), NumberFormatException) << text;
    }
}

TEST(TextConvertFloat, AccumulatesInSinglePrecision) {
    EXPECT_EQ(toFloat("0.1"), 0.1f);
    EXPECT_EQ(static_cast<double>(toFloat("0.1")), static_cast<double>(0.1f));
    EXPECT_NE(static_cast<double>(toFloat("0.1")), 0.1);
    EXPECT_EQ(toFloat("123.456"), 123.456f);
    EXPECT_EQ(toFloat("16777217"), 16777216.0f);  // beyond the float mantissa
}

TEST(TextConvertFloat, ReadsSeparatorsSignsAndExponents) {
    EXPECT_EQ(toFloat("1,5"), 1.5f);
    EXPECT_EQ(toFloat("1.5"), 1.5f);
    EXPECT_EQ(toFloat("-2.25"), -2.25f);
    EXPECT_EQ(toFloat("+3"), 3.0f);
    EXPECT_EQ(toFloat(".5"), 0.5f);
    EXPECT_EQ(toFloat("5."), 5.0f);
    EXPECT_EQ(toFloat("1e3"), 1000.0f);
    EXPECT_EQ(toFloat("1E3"), 1000.0f);
    EXPECT_EQ(toFloat("2.5e+2"), 250.0f);
    EXPECT_EQ(toFloat("1e-3"), 0.001f);
    EXPECT_EQ(toFloat("-1,5e1"), -15.0f);
    EXPECT_EQ(toFloat("-"), 0.0f);
    EXPECT_EQ(toFloat("2e-"), 2.0f);  // a sign alone is a zero exponent
    EXPECT_EQ(toFloat("+"), 0.0f);
}

TEST(TextConvertFloat, ExtremeExponentsGiveInfinityOrZeroNeverNaN) {
    EXPECT_TRUE(std::isinf(toFloat("1e39")));
    EXPECT_EQ(toFloat("1e-400"), 0.0f);
    EXPECT_EQ(toFloat("0e400"), 0.0f);
}

TEST(TextConvertFloat, RejectsStrayCharacters) {
    EXPECT_THROW(toFloat(""), EmptyData);
    for (const char* text : {"1e", "1e--1", "--1", "1.5.3", "1,5.3", "1e3.5", "1e3e2", "abc", " 1", "1f"}) {
        EXPECT_THROW(toFloat(text), NumberFormatException) << text;
    }
}

TEST(TextConvertBool, LooksAtTheFirstCharacterOnly) {
    for (const char* text : {"1", "T", "t", "x", "true", "xyz", "TRUE"}) {
        EXPECT_TRUE(toBool(text)) << text;
    }
    for (const char* text : {"0", "F", "false", "yes", "X", " 1"}) {
        EXPECT_FALSE(toBool(text)) << text;
    }
    EXPECT_THROW(toBool(""), EmptyData);
}

TEST(TextConvertWrite, FixedPointWithGivenDigits) {
    EXPECT_EQ(toString(1.0), "1.000");
    EXPECT_EQ(toString(-0.5), "-0.500");
    EXPECT_EQ(toString(2.0 / 3.0), "0.667");
    EXPECT_EQ(toString(1.26, 1), "1.3");
    EXPECT_EQ(toString(3.7, 0), "4");
    EXPECT_EQ(toString(-17), "-17");
}
