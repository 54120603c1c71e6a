#include "materials/PaletteLibrary.h"

#include "diagnostics/Exceptions.h"
#include "materials/MaterialCode.h"
#include "materials/PaletteRecipes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct Rgb {
    double r, g, b; // 0-1
};

std::vector<Rgb> parseStops(const char* stops) {
    std::vector<Rgb> colours;
    char* end = nullptr;
    for (const char* p = stops; *p; p = end) {
        const long value = std::strtol(p, &end, 16);
        if (end == p) break;
        colours.push_back({((value >> 16) & 255) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0});
    }
    return colours;
}

unsigned char toByte(double value) {
    return static_cast<unsigned char>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

void setColour(MaterialCode& code, int group, const Rgb& colour) {
    code[4 * group] = toByte(colour.r);
    code[4 * group + 1] = toByte(colour.g);
    code[4 * group + 2] = toByte(colour.b);
    code[4 * group + 3] = 255;
}

Rgb scaled(const Rgb& c, double f) { return {c.r * f, c.g * f, c.b * f}; }

// Text groups of a material code.
enum { Ambient = 0, Diffuse = 1, Emission = 2, Specular = 3 };

MaterialCode finished(const Rgb& colour, PaletteFinish finish) {
    struct Look {
        double ambient, diffuse, specular;
        int shininess;
    };
    Look look{};
    switch (finish) {
    case PaletteFinish::Imported:
        look = {0.0, 1.0, 0.0, 24};
        break;
    case PaletteFinish::Natural:
        look = {0.2, 1.0, 0.15, 16};
        break;
    case PaletteFinish::Matte:
        look = {0.2, 1.0, 0.05, 4};
        break;
    case PaletteFinish::Glossy:
        look = {0.2, 1.0, 0.5, 48};
        break;
    case PaletteFinish::Polished:
        look = {0.2, 1.0, 0.9, 100};
        break;
    case PaletteFinish::Dark:
        look = {0.1, 0.45, 0.25, 32};
        break;
    }
    MaterialCode code{};
    setColour(code, Ambient, scaled(colour, look.ambient));
    setColour(code, Diffuse, scaled(colour, look.diffuse));
    setColour(code, Specular, {look.specular, look.specular, look.specular});
    code[16] = static_cast<unsigned char>(look.shininess);
    return code;
}

// The colour at t (0-1) of a ramp through evenly spaced stops.
Rgb rampColour(const std::vector<Rgb>& stops, double t) {
    if (stops.size() < 2) return stops.empty() ? Rgb{0, 0, 0} : stops[0];
    const int segments = static_cast<int>(stops.size()) - 1;
    const double s = t * segments;
    const int j = std::min(static_cast<int>(s), segments - 1);
    const double f = s - j;
    const Rgb& a = stops[j];
    const Rgb& b = stops[j + 1];
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
}

struct Hsv {
    double h, s, v; // h in turns (0-1)
};

Hsv toHsv(const Rgb& c) {
    const double max = std::max({c.r, c.g, c.b});
    const double min = std::min({c.r, c.g, c.b});
    const double d = max - min;
    double h = 0.0;
    if (d > 0.0) {
        if (max == c.r)
            h = (c.g - c.b) / d;
        else if (max == c.g)
            h = 2.0 + (c.b - c.r) / d;
        else
            h = 4.0 + (c.r - c.g) / d;
        h /= 6.0;
        if (h < 0.0) h += 1.0;
    }
    return {h, max > 0.0 ? d / max : 0.0, max};
}

Rgb toRgb(const Hsv& c) {
    const double h6 = (c.h - std::floor(c.h)) * 6.0;
    const int sector = static_cast<int>(h6) % 6;
    const double f = h6 - std::floor(h6);
    const double p = c.v * (1.0 - c.s);
    const double q = c.v * (1.0 - c.s * f);
    const double t = c.v * (1.0 - c.s * (1.0 - f));
    switch (sector) {
    case 0:
        return {c.v, t, p};
    case 1:
        return {q, c.v, p};
    case 2:
        return {p, c.v, t};
    case 3:
        return {p, q, c.v};
    case 4:
        return {t, p, c.v};
    default:
        return {c.v, p, q};
    }
}

// One full turn of hue from `first` to `last`, with saturation and value
// moving linearly between them; the ends are reproduced exactly.
Rgb hueCycle(const Rgb& first, const Rgb& last, double t) {
    const Hsv a = toHsv(first);
    const Hsv b = toHsv(last);
    const double turn = b.h + 1.0 - a.h;
    return toRgb({a.h + turn * t, a.s + (b.s - a.s) * t, a.v + (b.v - a.v) * t});
}

MaterialPalette::Entries buildEntries(const PaletteRecipe& recipe) {
    const std::vector<Rgb> stops = parseStops(recipe.stops);
    MaterialPalette::Entries entries{};
    const int n = MaterialPalette::size;
    switch (recipe.layout) {
    case PaletteLayout::Ramp:
        for (int i = 0; i < n; ++i) {
            // A single pass ends exactly on the last stop; repeated passes
            // restart at the first stop.
            double t = i / double(n - 1);
            if (recipe.cycles > 1) {
                const double u = double(i) * recipe.cycles / n;
                t = u - std::floor(u);
            }
            entries[i] = decodeMaterial(finished(rampColour(stops, t), recipe.finish));
        }
        break;
    case PaletteLayout::List:
        for (std::size_t i = 0; i < stops.size() && i < entries.size(); ++i)
            entries[i] = decodeMaterial(finished(stops[i], recipe.finish));
        break;
    case PaletteLayout::WebSafe:
        for (int i = 0; i < 216; ++i) {
            const Rgb colour{(i / 36) / 5.0, (i / 6 % 6) / 5.0, (i % 6) / 5.0};
            entries[i] = decodeMaterial(finished(colour, recipe.finish));
        }
        break;
    case PaletteLayout::HueCycle:
        // Stops: ambient, diffuse, specular of the first entry, then of the last.
        for (int i = 0; i < n; ++i) {
            const double t = i / double(n - 1);
            MaterialCode code{};
            setColour(code, Ambient, hueCycle(stops[0], stops[3], t));
            setColour(code, Diffuse, hueCycle(stops[1], stops[4], t));
            setColour(code, Specular, hueCycle(stops[2], stops[5], t));
            code[16] = 0x18;
            entries[i] = decodeMaterial(code);
        }
        break;
    }
    return entries;
}

// The codes of all 256 entries: equal keys mean equal full texts.
std::string paletteKey(const MaterialPalette& palette) {
    std::string key;
    key.reserve(MaterialPalette::size * sizeof(MaterialCode));
    for (const GLMaterial& material : palette.entries()) {
        const MaterialCode code = encodeMaterial(material);
        key.append(reinterpret_cast<const char*>(code.data()), code.size());
    }
    return key;
}

// Each palette is built on first use, once, whichever thread asks first.
struct Slot {
    std::once_flag built;
    std::unique_ptr<MaterialPalette> palette;
};

Slot& slot(int index) {
    static const std::unique_ptr<Slot[]> slots(new Slot[paletteRecipeCount]);
    return slots[index];
}

const std::vector<std::string>& names() {
    static const std::vector<std::string> table = [] {
        std::vector<std::string> all;
        for (int i = 0; i < paletteRecipeCount; ++i) all.emplace_back(paletteRecipes[i].name);
        return all;
    }();
    return table;
}

// Palette key to the first library index with that key.
const std::unordered_map<std::string, int>& indexByKey() {
    static const std::unordered_map<std::string, int> table = [] {
        std::unordered_map<std::string, int> keys;
        for (int i = 0; i < paletteRecipeCount; ++i) keys.emplace(paletteKey(PaletteLibrary::palette(i)), i);
        return keys;
    }();
    return table;
}

void checkIndex(int index) {
    if (index < 0 || index >= paletteRecipeCount) throw OutOfRangeException();
}

} // namespace

namespace PaletteLibrary {

int count() { return paletteRecipeCount; }

const std::string& name(int index) {
    checkIndex(index);
    return names()[index];
}

const MaterialPalette& palette(int index) {
    checkIndex(index);
    Slot& s = slot(index);
    std::call_once(s.built,
                   [&] { s.palette = std::make_unique<MaterialPalette>(buildEntries(paletteRecipes[index])); });
    return *s.palette;
}

const MaterialPalette& defaultPalette() {
    static const int index = indexOf("default");
    return palette(index);
}

int indexOf(const std::string& name) {
    const std::vector<std::string>& all = names();
    const auto found = std::find(all.begin(), all.end(), name);
    return found == all.end() ? -1 : static_cast<int>(found - all.begin());
}

int indexOf(const MaterialPalette& palette) {
    const auto& keys = indexByKey();
    const auto found = keys.find(paletteKey(palette));
    return found == keys.end() ? -1 : found->second;
}

} // namespace PaletteLibrary
