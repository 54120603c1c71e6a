#include "interpretation/GLColorer_Material.h"

#include <GL/gl.h>

#include <cstdlib>

namespace {

// Palette entry for a computed index: truncated towards zero and clamped to
// 0..255 (a NaN, from an empty string, gives 0).
const GLMaterial& entry(const MaterialPalette& palette, double index) {
    if (!(index > 0.0)) return palette[0];
    if (index >= MaterialPalette::size - 1) return palette[MaterialPalette::size - 1];
    return palette[static_cast<int>(index)];
}

} // namespace

void GLColorer_Material::applyMaterial() const {
    if (myMaterial.flat) {
        glShadeModel(GL_FLAT);
        glDisable(GL_LIGHTING);
        glColor3fv(myMaterial.diffuse);
        return;
    }
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glMaterialfv(GL_FRONT, GL_AMBIENT, myMaterial.ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, myMaterial.diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, myMaterial.specular);
    glMaterialfv(GL_FRONT, GL_EMISSION, myMaterial.emission);
    glMaterialf(GL_FRONT, GL_SHININESS, myMaterial.shininess);
}

void GLColorer_Material::applyColour() const { glColor3fv(myMaterial.diffuse); }

GLMaterial pickMaterial(const ShapeDef& shape, std::size_t atomIndex, std::size_t atomCount, int /*interpretedCount*/,
                        int colourIndex) {
    const double min = shape.minColor;
    const double max = shape.maxColor;
    switch (shape.coloringType) {
    case ColoringMode::PaletteIndex:
        return entry(shape.palette, static_cast<double>(colourIndex) + shape.indexOffset);
    case ColoringMode::PaletteRandom: {
        // The C library's rand may reach far beyond 32767 (glibc: 2^31 - 1);
        // the reduction keeps r in 0..32767 so that min..max is the range.
        const int r = std::rand() % 32768;
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
