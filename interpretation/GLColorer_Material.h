#pragma once
// Colouring: the material an occurrence of a symbol is drawn with, and a
// holder of one material.

#include "interpretation/ColourRandom.h"
#include "materials/GLMaterial.h"
#include "records/ShapeDef.h"

#include <cstddef>

class GLColorer_Material {
public:
    GLColorer_Material() = default;
    explicit GLColorer_Material(const GLMaterial& material) : myMaterial(material) {}
    virtual ~GLColorer_Material() = default;

    const GLMaterial& material() const { return myMaterial; }
    void setMaterial(const GLMaterial& material) { myMaterial = material; }

private:
    GLMaterial myMaterial;
};

// The material of one occurrence of a symbol, by the shape's colouring type:
// single - the shape's material;
// palette_index - palette[colourIndex + indexOffset];
// palette_random - palette[trunc(min + r / 32767.0 * (max - min))] with r the
//   next value of random reduced to 0..32767 (the interpreter seeds it);
// palette_iterate - palette[trunc((max - min) / atomCount * atomIndex + min)].
// Palette indices outside 0..255 are clamped to the nearest entry.
// interpretedCount takes no part in any colouring type.
GLMaterial pickMaterial(const ShapeDef& shape, std::size_t atomIndex, std::size_t atomCount, int interpretedCount,
                        int colourIndex, ColourRandom& random);
