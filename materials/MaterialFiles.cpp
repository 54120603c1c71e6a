#include "materials/MaterialFiles.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"

#include <filesystem>
#include <fstream>
#include <iomanip>

namespace {

// Longest token read from a file; a full palette text is about 9 kB.
constexpr std::streamsize maxToken = 1 << 20;

// The first whitespace-delimited token of a file; false when the file cannot
// be opened for reading.
bool readFirstToken(const std::string& path, std::string& token) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in >> std::setw(maxToken) >> token;
    return !in.bad();
}

// Writes the file as an output (diagnostics/FileText.h); returns why it
// could not be written, empty on success.
std::string replaceFile(const std::string& path, const std::string& content) {
    try {
        writeOutput(path, content);
    } catch (const FileNotWriteable& error) {
        return error.reason().empty() ? "The file could not be written." : error.reason();
    }
    return std::string();
}

void reportOpenFailure(FailureReporter& reporter, const char* title, const std::string& path) {
    reporter.report(title, "Could not open '" + path + "'.");
}

void reportParseFailure(FailureReporter& reporter, const char* title, const std::string& path) {
    reporter.report(title, "Could not parse '" + path + "'.");
}

void reportWriteFailure(FailureReporter& reporter, const std::string& path, const std::string& reason) {
    reporter.report("Saving failed", "Could not open\n'" + path + "'\nfor writing.\n" + reason);
}

} // namespace

bool loadMaterialFile(const std::string& path, GLMaterial& material, FailureReporter& reporter) {
    std::string token;
    if (!readFirstToken(path, token)) {
        reportOpenFailure(reporter, "Loading failed", path);
        return false;
    }
    GLMaterial loaded;
    try {
        loaded.read(token);
    } catch (const OutOfRangeError&) {
        reportParseFailure(reporter, "Loading failed", path);
        return false;
    }
    material = loaded;
    return true;
}

bool saveMaterialFile(const std::string& path, const GLMaterial& material, FailureReporter& reporter) {
    const std::string problem = replaceFile(path, material.text());
    if (problem.empty()) return true;
    reportWriteFailure(reporter, path, problem);
    return false;
}

bool loadPaletteFile(const std::string& path, MaterialPalette& palette, FailureReporter& reporter) {
    std::string token;
    if (!readFirstToken(path, token)) {
        reportOpenFailure(reporter, "Error on opening file", path);
        return false;
    }
    bool ok = false;
    try {
        ok = palette.read(token); // leaves the palette as it was on failure
    } catch (const UnknownPaletteException&) {
    } catch (const OutOfRangeError&) {}
    if (!ok) reportParseFailure(reporter, "Error on parsing file", path);
    return ok;
}

bool savePaletteFile(const std::string& path, const MaterialPalette& palette, FailureReporter& reporter) {
    const std::string problem = replaceFile(path, palette.fullText());
    if (problem.empty()) return true;
    reportWriteFailure(reporter, path, problem);
    return false;
}
