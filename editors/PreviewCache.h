#pragma once
// Rendered previews of palette entries kept by material, style and cell
// size, so that a palette grid redraws only the cells whose material it has
// not shown before, and a material that fills several cells of one size is
// rendered once.

#include <fxdefs.h>

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace FX {
class FXApp;
}

class MaterialPalette;

class PreviewCache {
public:
    // Forgets the previews of earlier grids when it keeps more than
    // `capacity` besides those of the grid just composed.
    explicit PreviewCache(std::size_t capacity = 1024) : capacity(capacity) {}

    // The pixels of the palette's 16 x 16 grid of previews (as
    // drawPaletteCells draws them), top row first. Previews not kept are
    // rendered together in one off-screen pass. False when the display offers
    // no off-screen buffer.
    bool paletteGrid(FX::FXApp* app, const MaterialPalette& palette, bool enabled, int width, int height,
                     std::vector<FX::FXColor>& pixels);

    // The previews the last composition had to render.
    int renderedLastTime() const { return rendered; }

private:
    struct Preview {
        std::vector<FX::FXColor> pixels;
        unsigned lastUse = 0;
    };

    std::size_t capacity;
    std::unordered_map<std::string, Preview> previews;
    unsigned composition = 0;
    int rendered = 0;
};
