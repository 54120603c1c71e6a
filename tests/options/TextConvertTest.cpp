#include "options/TextConvert.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace TextConvert;

TEST(TextConvert, IntegersAreSignedDecimalsWrappingAround32Bits) {
    const std::int32_t min = std::numeric_limits<std::int32_t>::min();
    const std::pair<const char*, std::int32_t> cases[] = {{"0", 0},
                                                          {"42", 42},
                                                          {"+42", 42},
                                                          {"-42", -42},
                                                          {"007", 7},
                                                          {"2147483647", 2147483647},
                                                          {"-2147483648", min},
                                                          {"-", 0},
                                                          {"+", 0}, // a sign alone is zero
                                                          {"2147483648", min},
                                                          {"4294967295", -1},
                                                          {"4294967296", 0},
                                                          {"-4294967297", -1}};
    for (const auto& [text, value] : cases) EXPECT_EQ(toInt(text), value) << text;
    EXPECT_THROW(toInt(""), EmptyData);
    for (const char* text : {"--1", "+-1", "1-", "1.0", "1e3", " 1", "1 ", "0x10", "abc"})
        EXPECT_THROW(toInt(text), NumberFormatException) << text;
}

TEST(TextConvert, DecimalsAccumulateInSinglePrecision) {
    EXPECT_EQ(static_cast<double>(toFloat("0.1")), static_cast<double>(0.1f));
    EXPECT_NE(static_cast<double>(toFloat("0.1")), 0.1);
    const std::pair<const char*, float> cases[] = {
        {"123.456", 123.456f}, {"16777217", 16777216.0f}, // beyond the float mantissa
        {"1,5", 1.5f},         {"1.5", 1.5f},
        {"-2.25", -2.25f},     {"+3", 3.0f},
        {".5", 0.5f},          {"5.", 5.0f},
        {"1e3", 1e3f},         {"1E3", 1e3f},
        {"2.5e+2", 250.0f},    {"1e-3", 0.001f},
        {"-1,5e1", -15.0f},    {"-", 0.0f},
        {"+", 0.0f},           {"2e-", 2.0f}, // a sign alone is zero, also as an exponent
        {"1e-400", 0.0f},      {"0e400", 0.0f}};
    for (const auto& [text, value] : cases) EXPECT_EQ(toFloat(text), value) << text;
    EXPECT_TRUE(std::isinf(toFloat("1e39"))); // never NaN
    EXPECT_THROW(toFloat(""), EmptyData);
    for (const char* text : {"1e", "1e--1", "--1", "1.5.3", "1,5.3", "1e3.5", "1e3e2", "abc", " 1", "1f"})
        EXPECT_THROW(toFloat(text), NumberFormatException) << text;
}

TEST(TextConvert, BooleansLookAtTheFirstCharacterOnly) {
    for (const char* text : {"1", "T", "t", "x", "true", "xyz", "TRUE"}) EXPECT_TRUE(toBool(text)) << text;
    for (const char* text : {"0", "F", "false", "yes", "X", " 1"}) EXPECT_FALSE(toBool(text)) << text;
    EXPECT_THROW(toBool(""), EmptyData);
}

TEST(TextConvert, NumbersAreWrittenInFixedPoint) {
    EXPECT_EQ(toString(-2.0 / 3.0), "-0.667");
    EXPECT_EQ(toString(1.26, 1), "1.3");
    EXPECT_EQ(toString(-17), "-17");
    EXPECT_EQ(toString(2.0, 3), "2.000");
    // A value stored back loses the decimals only when it is whole at three.
    EXPECT_EQ(toString(7.0), "7");
    EXPECT_EQ(toString(-2.0), "-2");
    EXPECT_EQ(toString(6.9999), "7");
    EXPECT_EQ(toString(-0.0001), "0");
    EXPECT_EQ(toString(0.5), "0.500");
    EXPECT_EQ(toString(1000.0), "1000");
}
