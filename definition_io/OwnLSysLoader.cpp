#include "definition_io/OwnLSysLoader.h"

#include "lsys/Expressions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "definition_io/DefinitionWriter.h"
#include "definition_io/ParameterList.h"
#include "diagnostics/Blanks.h"
#include "diagnostics/Exceptions.h"
#include "options/TextConvert.h"

namespace {

enum class Kind { Comment, Name, Axiom, Rule, Definition, Shape, Light, Camera, Tweak, Environment, Ignore, Unknown };

Kind kindOf(const std::string& key) {
    static const std::map<std::string, Kind> kinds = {
        {"Name", Kind::Name},
        {"name", Kind::Name},
        {"n", Kind::Name},
        {"Axiom", Kind::Axiom},
        {"axiom", Kind::Axiom},
        {"a", Kind::Axiom},
        {"Rule", Kind::Rule},
        {"rule", Kind::Rule},
        {"r", Kind::Rule},
        {"Def", Kind::Definition},
        {"definition", Kind::Definition},
        {"def", Kind::Definition},
        {"d", Kind::Definition},
        {"ShapeDef", Kind::Shape},
        {"shapedef", Kind::Shape},
        {"shape", Kind::Shape},
        {"shp", Kind::Shape},
        {"s", Kind::Shape},
        {"LightDef", Kind::Light},
        {"lightdef", Kind::Light},
        {"light", Kind::Light},
        {"l", Kind::Light},
        {"CameraDef", Kind::Camera},
        {"cameradef", Kind::Camera},
        {"camera", Kind::Camera},
        {"c", Kind::Camera},
        {"Tweak", Kind::Tweak},
        {"tweak", Kind::Tweak},
        {"t", Kind::Tweak},
        {"Environment", Kind::Environment},
        {"environment", Kind::Environment},
        {"env", Kind::Environment},
        {"e", Kind::Environment},
        {"Ignore", Kind::Ignore},
        {"ignore", Kind::Ignore},
        {"i", Kind::Ignore},
    };
    if (!key.empty() && key[0] == '#') {
        return Kind::Comment;
    }
    const auto found = kinds.find(key);
    return found == kinds.end() ? Kind::Unknown : found->second;
}

void addError(tov::ErrorHandler& handler, const std::string& text) { handler.add(std::make_unique<Error>(text, -1)); }

void addWarning(tov::ErrorHandler& handler, const std::string& text) {
    handler.add(std::make_unique<Warning>(text, -1));
}

// Splits at every separator; empty fields are kept.
std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end = text.find(separator); end != std::string::npos; end = text.find(separator, start)) {
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

// A decimal of a definition file. A value too large for a float reads as
// infinite, which could not be written back: it counts as no number.
float toDecimal(const std::string& text) {
    const float value = TextConvert::toFloat(text);
    if (!std::isfinite(value)) {
        throw NumberFormatException();
    }
    return value;
}

std::string countWord(std::size_t count) { return count == 3 ? "three" : count == 4 ? "four" : std::to_string(count); }

// Reads the values of one element (a shape's symbol, "light", "camera",
// "tweak") from its parameter table. A key that is absent leaves the field as
// it is; a value that cannot be read is reported as an error naming the
// element and the key. Each reader tells whether it stored a value.
class ValueReader {
public:
    ValueReader(tov::ErrorHandler& handler, std::string element, const ParameterTable& table)
        : myHandler(handler), myElement(std::move(element)), myTable(table) {}

    // The value text of the key, or null.
    const std::string* find(const std::string& key) const {
        const auto found = myTable.find(key);
        return found == myTable.end() ? nullptr : &found->second;
    }

    bool readBool(const char* key, bool& field) const {
        const std::string* value = find(key);
        if (value == nullptr) {
            return false;
        }
        if (value->empty()) {
            complain(key, "must have a boolean value (t/f)");
            field = false;
            return false;
        }
        field = TextConvert::toBool(*value);
        return true;
    }

    bool readInteger(const char* key, std::int32_t& field) const {
        return readNumber(key, field, "must be a integer value", "must have an integer value",
                          [](const std::string& text) { return TextConvert::toInt(text); });
    }

    bool readDecimal(const char* key, double& field) const {
        return readNumber(key, field, "must be a floating point value", "must have an floating point value", toDecimal);
    }

    // An index into the names of the enumeration, or one of the names.
    template <class Enum>
    bool readChoice(const char* key, Enum& field) const {
        const std::string* value = find(key);
        if (value == nullptr) {
            return false;
        }
        try {
            const std::int32_t index = TextConvert::toInt(*value);
            if (index >= 0 && index < enumCount<Enum>()) {
                field = static_cast<Enum>(index);
                return true;
            }
        } catch (const EmptyData&) {
        } catch (const NumberFormatException&) {}
        if (enumFromName(*value, field)) {
            return true;
        }
        addError(myHandler,
                 "In definition of '" + myElement + "': '" + *value + "' is an invalid value for '" + key + "'.");
        field = static_cast<Enum>(0);
        return false;
    }

    // Exactly N decimals separated by ",". A wrong count stores nothing; a
    // value that is no number leaves the values read before it.
    template <class T, std::size_t N>
    bool readList(const char* key, std::array<T, N>& field) const {
        const std::string* value = find(key);
        if (value == nullptr) {
            return false;
        }
        const std::string complaint = "must contain " + countWord(N) + " floating point values";
        const std::vector<std::string> items = split(*value, ',');
        if (items.size() != N) {
            complain(key, complaint);
            return false;
        }
        for (std::size_t i = 0; i < N; ++i) {
            try {
                field[i] = static_cast<T>(toDecimal(TextConvert::trim(items[i])));
            } catch (const EmptyData&) {
                complain(key, complaint);
                return false;
            } catch (const NumberFormatException&) {
                complain(key, complaint);
                return false;
            }
        }
        return true;
    }

    // Reports a value that cannot be read.
    void complain(const char* key, const char* complaint) const {
        addError(myHandler, "In definition of '" + myElement + "': '" + key + "' " + complaint);
    }
    void complain(const char* key, const std::string& complaint) const { complain(key, complaint.c_str()); }

private:
    template <class T, class Reader>
    bool readNumber(const char* key, T& field, const char* notANumber, const char* empty, Reader read) const {
        const std::string* value = find(key);
        if (value == nullptr) {
            return false;
        }
        try {
            field = read(*value);
            return true;
        } catch (const NumberFormatException&) {
            complain(key, notANumber);
        } catch (const EmptyData&) {
            complain(key, empty);
        }
        field = T();
        return false;
    }

    tov::ErrorHandler& myHandler;
    std::string myElement;
    const ParameterTable& myTable;
};

using Report = void (*)(tov::ErrorHandler&, const std::string&);

// The parameter table of the text, or none after reporting the message.
std::optional<ParameterTable> readTable(tov::ErrorHandler& handler, const std::string& text, Report report,
                                        const std::string& message) {
    try {
        return parseParameterList(text);
    } catch (const BrokenParameterListException&) {
        report(handler, message);
        return std::nullopt;
    }
}

bool readRule(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::vector<std::string>& fields) {
    const std::string probabilityText = TextConvert::trim(fields[1]);
    float probability = 1.0f;
    if (!probabilityText.empty()) {
        try {
            probability = toDecimal(probabilityText);
        } catch (const NumberFormatException&) {
            addError(handler, "A rule has a not numeric probability");
            return false;
        }
    }
    definition.addRule(probability, TextConvert::trim(fields[2]), TextConvert::trim(fields[3]),
                       TextConvert::trim(fields[4]), TextConvert::trim(fields[5]), TextConvert::trim(fields[6]));
    return true;
}

bool readConstant(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::vector<std::string>& fields) {
    const std::string name = TextConvert::trim(fields[1]);
    const std::string value = TextConvert::trim(fields[2]);
    try {
        // A special variable is computed with as an expression. A number
        // beyond the float range would count as absent; one that the
        // expression parser reads otherwise ("2,0" is 0 there) is stored as
        // the number the reader read.
        std::string stored = value;
        if (definition.isReserved(name)) {
            const double number = TextConvert::toFloat(value);
            if (!std::isfinite(number)) throw NumberFormatException();
            double computed = number + 1.0;
            try {
                computed = Expression(value).evaluate(VariableValueMap());
            } catch (const mu::ParserError&) {}
            if (!(std::fabs(computed - number) <= 1e-6 * std::max(1.0, std::fabs(number))))
                stored = TextConvert::toString(number);
        }
        definition.addConstant(name, stored);
        return true;
    } catch (const NumberFormatException&) {
        addError(handler, "'" + name + "' must be a numerical value!");
    } catch (const EmptyData&) {
        addError(handler, "'" + name + "' must have a numerical value!");
    }
    return false;
}

void readMaterial(tov::ErrorHandler& handler, const std::string& symbol, const std::string& text,
                  GLMaterial& material) {
    std::istringstream in(text);
    std::string token;
    in >> token;
    try {
        material.read(token);
    } catch (const OutOfRangeError&) {
        addError(handler, "Broken material in definition of " + symbol);
    }
}

void readPalette(tov::ErrorHandler& handler, const std::string& symbol, const std::string& text,
                 MaterialPalette& palette) {
    if (text.empty()) {
        return; // the empty text stands for the default palette
    }
    try {
        if (!palette.read(text)) {
            addError(handler, "Broken palette in definition of " + symbol);
        }
    } catch (const UnknownPaletteException&) {
        addWarning(handler, "Unknown palette in definition of " + symbol + "\n using default");
    } catch (const OutOfRangeError&) {
        addError(handler, "Broken palette in definition of " + symbol);
    }
}

bool readShape(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::string& valueText,
               std::vector<std::string>& keys) {
    const std::size_t begin = std::min(valueText.find_first_not_of(blankCharacters), valueText.size());
    const std::size_t end = valueText.find_first_of(blankCharacters, begin);
    const std::string symbol = valueText.substr(begin, end - begin);
    const std::string message = "Broken definition of shape " + symbol;
    if (end == std::string::npos) { // a symbol without a parameter list
        addError(handler, message);
        return false;
    }
    const std::optional<ParameterTable> table = readTable(handler, valueText.substr(end), addError, message);
    if (!table) {
        return false;
    }

    ShapeDef shape;
    const ValueReader values(handler, symbol, *table);
    values.readBool("visible", shape.visible);
    values.readBool("terminal", shape.interpreted);
    values.readBool("interpreted", shape.interpreted);
    values.readBool("move", shape.move);
    values.readChoice("type", shape.type);
    values.readDecimal("length", shape.length);
    values.readDecimal("width", shape.width);
    values.readDecimal("width2", shape.width2);
    values.readDecimal("height", shape.height);
    values.readInteger("corners", shape.corners);
    values.readChoice("quality", shape.quality);
    values.readDecimal("innerWidth", shape.innerWidth);
    values.readBool("addLine", shape.addLine);
    values.readDecimal("rotX", shape.rotX);
    values.readDecimal("rotY", shape.rotY);
    values.readDecimal("rotZ", shape.rotZ);
    values.readDecimal("scaleX", shape.scaleX);
    values.readDecimal("scaleY", shape.scaleY);
    values.readDecimal("scaleZ", shape.scaleZ);
    values.readChoice("closing1", shape.closing1);
    values.readChoice("closing2", shape.closing2);
    values.readChoice("coloringType", shape.coloringType);
    if (const std::string* material = values.find("material")) {
        readMaterial(handler, symbol, *material, shape.material);
    }
    values.readInteger("indexOffset", shape.indexOffset);
    values.readInteger("minColor", shape.minColor);
    values.readInteger("maxColor", shape.maxColor);
    if (const std::string* palette = values.find("palette")) {
        readPalette(handler, symbol, *palette, shape.palette);
    }
    definition.setShapeDef(symbol, shape);
    keys.push_back("ShapeDef:" + symbol);
    return true;
}

void readLight(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::string& valueText) {
    const std::optional<ParameterTable> table =
        readTable(handler, valueText, addWarning, "Broken light definition, using default");
    if (!table) {
        return;
    }
    LightDef light;
    light.enabled = true;
    const ValueReader values(handler, "light", *table);
    values.readList("position", light.position);
    values.readList("ambient", light.ambient);
    values.readList("specular", light.specular);
    values.readList("diffuse", light.diffuse);
    definition.addLight(light);
}

void readCamera(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::string& valueText) {
    const std::optional<ParameterTable> table =
        readTable(handler, valueText, addWarning, "Broken camera definition, using default");
    if (!table) {
        return;
    }
    CameraDef camera;
    const ValueReader values(handler, "camera", *table);
    values.readList("matrix", camera.matrix);
    values.readInteger("mode", camera.mode);
    values.readList("center", camera.center);
    values.readList("rotation", camera.rotation);
    std::array<double, 1> distance{camera.distance};
    values.readList("distance", distance);
    camera.distance = distance[0];
    camera.set = values.find("center") != nullptr;
    definition.addCamera(camera);
}

// Adds the key of every tweak stored.
bool readTweaks(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::string& valueText,
                std::vector<std::string>& keys) {
    const std::optional<ParameterTable> table = readTable(handler, valueText, addError, "Broken definition of tweaks");
    if (!table) {
        return false;
    }
    const ValueReader values(handler, "tweak", *table);
    for (const char* key : {polyRecursionKey, polyFillTypeKey}) {
        std::int32_t number = 0;
        if (values.readInteger(key, number)) {
            definition.setTweak(key, TextConvert::toString(number));
            keys.push_back(std::string("Tweak:") + key);
        }
    }
    if (const std::string* text = values.find(tropismDirectionKey)) {
        const std::optional<std::array<double, 3>> direction = readTropismDirection(*text);
        if (direction && std::all_of(direction->begin(), direction->end(), [](double v) { return std::isfinite(v); })) {
            definition.setTweak(tropismDirectionKey, *text);
            keys.push_back(std::string("Tweak:") + tropismDirectionKey);
        } else {
            values.complain(tropismDirectionKey, "must contain three floating point values");
        }
    }
    double strength = 0.0;
    if (values.readDecimal(tropismStrengthKey, strength)) {
        definition.setTweak(tropismStrengthKey, TextConvert::toString(strength));
        keys.push_back(std::string("Tweak:") + tropismStrengthKey);
    }
    return true;
}

// True when the background colour was stored.
bool readEnvironment(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::string& valueText) {
    const std::optional<ParameterTable> table =
        readTable(handler, valueText, addWarning, "Broken environment definition, using default");
    if (!table) {
        return false;
    }
    const auto color = table->find(backgroundColorKey);
    if (color == table->end()) {
        return false;
    }
    if (color->second.size() < 6) {
        addWarning(handler, "Background color must be given as a hexadecimal value of 6 characters");
        return false;
    }
    definition.setEnvironment(backgroundColorKey, color->second);
    return true;
}

// Reads one line into the definition; false when the line failed. The keys
// of what the line defined are added (setReadLayout).
bool readLine(tov::ErrorHandler& handler, LSystemDefinition& definition, const std::string& line,
              std::vector<std::string>& keys) {
    const std::string trimmed = TextConvert::trim(line);
    if (trimmed.empty()) {
        return true;
    }
    const std::vector<std::string> fields = split(trimmed, ':');
    const std::size_t colon = trimmed.find(':');
    const std::string valueText = colon == std::string::npos ? std::string() : trimmed.substr(colon + 1);

    const Kind kind = kindOf(fields[0]);
    struct Minimum {
        Kind kind;
        std::size_t fields;
        const char* word;
    };
    static const Minimum minimums[] = {{Kind::Name, 2, "name"},
                                       {Kind::Axiom, 2, "axiom"},
                                       {Kind::Rule, 7, "rule"},
                                       {Kind::Definition, 3, "definition"}};
    for (const Minimum& minimum : minimums) {
        if (kind == minimum.kind && fields.size() < minimum.fields) {
            addError(handler, std::string("Missing parameter in ") + minimum.word + ": '" + line + "'");
            return false;
        }
    }

    // A list element is known by the growth of its list.
    const std::size_t lights = definition.getLights().size();
    const std::size_t cameras = definition.getCameras().size();
    switch (kind) {
    case Kind::Comment:
        return true;
    case Kind::Name:
        definition.setName(fields[1]);
        keys.push_back("Name");
        return true;
    case Kind::Axiom:
        definition.setAxiom(TextConvert::trim(fields[1]));
        keys.push_back("Axiom");
        return true;
    case Kind::Rule:
        if (!readRule(handler, definition, fields)) return false;
        keys.push_back("Rule");
        return true;
    case Kind::Definition:
        if (!readConstant(handler, definition, fields)) return false;
        keys.push_back("Def:" + TextConvert::trim(fields[1]).substr(0, TextConvert::trim(fields[1]).find('(')));
        return true;
    case Kind::Shape:
        return readShape(handler, definition, valueText, keys);
    case Kind::Light:
        readLight(handler, definition, valueText);
        if (definition.getLights().size() > lights) keys.push_back("LightDef");
        return true;
    case Kind::Camera:
        readCamera(handler, definition, valueText);
        if (definition.getCameras().size() > cameras) keys.push_back("CameraDef");
        return true;
    case Kind::Tweak:
        return readTweaks(handler, definition, valueText, keys);
    case Kind::Environment:
        if (readEnvironment(handler, definition, valueText))
            keys.push_back(std::string("Environment:") + backgroundColorKey);
        return true;
    case Kind::Ignore:
        definition.addIgnored(TextConvert::trim(valueText));
        keys.push_back("Ignore");
        return true;
    case Kind::Unknown:
        break;
    }
    addError(handler, "Unknown element occured: " + fields[0]);
    return false;
}

} // namespace

std::unique_ptr<LSystemDefinition> OwnLSysLoader::load(tov::ErrorHandler& handler, const std::string& /*fileName*/,
                                                       const std::string& text) {
    auto definition = std::make_unique<LSystemDefinition>();
    bool succeeded = true;
    FileLayout layout;
    std::vector<std::string> others; // comment, blank and other lines that define nothing
    // A line ends at a line feed, a carriage return, or both in this order.
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string line = text.substr(start, end - start);
        std::vector<std::string> keys;
        succeeded = readLine(handler, *definition, line, keys) && succeeded;
        if (keys.empty()) {
            others.push_back(line);
        } else {
            layout.entries.push_back(FileLayout::Entry{std::move(others), std::move(keys), line, ""});
            others.clear();
        }
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    if (!succeeded || handler.hasErrors()) {
        return nullptr;
    }
    layout.after = std::move(others);
    setReadLayout(*definition, std::move(layout));
    return definition;
}
