#pragma once
// The lit sphere that stands for a material in the swatches, the material
// dialog and the palette editor, drawn with OpenGL into the current context,
// and an off-screen buffer for drawing it where no GL window is at hand.

#include "materials/GLMaterial.h"

#include <fxdefs.h>

#include <functional>
#include <vector>

namespace FX {
class FXApp;
}

struct PreviewStyle {
    bool chequered = false; // a chequer behind the sphere shows transparency
    bool disabled = false;  // grey background and greyed colours
};

// Transparent materials are shown on the chequer.
PreviewStyle previewStyleFor(const GLMaterial& material, bool enabled);

// Draws the preview scene into the viewport (x, y, width, height) of the
// current GL context: white clear, 30 degree perspective, camera at
// (0, 0, 10), light 0 at (-15, 15, 15), a background square and the unit
// sphere of the table with `segments` segments scaled by 2.2.
void drawMaterialPreview(const GLMaterial& material, const PreviewStyle& style, int x, int y, int width, int height,
                         int segments = 64);

namespace OffscreenPreview {

// Calls draw(width, height) with a GL context current on an off-screen
// buffer of the application's display and returns its pixels, top row first,
// as FOX colours. Returns false when the display offers no such buffer.
bool render(FX::FXApp* app, int width, int height, const std::function<void(int, int)>& draw,
            std::vector<FX::FXColor>& pixels);

} // namespace OffscreenPreview

class MaterialPalette;

// The place of a palette entry in a 16 x 16 grid of width x height pixels,
// entry 0 top left, row by row; y counts from the top.
struct PaletteCell {
    int x, y, width, height;
};
PaletteCell paletteCell(int index, int width, int height);

// Draws the previews of the listed palette entries at their cells of a
// 16 x 16 grid in a viewport of width x height at the origin, the rest of
// which is black.
void drawPaletteCells(const MaterialPalette& palette, const std::vector<int>& indices, bool enabled, int width,
                      int height);
