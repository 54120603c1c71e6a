#include "options/TextConvert.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace TextConvert;

TEST(TextConvert, IntegersAreSignedDecimalsWrappingAround32Bits) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"+42", 42}, {"-2147483648", std::numeric_limits<std::int32_t>::min()}, {"-", 0}, {"4294967295", -1}};
    for (const auto& [text, value] : cases) EXPECT_EQ(toInt(text), value) << text;
    EXPECT_THROW(toInt(""), EmptyData);
    for (const char* text : {"1.0", " 1", "0x10"}) EXPECT_THROW(toInt(text), NumberFormatException) << text;
}

TEST(TextConvert, DecimalsAccumulateInSinglePrecision) {
    EXPECT_EQ(static_cast<double>(toFloat("0.1")), static_cast<double>(0.1f));
    const std::pair<const char*, float> cases[] = {
        {"16777217", 16777216.0f}, {"-1,5e1", -15.0f}, {".5", 0.5f}, {"2e-", 2.0f}, {"1e-400", 0.0f}};
    for (const auto& [text, value] : cases) EXPECT_EQ(toFloat(text), value) << text;
    EXPECT_TRUE(std::isinf(toFloat("1e39"))); // never NaN
    EXPECT_THROW(toFloat(""), EmptyData);
    for (const char* text : {"1e", "1.5.3", "1e3.5", " 1", "1f"})
        EXPECT_THROW(toFloat(text), NumberFormatException) << text;
}

TEST(TextConvert, NumbersAreWrittenInFixedPoint) {
    EXPECT_EQ(toString(-2.0 / 3.0), "-0.667");
    EXPECT_EQ(toString(1.26, 1), "1.3");
    // A value stored back loses the decimals only when it is whole at three.
    EXPECT_EQ(toString(6.9999), "7");
    EXPECT_EQ(toString(-0.0001), "0");
    EXPECT_EQ(toString(0.5), "0.500");
}
