#include "diagnostics/FileText.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/UnfinishedFiles.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor when the scope is left early.
class Descriptor {
public:
    explicit Descriptor(int fd) : myFD(fd) {}
    ~Descriptor() {
        if (myFD >= 0) {
            ::close(myFD);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return myFD; }
    // Closes now and tells whether the close succeeded.
    bool close() {
        const int fd = myFD;
        myFD = -1;
        return ::close(fd) == 0;
    }

private:
    int myFD;
};

// The file a name stands for: the target of a symbolic link, else the name.
std::string resolveLink(const std::string& fileName) {
    struct stat info;
    if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return fileName;
    }
    char* resolved = ::realpath(fileName.c_str(), nullptr);
    if (resolved == nullptr) {
        return fileName; // a dangling link is replaced by the file
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

std::string readFileText(const std::string& fileName) {
    Descriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info;
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        throw FileNotFoundError(fileName);
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count == 0) {
            return text;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileNotFoundError(fileName);
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

PendingFile::PendingFile(const std::string& fileName, const std::string& text)
    : myFileName(fileName), myTarget(resolveLink(fileName)) {
    struct stat old;
    const bool replacing = ::stat(myTarget.c_str(), &old) == 0;

    // A new name beside the target, so that the rename stays on one file system.
    int fd = -1;
    {
        // Created and noted with the interrupts held back.
        UnfinishedFiles::SignalBlock block;
        for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
            myTemporary = myTarget + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(attempt);
            fd = ::open(myTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST) {
                break;
            }
        }
        if (fd >= 0) UnfinishedFiles::add(myTemporary);
    }
    if (fd < 0) {
        myTemporary.clear();
        throw FileNotWriteable(fileName);
    }
    Descriptor file(fd);
    const bool written =
        (!replacing || ::fchmod(fd, old.st_mode & 07777) == 0) && writeAll(fd, text) && ::fsync(fd) == 0;
    if (!file.close() || !written) {
        discard();
        throw FileNotWriteable(fileName);
    }
}

PendingFile::~PendingFile() { discard(); }

void PendingFile::commit() {
    if (myTemporary.empty()) throw FileNotWriteable(myFileName);
    if (::rename(myTemporary.c_str(), myTarget.c_str()) != 0) {
        discard();
        throw FileNotWriteable(myFileName);
    }
    UnfinishedFiles::forget(myTemporary);
    myTemporary.clear();
}

void PendingFile::discard() {
    if (myTemporary.empty()) return;
    ::unlink(myTemporary.c_str());
    UnfinishedFiles::forget(myTemporary);
    myTemporary.clear();
}

void writeFileAtomically(const std::string& fileName, const std::string& text) { PendingFile(fileName, text).commit(); }
