#include "materials/MaterialPalette.h"

#include "materials/MaterialCode.h"
#include "materials/PaletteLibrary.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// Walks the ":"-separated tokens of a text. A trailing ":" ends the text
// rather than starting an empty token.
class TokenReader {
public:
    explicit TokenReader(const std::string& text) : myText(text) {}

    bool next(std::string& token) {
        if (myPos >= myText.size()) return false;
        const std::size_t end = std::min(myText.find(':', myPos), myText.size());
        token.assign(myText, myPos, end - myPos);
        myPos = end + 1;
        return true;
    }

private:
    const std::string& myText;
    std::size_t myPos = 0;
};

// The decimal integer at the start of a token; a non-number counts as 0.
long materialCount(const std::string& token) { return std::strtol(token.c_str(), nullptr, 10); }

} // namespace

MaterialPalette::MaterialPalette() : myEntries(PaletteLibrary::defaultPalette().myEntries) {}

void MaterialPalette::setDefault() { myEntries = PaletteLibrary::defaultPalette().myEntries; }

std::string MaterialPalette::fullText() const {
    std::string text = "1:256";
    text.reserve(6 + size * 36);
    for (const GLMaterial& material : myEntries) {
        text += ':';
        appendMaterialText(text, encodeMaterial(material));
    }
    return text;
}

std::string MaterialPalette::text() const {
    const int index = PaletteLibrary::indexOf(*this);
    if (index < 0) return fullText();
    const std::string& name = PaletteLibrary::name(index);
    return name == "default" ? std::string() : "1:d:" + name;
}

bool MaterialPalette::read(const std::string& text) {
    TokenReader tokens(text);
    std::string token;
    if (!tokens.next(token) || token != "1") return false;

    std::string second;
    tokens.next(second);
    if (!second.empty() && (second[0] == 'd' || second[0] == 'D')) {
        std::string name;
        tokens.next(name);
        const int index = PaletteLibrary::indexOf(name);
        if (index < 0) throw UnknownPaletteException(name);
        myEntries = PaletteLibrary::palette(index).myEntries;
        return true;
    }

    // Read into a copy so that a malformed material leaves the palette as it was.
    Entries entries{};
    const long count = std::min<long>(materialCount(second), size);
    for (long i = 0; i < count && tokens.next(token); ++i) {
        std::istringstream in(token);
        in >> entries[i];
    }
    myEntries = entries;
    return true;
}

bool operator==(const MaterialPalette& a, const MaterialPalette& b) { return a.entries() == b.entries(); }

bool operator!=(const MaterialPalette& a, const MaterialPalette& b) { return !(a == b); }
