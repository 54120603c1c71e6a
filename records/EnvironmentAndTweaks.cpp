#include "records/EnvironmentAndTweaks.h"

#include "options/TextConvert.h"

#include <cstdio>
#include <exception>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::array<std::uint8_t, 3>> readBackgroundColour(const std::string& text) {
    if (text.size() < 6) return std::nullopt;
    std::array<std::uint8_t, 3> rgb{};
    for (int i = 0; i < 3; ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        rgb[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return rgb;
}

std::string backgroundColourText(const std::array<std::uint8_t, 3>& rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
    return text;
}

std::optional<std::array<double, 3>> readTropismDirection(const std::string& text) {
    std::string inner = TextConvert::trim(text);
    if (inner.size() > 1 && inner.front() == '(' && inner.back() == ')') inner = inner.substr(1, inner.size() - 2);
    std::array<double, 3> direction{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < direction.size(); ++i) {
        const std::size_t comma = inner.find(',', start);
        if ((comma == std::string::npos) != (i + 1 == direction.size())) return std::nullopt;
        try {
            direction[i] = TextConvert::toFloat(TextConvert::trim(inner.substr(start, comma - start)));
        } catch (const std::exception&) {
            return std::nullopt;
        }
        start = comma + 1;
    }
    return direction;
}
