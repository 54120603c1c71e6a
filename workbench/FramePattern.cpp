#include "workbench/FramePattern.h"

#include <cctype>

namespace {

// Wider fields only make names no file system takes.
constexpr std::size_t widestField = 99;

} // namespace

std::optional<FramePattern> FramePattern::parse(const std::string& text, std::string& problem) {
    const std::string field = "one number field (%d, or %03d for 000, 001, ...)";
    const std::size_t percent = text.find('%');
    if (percent == std::string::npos) {
        problem = "The pattern '" + text + "' has no number field: it needs " + field + " where the step goes.";
        return std::nullopt;
    }
    FramePattern pattern;
    std::size_t at = percent + 1;
    if (at < text.size() && text[at] == '0') {
        pattern.myZeros = true;
        ++at;
    }
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - digits < 3) ++at;
    if (at > digits) pattern.myWidth = std::stoul(text.substr(digits, at - digits));
    const bool wellFormed = at < text.size() && text[at] == 'd' && pattern.myWidth <= widestField;
    if (!wellFormed || text.find('%', at) != std::string::npos) {
        problem = "The pattern '" + text + "' may hold " + field + " and no other '%'.";
        return std::nullopt;
    }
    pattern.myBefore = text.substr(0, percent);
    pattern.myAfter = text.substr(at + 1);
    return pattern;
}

std::string FramePattern::name(int step) const {
    std::string number = std::to_string(step);
    if (number.size() < myWidth) number.insert(0, myWidth - number.size(), myZeros ? '0' : ' ');
    return myBefore + number + myAfter;
}
