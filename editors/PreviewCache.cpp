#include "editors/PreviewCache.h"

#include "editors/MaterialPreview.h"
#include "materials/MaterialPalette.h"

#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

// The exact material (its bytes, not its rounded text), the style and the
// cell size: everything a preview's pixels depend on.
std::string keyOf(const GLMaterial& material, bool enabled, const PaletteCell& cell) {
    std::string key(reinterpret_cast<const char*>(&material), sizeof(GLMaterial));
    // The padding after the flag is not part of the value.
    key.resize(offsetof(GLMaterial, flat));
    key += material.flat ? '1' : '0';
    key += enabled ? '1' : '0';
    key.append(reinterpret_cast<const char*>(&cell.width), sizeof(int));
    key.append(reinterpret_cast<const char*>(&cell.height), sizeof(int));
    return key;
}

} // namespace

bool PreviewCache::paletteGrid(FX::FXApp* app, const MaterialPalette& palette, bool enabled, int width, int height,
                               std::vector<FX::FXColor>& pixels) {
    ++composition;
    rendered = 0;
    std::vector<std::string> keys(MaterialPalette::size);
    std::vector<int> missing;
    for (int index = 0; index < MaterialPalette::size; ++index) {
        const PaletteCell cell = paletteCell(index, width, height);
        keys[index] = keyOf(palette[index], enabled, cell);
        Preview& preview = previews[keys[index]];
        if (preview.lastUse == 0) missing.push_back(index);
        preview.lastUse = composition;
    }

    if (!missing.empty()) {
        std::vector<FX::FXColor> drawn;
        if (!OffscreenPreview::render(
                app, width, height, [&](int w, int h) { drawPaletteCells(palette, missing, enabled, w, h); }, drawn)) {
            for (int index : missing) previews.erase(keys[index]);
            return false;
        }
        for (int index : missing) {
            const PaletteCell cell = paletteCell(index, width, height);
            Preview& preview = previews[keys[index]];
            preview.pixels.resize(static_cast<std::size_t>(cell.width) * cell.height);
            for (int row = 0; row < cell.height && cell.width > 0; ++row)
                std::memcpy(preview.pixels.data() + static_cast<std::size_t>(row) * cell.width,
                            drawn.data() + static_cast<std::size_t>(cell.y + row) * width + cell.x,
                            sizeof(FX::FXColor) * cell.width);
        }
        rendered = static_cast<int>(missing.size());
    }

    pixels.assign(static_cast<std::size_t>(width) * height, FXRGB(0, 0, 0));
    for (int index = 0; index < MaterialPalette::size; ++index) {
        const PaletteCell cell = paletteCell(index, width, height);
        const Preview& preview = previews[keys[index]];
        // A grid smaller than 16 pixels a side has cells without width.
        for (int row = 0; row < cell.height && cell.width > 0; ++row)
            std::memcpy(pixels.data() + static_cast<std::size_t>(cell.y + row) * width + cell.x,
                        preview.pixels.data() + static_cast<std::size_t>(row) * cell.width,
                        sizeof(FX::FXColor) * cell.width);
    }

    if (previews.size() > capacity + MaterialPalette::size) {
        for (auto it = previews.begin(); it != previews.end();)
            it = it->second.lastUse == composition ? std::next(it) : previews.erase(it);
    }
    return true;
}
