#include "records/ShapeDef.h"

#include <locale>
#include <sstream>

namespace {

// Builds "key=value, key=value, ..." with numbers in the default stream
// notation, independent of the global locale.
class ItemWriter {
public:
    ItemWriter() { myOut.imbue(std::locale::classic()); }

    template <class T>
    void item(const char* key, const T& value) {
        if (myOut.tellp() > 0) myOut << ", ";
        myOut << key << '=' << value;
    }
    template <class T>
    void itemIfChanged(const char* key, const T& value, const T& defaultValue) {
        if (value != defaultValue) item(key, value);
    }
    template <class Enum>
    void enumIfChanged(const char* key, Enum value, Enum defaultValue) {
        if (value != defaultValue) item(key, enumName(value));
    }
    void boolIfChanged(const char* key, bool value, bool defaultValue) {
        if (value != defaultValue) item(key, value ? 1 : 0);
    }
    std::string text() const { return myOut.str(); }

private:
    std::ostringstream myOut;
};

} // namespace

ShapeDef ShapeDef::forNewSymbol(const std::string& symbolName) {
    ShapeDef shape;
    const char first = symbolName.empty() ? '\0' : symbolName[0];
    shape.interpreted = first == 'F' || first == 'G' || first == 'f' || first == 'g';
    shape.visible = first == 'F' || first == 'G';
    return shape;
}

std::string ShapeDef::toText() const {
    static const ShapeDef defaults;
    ItemWriter out;
    out.item("visible", visible ? 1 : 0);
    out.item("interpreted", interpreted ? 1 : 0);
    out.enumIfChanged("type", type, defaults.type);
    out.boolIfChanged("move", move, defaults.move);
    out.itemIfChanged("length", length, defaults.length);
    out.itemIfChanged("width", width, defaults.width);
    out.itemIfChanged("width2", width2, defaults.width2);
    out.itemIfChanged("height", height, defaults.height);
    out.itemIfChanged("corners", corners, defaults.corners);
    out.enumIfChanged("quality", quality, defaults.quality);
    out.itemIfChanged("innerWidth", innerWidth, defaults.innerWidth);
    out.itemIfChanged("rotX", rotX, defaults.rotX);
    out.itemIfChanged("rotY", rotY, defaults.rotY);
    out.itemIfChanged("rotZ", rotZ, defaults.rotZ);
    out.itemIfChanged("scaleX", scaleX, defaults.scaleX);
    out.itemIfChanged("scaleY", scaleY, defaults.scaleY);
    out.itemIfChanged("scaleZ", scaleZ, defaults.scaleZ);
    out.boolIfChanged("addLine", addLine, defaults.addLine);
    out.enumIfChanged("closing1", closing1, defaults.closing1);
    out.enumIfChanged("closing2", closing2, defaults.closing2);
    out.enumIfChanged("coloringType", coloringType, defaults.coloringType);
    if (material != defaults.material) out.item("material", material.text());
    out.itemIfChanged("indexOffset", indexOffset, defaults.indexOffset);
    out.itemIfChanged("minColor", minColor, defaults.minColor);
    out.itemIfChanged("maxColor", maxColor, defaults.maxColor);
    const std::string paletteText = palette.text();
    if (!paletteText.empty()) out.item("palette", paletteText);
    return out.text();
}

bool operator==(const ShapeDef& a, const ShapeDef& b) { return a.toText() == b.toText(); }
