#pragma once
// Import of colour palettes written by other programs (GIMP, Photoshop,
// Fractint, Microsoft RIFF) into a material palette.

#include <cstdint>
#include <string>
#include <vector>

#include "materials/MaterialPalette.h"

// One imported colour, 16 bits per channel (an 8-bit value v is held as v * 256).
struct ImportedColor {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 65535;
};

using ColorList = std::vector<ImportedColor>;

namespace PaletteImport {

// Format numbers; also the order of the file dialog's patterns (minus one).
enum Format : int {
    FormatNone = 0,
    FormatGimp = 1,
    FormatPhotoshop = 2,
    FormatFractint = 3,
    FormatMicrosoft = 4,
    FormatHtml = 5
};

// The file dialog's pattern list, one pattern per line.
extern const char* const patternList;

// Number of a format name or file extension (any case); FormatNone when unknown.
int formatFromName(const std::string& name);

// Format chosen in the import dialog: pattern 0-3 selects formats 1-4, any
// other pattern ("All Files") takes the format from the file's extension.
// Throws DescribedException when that gives no known format.
int formatForPattern(int patternIndex, const std::string& path);

// Reads the palette file at path in the given format. Throws
// DescribedException (title and message for a message box) on failure.
ColorList importFile(const std::string& path, int format);

// Parses file content already in memory; path is only used in messages.
// Throws DescribedException on failure, like importFile.
ColorList parse(const std::string& data, int format, const std::string& path);

// Replaces the palette: every entry becomes a default material, then the
// first 256 colours become the diffuse colours of entries 0, 1, ...
void apply(const ColorList& colors, MaterialPalette& palette);

} // namespace PaletteImport
