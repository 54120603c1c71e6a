#include "materials/MaterialFiles.h"

#include "diagnostics/Exceptions.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Longest token read from a file; a full palette text is about 9 kB.
constexpr std::streamsize maxToken = 1 << 20;

// The first whitespace-delimited token of a file; false when the file cannot
// be opened for reading.
bool readFirstToken(const std::string& path, std::string& token)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in >> std::setw(maxToken) >> token;
    return !in.bad();
}

bool writeAll(int fd, const std::string& content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Replaces the file by the content: written to a new file beside it, which
// is then renamed over it, so that a failure leaves the old file untouched.
// An existing file that may not be written is not replaced.
bool replaceFile(const std::string& path, const std::string& content)
{
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {   // write through a link to its file
        target = resolved;
        std::free(resolved);
    }
    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return false;

    static std::atomic<unsigned> serial{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = writeAll(fd, content) && (!exists || ::fchmod(fd, old.st_mode & 07777) == 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

void reportOpenFailure(FailureReporter& reporter, const char* title, const std::string& path)
{
    reporter.report(title, "Could not open '" + path + "'.");
}

void reportParseFailure(FailureReporter& reporter, const char* title, const std::string& path)
{
    reporter.report(title, "Could not parse '" + path + "'.");
}

void reportWriteFailure(FailureReporter& reporter, const std::string& path)
{
    reporter.report("Saving failed", "Could not open\n'" + path + "'\nfor writing.");
}

} // namespace

void FailureReporter::report(const std::string& /*title*/, const std::string& text)
{
    std::cerr << text << std::endl;
}

FailureReporter& FailureReporter::standardError()
{
    static FailureReporter reporter;
    return reporter;
}

bool loadMaterialFile(const std::string& path, GLMaterial& material, FailureReporter& reporter)
{
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

bool saveMaterialFile(const std::string& path, const GLMaterial& material, FailureReporter& reporter)
{
    if (replaceFile(path, material.text()))
        return true;
    reportWriteFailure(reporter, path);
    return false;
}

bool loadPaletteFile(const std::string& path, MaterialPalette& palette, FailureReporter& reporter)
{
    std::string token;
    if (!readFirstToken(path, token)) {
        reportOpenFailure(reporter, "Error on opening file", path);
        return false;
    }
    bool ok = false;
    try {
        ok = palette.read(token);   // leaves the palette as it was on failure
    } catch (const UnknownPaletteException&) {
    } catch (const OutOfRangeError&) {
    }
    if (!ok)
        reportParseFailure(reporter, "Error on parsing file", path);
    return ok;
}

bool savePaletteFile(const std::string& path, const MaterialPalette& palette, FailureReporter& reporter)
{
    if (replaceFile(path, palette.fullText()))
        return true;
    reportWriteFailure(reporter, path);
    return false;
}
