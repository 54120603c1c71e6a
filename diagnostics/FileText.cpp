#include "diagnostics/FileText.h"

#include "diagnostics/Exceptions.h"

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

void writeFileAtomically(const std::string& fileName, const std::string& text) {
    const std::string target = resolveLink(fileName);
    struct stat old;
    const bool replacing = ::stat(target.c_str(), &old) == 0;

    // A new name beside the target, so that the rename stays on one file system.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        throw FileNotWriteable(fileName);
    }
    Descriptor file(fd);
    const bool written =
        (!replacing || ::fchmod(fd, old.st_mode & 07777) == 0) && writeAll(fd, text) && ::fsync(fd) == 0;
    if (!file.close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        throw FileNotWriteable(fileName);
    }
}
