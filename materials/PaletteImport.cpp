#include "materials/PaletteImport.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "diagnostics/Blanks.h"
#include "diagnostics/Exceptions.h"

namespace PaletteImport {

const char* const patternList = "GIMP Palette  (*.gpl)\n"
                                "Adobe Photoshop Palette  (*.aco)\n"
                                "Fractint  (*.map)\n"
                                "Microsoft  (*.pal)\n"
                                "All Files (*.*)";

namespace {

const char* const gimpTitle = "Error on parsing GIMP palette";
const char* const fractintTitle = "Error on parsing Fractint palette";
const char* const photoshopTitle = "Error on parsing Photoshop palette";
const char* const microsoftTitle = "Error on parsing Microsoft palette";

std::string quoted(const std::string& path) { return "\n'" + path + "'."; }

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isBlank(char c) { return c != '\0' && std::strchr(blankCharacters, c) != nullptr; }

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        std::size_t end = pos;
        while (end < line.size() && !isBlank(line[end])) ++end;
        if (end > pos) fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

// Lines cut at line feeds and carriage returns, so that files written on any
// platform split alike; a CR LF pair gives an empty line in between.
std::vector<std::string> splitLines(const std::string& data) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= data.size(); ++i) {
        if (i == data.size() || data[i] == '\n' || data[i] == '\r') {
            lines.push_back(data.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

// A decimal channel value with an optional sign. Values outside 0-255 are
// clamped so that they cannot wrap around in the 16-bit channel.
bool readChannel(const std::string& text, std::uint16_t& channel) {
    std::size_t pos = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (pos == text.size()) return false;
    long value = 0;
    for (; pos < text.size(); ++pos) {
        if (!std::isdigit(static_cast<unsigned char>(text[pos]))) return false;
        value = std::min(value * 10 + (text[pos] - '0'), 100000L);
    }
    if (text[0] == '-') value = -value;
    channel = static_cast<std::uint16_t>(std::clamp(value, 0L, 255L) * 256);
    return true;
}

bool isBlankLine(const std::string& line) { return std::all_of(line.begin(), line.end(), isBlank); }

ColorList parseGimp(const std::string& data, const std::string& path) {
    const std::vector<std::string> lines = splitLines(data);
    if (lines[0].compare(0, 12, "GIMP Palette") != 0)
        throw DescribedException(gimpTitle, "Found mismatching header in" + quoted(path));
    ColorList colors;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (isBlankLine(line) || line[0] == '#') continue;
        const std::string lower = lowerCase(line);
        // The palette's name and column count do not matter for materials.
        if (lower.compare(0, 5, "name:") == 0 || lower.compare(0, 8, "columns:") == 0) continue;
        const std::vector<std::string> fields = splitFields(line);
        if (fields.size() < 3)
            throw DescribedException(gimpTitle, "Broken entry (missing components) found in" + quoted(path));
        ImportedColor color;
        if (!readChannel(fields[0], color.red) || !readChannel(fields[1], color.green) ||
            !readChannel(fields[2], color.blue))
            throw DescribedException(gimpTitle, "Invalid number found in" + quoted(path));
        colors.push_back(color);
    }
    return colors;
}

ColorList parseFractint(const std::string& data, const std::string& path) {
    ColorList colors;
    for (const std::string& line : splitLines(data)) {
        const std::vector<std::string> fields = splitFields(line.substr(0, line.find('#')));
        if (fields.size() < 3) continue;
        ImportedColor color;
        if (!readChannel(fields[0], color.red) || !readChannel(fields[1], color.green) ||
            !readChannel(fields[2], color.blue))
            throw DescribedException(fractintTitle, "A component in a RGB-triplet is not numeric in" + quoted(path));
        colors.push_back(color);
    }
    return colors;
}

// Bounds-checked reading of the binary formats: every read reports whether
// the data held enough bytes, and nothing is read past the end.
class ByteReader {
public:
    explicit ByteReader(const std::string& data) : myData(data) {}

    std::size_t remaining() const { return myData.size() - myPos; }

    bool skip(std::size_t count) {
        if (count > remaining()) return false;
        myPos += count;
        return true;
    }
    bool tag(const char* fourBytes) {
        if (remaining() < 4 || myData.compare(myPos, 4, fourBytes) != 0) return false;
        myPos += 4;
        return true;
    }
    bool bigEndian16(std::uint16_t& value) {
        if (remaining() < 2) return false;
        value = static_cast<std::uint16_t>(byte(0) << 8 | byte(1));
        myPos += 2;
        return true;
    }
    bool littleEndian16(std::uint16_t& value) {
        if (remaining() < 2) return false;
        value = static_cast<std::uint16_t>(byte(1) << 8 | byte(0));
        myPos += 2;
        return true;
    }
    bool littleEndian32(std::uint32_t& value) {
        if (remaining() < 4) return false;
        value = static_cast<std::uint32_t>(byte(3)) << 24 | static_cast<std::uint32_t>(byte(2)) << 16 |
                static_cast<std::uint32_t>(byte(1)) << 8 | byte(0);
        myPos += 4;
        return true;
    }
    bool byteValue(std::uint8_t& value) {
        if (remaining() < 1) return false;
        value = byte(0);
        myPos += 1;
        return true;
    }

private:
    std::uint8_t byte(std::size_t offset) const { return static_cast<std::uint8_t>(myData[myPos + offset]); }

    const std::string& myData;
    std::size_t myPos = 0;
};

ColorList parsePhotoshop(const std::string& data, const std::string& path) {
    // The reader has one message for content it cannot use; a truncated file
    // or a colour count larger than the data gets it too.
    const DescribedException unusable(photoshopTitle,
                                      "Palette file\n'" + path +
                                          "'\nuses an unsupported encoding.\nOnly RGB-palettes are supported.");
    ByteReader in(data);
    std::uint16_t version = 0;
    std::uint16_t count = 0;
    if (!in.bigEndian16(version) || !in.bigEndian16(count)) throw unusable;
    const std::size_t entrySize = version == 2 ? 14 : 10; // at least, for version 2
    if (static_cast<std::size_t>(count) * entrySize > in.remaining()) throw unusable;
    ColorList colors;
    colors.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t space = 0;
        std::uint16_t values[4] = {};
        if (!in.bigEndian16(space)) throw unusable;
        for (std::uint16_t& value : values)
            if (!in.bigEndian16(value)) throw unusable;
        if (space != 0) throw unusable;
        ImportedColor color;
        color.red = values[0];
        color.green = values[1];
        color.blue = values[2];
        colors.push_back(color);
        if (version == 2) {
            std::uint16_t zero = 0;
            std::uint16_t nameLength = 0;
            if (!in.bigEndian16(zero) || !in.bigEndian16(nameLength) ||
                !in.skip(2 * static_cast<std::size_t>(nameLength)))
                throw unusable;
        }
    }
    return colors;
}

ColorList parseMicrosoft(const std::string& data, const std::string& path) {
    auto fail = [&path](const std::string& text) {
        return DescribedException(microsoftTitle, text + " \n'" + path + "'.");
    };
    ByteReader in(data);
    std::uint32_t riffLength = 0;
    std::uint32_t chunkSize = 0;
    std::uint16_t version = 0;
    std::uint16_t count = 0;
    if (!in.tag("RIFF")) throw fail("False header in");
    if (!in.littleEndian32(riffLength) || !in.tag("PAL ")) throw fail("First entry is not a palette in");
    if (!in.tag("data")) throw fail("False data chunk in");
    if (!in.littleEndian32(chunkSize)) throw fail("Mismatching length in");
    if (!in.littleEndian16(version) || version != 0x0300) throw fail("Unsupported palette version in");
    if (!in.littleEndian16(count) || chunkSize != 4u * count + 4u ||
        4u * static_cast<std::size_t>(count) > in.remaining())
        throw fail("Mismatching length in");
    ColorList colors;
    colors.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
        in.byteValue(red);
        in.byteValue(green);
        in.byteValue(blue);
        in.byteValue(flags);
        ImportedColor color;
        color.red = static_cast<std::uint16_t>(red * 256);
        color.green = static_cast<std::uint16_t>(green * 256);
        color.blue = static_cast<std::uint16_t>(blue * 256);
        color.alpha = static_cast<std::uint16_t>(flags * 256);
        colors.push_back(color);
    }
    return colors;
}

const char* openFailureTitle(int format) {
    switch (format) {
    case FormatGimp:
        return gimpTitle;
    case FormatPhotoshop:
        return photoshopTitle;
    case FormatFractint:
        return fractintTitle;
    default:
        return microsoftTitle;
    }
}

void checkImportable(int format) {
    if (format < FormatGimp || format > FormatMicrosoft)
        throw DescribedException("Error on palette import", "The format to import from is not known or supported.");
}

} // namespace

int formatFromName(const std::string& name) {
    const std::string lower = lowerCase(name);
    if (lower == "gimp" || lower == "gpl") return FormatGimp;
    if (lower == "adobe" || lower == "photoshop" || lower == "aco") return FormatPhotoshop;
    if (lower == "fractint" || lower == "map") return FormatFractint;
    if (lower == "microsoft" || lower == "pal") return FormatMicrosoft;
    if (lower == "html") return FormatHtml;
    return FormatNone;
}

int formatForPattern(int patternIndex, const std::string& path) {
    if (patternIndex >= 0 && patternIndex <= 3) return patternIndex + 1;
    const std::string fileName = path.substr(path.find_last_of('/') + 1); // npos + 1 == 0
    const std::size_t dot = fileName.find_last_of('.');
    const int format = formatFromName(dot == std::string::npos ? "" : fileName.substr(dot + 1));
    if (format == FormatNone)
        throw DescribedException("Error palette import", "File\n'" + path + "'\nuses an unknown format.");
    return format;
}

ColorList parse(const std::string& data, int format, const std::string& path) {
    checkImportable(format);
    switch (format) {
    case FormatGimp:
        return parseGimp(data, path);
    case FormatPhotoshop:
        return parsePhotoshop(data, path);
    case FormatFractint:
        return parseFractint(data, path);
    default:
        return parseMicrosoft(data, path);
    }
}

ColorList importFile(const std::string& path, int format) {
    checkImportable(format);
    std::error_code error;
    std::ifstream file(path, std::ios::binary);
    if (!file || std::filesystem::is_directory(path, error))
        throw DescribedException(openFailureTitle(format), "Could not open file" + quoted(path));
    const std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return parse(content, format, path);
}

void apply(const ColorList& colors, MaterialPalette& palette) {
    MaterialPalette::Entries entries; // default-constructed materials
    const std::size_t count = std::min<std::size_t>(colors.size(), entries.size());
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].diffuse[0] = (colors[i].red >> 8) / 255.0f;
        entries[i].diffuse[1] = (colors[i].green >> 8) / 255.0f;
        entries[i].diffuse[2] = (colors[i].blue >> 8) / 255.0f;
        entries[i].diffuse[3] = (colors[i].alpha >> 8) / 255.0f;
    }
    palette = MaterialPalette(entries);
}

} // namespace PaletteImport
