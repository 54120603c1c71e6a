#include "materials/MaterialFiles.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sys/stat.h>
#include <unistd.h>

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

// Replaces the file by the content without ever leaving it half written. An
// existing file that may not be written is not replaced.
bool replaceFile(const std::string& path, const std::string& content) {
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) { // check the file a link points to
        target = resolved;
        std::free(resolved);
    }
    struct stat old;
    if (::stat(target.c_str(), &old) == 0 && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return false;
    try {
        writeFileAtomically(path, content);
        return true;
    } catch (const FileNotWriteable&) {
        return false;
    }
}

void reportOpenFailure(FailureReporter& reporter, const char* title, const std::string& path) {
    reporter.report(title, "Could not open '" + path + "'.");
}

void reportParseFailure(FailureReporter& reporter, const char* title, const std::string& path) {
    reporter.report(title, "Could not parse '" + path + "'.");
}

void reportWriteFailure(FailureReporter& reporter, const std::string& path) {
    reporter.report("Saving failed", "Could not open\n'" + path + "'\nfor writing.");
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
    if (replaceFile(path, material.text())) return true;
    reportWriteFailure(reporter, path);
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
    if (replaceFile(path, palette.fullText())) return true;
    reportWriteFailure(reporter, path);
    return false;
}
