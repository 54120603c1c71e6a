#include "records/CameraDef.h"

#include "options/TextConvert.h"

namespace {

template <std::size_t N>
void appendItem(std::string& text, const char* key, const std::array<double, N>& values) {
    if (!text.empty()) text += ", ";
    text += key;
    text += "=(";
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) text += ",";
        text += TextConvert::toString(values[i]);
    }
    text += ")";
}

} // namespace

std::string CameraDef::toText() const {
    // A camera read from a file keeps the default matrix but has a stored
    // orbit (set); it is written too, or saving the file would lose it.
    if (matrix == defaultMatrix && !set) return std::string();
    std::string text;
    appendItem(text, "rotation", rotation);
    appendItem(text, "center", center);
    appendItem(text, "distance", std::array<double, 1>{distance});
    return text;
}
