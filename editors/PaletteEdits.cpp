#include "editors/PaletteEdits.h"

#include "diagnostics/Exceptions.h"

#include <algorithm>
#include <sstream>

namespace PaletteEdits {

namespace {

void mix(const float a[4], const float b[4], float t, float out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = a[i] + (b[i] - a[i]) * t;
}

} // namespace

void gradient(MaterialPalette& palette, const Selection& selection) {
    if (selection.size() < 3) return;
    const GLMaterial first = palette[selection.front()], last = palette[selection.back()];
    const float steps = static_cast<float>(selection.size() - 1);
    for (std::size_t i = 1; i + 1 < selection.size(); ++i) {
        const float t = i / steps;
        GLMaterial& entry = palette[selection[i]];
        mix(first.ambient, last.ambient, t, entry.ambient);
        mix(first.diffuse, last.diffuse, t, entry.diffuse);
        mix(first.specular, last.specular, t, entry.specular);
        mix(first.emission, last.emission, t, entry.emission);
        entry.shininess = first.shininess + (last.shininess - first.shininess) * t;
        entry.flat = t < 0.5f ? first.flat : last.flat;
    }
}

void reverse(MaterialPalette& palette, const Selection& selection) {
    for (std::size_t i = 0, j = selection.size(); i + 1 < j; ++i, --j)
        std::swap(palette[selection[i]], palette[selection[j - 1]]);
}

void rotate(MaterialPalette& palette, const Selection& selection, int by) {
    const int n = static_cast<int>(selection.size());
    if (n == 0) return;
    std::vector<GLMaterial> entries;
    for (int index : selection) entries.push_back(palette[index]);
    for (int i = 0; i < n; ++i) palette[selection[((i + by) % n + n) % n]] = entries[i];
}

void setAlpha(MaterialPalette& palette, const Selection& selection, float alpha) {
    for (int index : selection) palette[index].diffuse[3] = alpha;
}

void setShininess(MaterialPalette& palette, const Selection& selection, float shininess) {
    for (int index : selection) palette[index].shininess = shininess;
}

void ambientFromDiffuse(MaterialPalette& palette, const Selection& selection, float factor) {
    for (int index : selection) {
        GLMaterial& entry = palette[index];
        for (int i = 0; i < 3; ++i) entry.ambient[i] = std::min(1.0f, entry.diffuse[i] * factor);
        entry.ambient[3] = entry.diffuse[3];
    }
}

std::string copy(const MaterialPalette& palette, const Selection& selection) {
    if (selection.size() == 1) return palette[selection.front()].text();
    std::string text = "1:" + std::to_string(selection.size());
    for (int index : selection) text += ":" + palette[index].text();
    return text;
}

int paste(MaterialPalette& palette, int at, const std::string& text) {
    std::istringstream in(text);
    std::string token;
    if (!(in >> token) || at < 0 || at >= MaterialPalette::size) return -1;
    std::vector<GLMaterial> materials;
    if (token.compare(0, 2, "1:") == 0) {
        // A palette text: as many entries as it lists (all 256 of a library name).
        MaterialPalette read;
        try {
            if (!read.read(token)) return -1;
        } catch (const UnknownPaletteException&) {
            return -1;
        } catch (const OutOfRangeError&) {
            return -1;
        }
        const std::size_t second = token.find(':', 2);
        const std::string count = token.substr(2, second == std::string::npos ? std::string::npos : second - 2);
        int listed = MaterialPalette::size;
        if (!count.empty() && count[0] != 'd' && count[0] != 'D') {
            const long tokens = std::count(token.begin(), token.end(), ':') - 1;
            listed = static_cast<int>(std::min<long>(std::min<long>(std::atol(count.c_str()), tokens), 256));
        }
        for (int i = 0; i < listed; ++i) materials.push_back(read[i]);
    } else {
        if (token.find(':') != token.rfind(':')) return -1;
        GLMaterial material;
        try {
            material.read(token);
        } catch (const OutOfRangeError&) {
            return -1;
        }
        materials.push_back(material);
    }
    const int written = std::min(static_cast<int>(materials.size()), MaterialPalette::size - at);
    for (int i = 0; i < written; ++i) palette[at + i] = materials[i];
    return written;
}

} // namespace PaletteEdits
