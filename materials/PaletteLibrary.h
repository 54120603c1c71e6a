#pragma once
// The built-in library of named palettes: an ordered, read-only table whose
// names are slash-separated paths ("gradients/glossy/rainbow"). Look-ups scan
// it in order and take the first match. Each palette is built once, on first
// use; every function may be called from any thread.

#include "materials/MaterialPalette.h"

#include <string>

namespace PaletteLibrary {

int count();
// Index 0 <= index < count(); other indices raise OutOfRangeException.
const std::string& name(int index);
const MaterialPalette& palette(int index);
// The palette "default".
const MaterialPalette& defaultPalette();

// The index of the palette with this name, or -1.
int indexOf(const std::string& name);
// The index of the first palette whose full text equals that of the given
// palette, or -1.
int indexOf(const MaterialPalette& palette);

} // namespace PaletteLibrary
