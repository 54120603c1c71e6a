#include "records/LightDef.h"

#include "options/TextConvert.h"

#include <tuple>

namespace {

void appendItem(std::string& text, const char* key, const std::array<float, 4>& values,
                const std::array<float, 4>& defaults) {
    if (values == defaults) return;
    if (!text.empty()) text += ", ";
    text += key;
    text += "=(";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += ",";
        text += TextConvert::toString(values[i]);
    }
    text += ")";
}

} // namespace

std::string LightDef::toText() const {
    const LightDef defaults;
    std::string text;
    appendItem(text, "position", position, defaults.position);
    appendItem(text, "ambient", ambient, defaults.ambient);
    appendItem(text, "specular", specular, defaults.specular);
    appendItem(text, "diffuse", diffuse, defaults.diffuse);
    return text;
}

bool operator==(const LightDef& a, const LightDef& b) {
    return std::tie(a.enabled, a.position, a.ambient, a.specular, a.diffuse) ==
           std::tie(b.enabled, b.position, b.ambient, b.specular, b.diffuse);
}
