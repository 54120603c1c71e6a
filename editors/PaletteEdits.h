#pragma once
// The palette editor's operations on a selection of entries (indices in
// ascending order, each 0-255).

#include "materials/MaterialPalette.h"

#include <string>
#include <vector>

namespace PaletteEdits {

using Selection = std::vector<int>;

// Interpolates every selected entry between the first and the last selected
// one by its position in the selection: the four colours, the shininess and
// the alphas; the flat flag follows the nearer end.
void gradient(MaterialPalette& palette, const Selection& selection);
// Reverses the order of the selected entries.
void reverse(MaterialPalette& palette, const Selection& selection);
// Moves each selected entry `by` places forward among the selection,
// wrapping around.
void rotate(MaterialPalette& palette, const Selection& selection, int by);

void setAlpha(MaterialPalette& palette, const Selection& selection, float alpha); // the diffuse alpha
void setShininess(MaterialPalette& palette, const Selection& selection, float shininess);
// Ambient colour = diffuse colour times factor (alpha copied).
void ambientFromDiffuse(MaterialPalette& palette, const Selection& selection, float factor);

// One entry as a material text, several as the palette text "1:N:...".
std::string copy(const MaterialPalette& palette, const Selection& selection);
// Writes the materials of a material or palette text into the entries from
// `at` on, stopping after entry 255. Returns the number written, or -1
// (nothing changed) when the text is neither.
int paste(MaterialPalette& palette, int at, const std::string& text);

} // namespace PaletteEdits
