#include "interpretation/GLColorer_Material.h"

namespace {

// Palette entry for a computed index: truncated towards zero and clamped to
// 0..255 (a NaN, from an empty string, gives 0).
const GLMaterial& entry(const MaterialPalette& palette, double index) {
    if (!(index > 0.0)) return palette[0];
    if (index >= MaterialPalette::size - 1) return palette[MaterialPalette::size - 1];
    return palette[static_cast<int>(index)];
}

} // namespace

GLMaterial pickMaterial(const ShapeDef& shape, std::size_t atomIndex, std::size_t atomCount, int /*interpretedCount*/,
                        int colourIndex, ColourRandom& random) {
    const double min = shape.minColor;
    const double max = shape.maxColor;
    switch (shape.coloringType) {
    case ColoringMode::PaletteIndex:
        return entry(shape.palette, static_cast<double>(colourIndex) + shape.indexOffset);
    case ColoringMode::PaletteRandom: {
        // The generator reaches far beyond 32767 (up to 2^31 - 1); the
        // reduction keeps r in 0..32767 so that min..max is the range.
        const int r = random.next() % 32768;
        return entry(shape.palette, min + (r / 32767.0) * (max - min));
    }
    case ColoringMode::PaletteIterate:
        return entry(shape.palette,
                     (max - min) / static_cast<double>(atomCount) * static_cast<double>(atomIndex) + min);
    case ColoringMode::Single:
    default:
        return shape.material;
    }
}
