#include "options/TextConvert.h"

#include "diagnostics/Blanks.h"
#include "diagnostics/Exceptions.h"

#include <cstdint>
#include <iomanip>
#include <limits>
#include <locale>
#include <sstream>

namespace TextConvert {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Skips an optional leading sign; returns true when it was "-".
bool readSign(const std::string& text, std::size_t& pos) {
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        return text[pos++] == '-';
    }
    return false;
}

// 10^exponent by repeated squaring in double precision.
double powerOfTen(std::uint32_t exponent) {
    double result = 1.0;
    double base = 10.0;
    while (exponent != 0) {
        if (exponent & 1u) {
            result *= base;
        }
        base *= base;
        exponent >>= 1;
    }
    return result;
}

} // namespace

int toInt(const std::string& text) {
    if (text.empty()) {
        throw EmptyData();
    }
    std::size_t pos = 0;
    const bool negative = readSign(text, pos);
    // Unsigned arithmetic gives the 32-bit wrap-around without undefined behaviour.
    std::uint32_t value = 0;
    for (; pos < text.size(); ++pos) {
        if (!isDigit(text[pos])) {
            throw NumberFormatException();
        }
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

float toFloat(const std::string& text) {
    if (text.empty()) {
        throw EmptyData();
    }
    std::size_t pos = 0;
    const bool negative = readSign(text, pos);
    float value = 0.0f;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        value = value * 10.0f + static_cast<float>(text[pos] - '0');
    }
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        float scale = 1.0f;
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos) {
            scale *= 10.0f;
            value += static_cast<float>(text[pos] - '0') / scale;
        }
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        const std::string exponentText = text.substr(pos + 1);
        if (exponentText.empty()) {
            throw NumberFormatException();
        }
        const int exponent = toInt(exponentText);
        // A zero mantissa stays zero (0 times an overflowing power would be NaN).
        if (value != 0.0f) {
            const std::uint32_t magnitude =
                exponent < 0 ? 0u - static_cast<std::uint32_t>(exponent) : static_cast<std::uint32_t>(exponent);
            const double exact = powerOfTen(magnitude);
            const float power = exact > std::numeric_limits<float>::max() ? std::numeric_limits<float>::infinity()
                                                                          : static_cast<float>(exact);
            value = exponent < 0 ? value / power : value * power;
        }
        pos = text.size();
    }
    if (pos != text.size()) {
        throw NumberFormatException();
    }
    return negative ? -value : value;
}

bool toBool(const std::string& text) {
    if (text.empty()) {
        throw EmptyData();
    }
    const char c = text[0];
    return c == '1' || c == 'T' || c == 't' || c == 'x';
}

std::string toString(double value, int digits) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(digits) << value;
    return out.str();
}

std::string toString(double value) {
    std::string text = toString(value, 3);
    if (text.size() > 4 && text.compare(text.size() - 4, 4, ".000") == 0) text.resize(text.size() - 4);
    return text == "-0" ? "0" : text;
}

std::string toString(int value) { return std::to_string(value); }

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(blankCharacters);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blankCharacters) - first + 1);
}

} // namespace TextConvert
