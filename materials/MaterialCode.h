#pragma once
// The values a material text is made of: the 16 colour bytes in text order
// (ambient, diffuse, emission, specular), the low byte of the shininess and
// the flat flag. Two materials have equal codes exactly when they have equal
// texts, so palettes can be compared as texts without building the texts.

#include "materials/GLMaterial.h"

#include <array>
#include <string>

using MaterialCode = std::array<unsigned char, 18>;

MaterialCode encodeMaterial(const GLMaterial& material);
// Appends the 35-character text of the code.
void appendMaterialText(std::string& text, const MaterialCode& code);
// The material whose text the code stands for, as the material reader
// would read it.
GLMaterial decodeMaterial(const MaterialCode& code);
