// Feeds arbitrary bytes to the four palette readers, and a successfully read
// colour list to a palette. Failures must be DescribedExceptions; anything
// else (a crash, a sanitizer report, another exception) is a finding.

#include <cstddef>
#include <cstdint>
#include <string>

#include "diagnostics/Exceptions.h"
#include "materials/PaletteImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (int format = PaletteImport::FormatGimp; format <= PaletteImport::FormatMicrosoft; ++format) {
        try {
            const ColorList colors = PaletteImport::parse(bytes, format, "fuzz");
            MaterialPalette palette;
            PaletteImport::apply(colors, palette);
        } catch (const DescribedException&) {}
    }
    return 0;
}
