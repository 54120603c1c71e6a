#include "diagnostics/FileText.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/UnfinishedFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor when the scope is left early.
class Descriptor {
public:
    explicit Descriptor(int fd) : myFD(fd) {}
    ~Descriptor() {
        if (myFD >= 0) ::close(myFD);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return myFD; }

private:
    int myFD;
};

std::string quoted(const std::string& name) { return "'" + name + "'"; }

// The folder part of a name, with its trailing "/"; empty for a bare name.
std::string folderOf(const std::string& fileName) {
    const std::string::size_type slash = fileName.find_last_of('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

// The folder as the user reads it: without the trailing "/", "." for none.
std::string shownFolder(const std::string& folder) {
    if (folder.empty()) return ".";
    return folder.size() == 1 ? folder : folder.substr(0, folder.size() - 1);
}

std::string writeFailure(const std::string& fileName, int error) {
    return quoted(fileName) + " could not be written (" + std::strerror(error) + ").";
}

// The file a regular file's name stands for: the target of a symbolic link,
// else the name.
std::string resolveLink(const std::string& fileName) {
    char* resolved = ::realpath(fileName.c_str(), nullptr);
    if (resolved == nullptr) return fileName;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Descriptor N when the name leads, through links, to /dev/fd/N or
// /proc/self/fd/N: a socket cannot be opened by name, only used through the
// descriptor the program was given. -1 otherwise.
int inheritedDescriptor(std::string name) {
    for (int depth = 0; depth < 40; ++depth) {
        const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
        for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"), own}) {
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            char* end = nullptr;
            const long fd = std::strtol(name.c_str() + prefix.size(), &end, 10);
            if (end != name.c_str() + prefix.size() && *end == '\0' && fd >= 0) return static_cast<int>(fd);
        }
        char link[4096];
        const ssize_t length = ::readlink(name.c_str(), link, sizeof link - 1);
        if (length <= 0) return -1;
        link[length] = '\0';
        name = link[0] == '/' ? std::string(link) : folderOf(name) + link;
    }
    return -1;
}

} // namespace

std::string readFileText(const std::string& fileName) {
    Descriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info;
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) throw FileNotFoundError(fileName);
    if (S_ISDIR(info.st_mode)) throw FileNotFoundError(fileName, quoted(fileName) + " is a directory.");
    const std::string tooLarge = quoted(fileName) + " is larger than 256 MB.";
    if (S_ISREG(info.st_mode) && static_cast<unsigned long long>(info.st_size) > largestInput)
        throw FileNotFoundError(fileName, tooLarge);
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count == 0) return text;
        if (count < 0) {
            if (errno == EINTR) continue;
            throw FileNotFoundError(fileName);
        }
        if (text.size() + static_cast<std::size_t>(count) > largestInput) throw FileNotFoundError(fileName, tooLarge);
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

std::string outputProblem(const std::string& fileName) {
    struct stat info;
    if (::stat(fileName.c_str(), &info) != 0) {
        const std::string folder = folderOf(fileName);
        if (::stat(folder.empty() ? "." : folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return "The folder " + quoted(shownFolder(folder)) + " does not exist.";
        return std::string();
    }
    if (S_ISDIR(info.st_mode)) return quoted(fileName) + " is a directory.";
    // The mode bits as well as access(): root may write anything, yet a file
    // marked read-only is meant to stay as it is.
    if ((info.st_mode & 0222) == 0 || (::access(fileName.c_str(), W_OK) != 0 && errno == EACCES))
        return quoted(fileName) + " is read-only.";
    if (S_ISBLK(info.st_mode)) return quoted(fileName) + " is a block device; it is not written to.";
    return std::string();
}

OutputFile::OutputFile(const std::string& fileName) : myFileName(fileName), myTarget(fileName) {
    const std::string problem = outputProblem(fileName);
    if (!problem.empty()) fail(problem);
    struct stat old;
    const bool exists = ::stat(fileName.c_str(), &old) == 0;

    if (exists && !S_ISREG(old.st_mode)) {
        mySpecial = true;
        myFD = ::open(fileName.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (myFD < 0 && errno == ENXIO && S_ISSOCK(old.st_mode)) {
            const int inherited = inheritedDescriptor(fileName);
            if (inherited >= 0) myFD = ::fcntl(inherited, F_DUPFD_CLOEXEC, 0);
        }
        if (myFD < 0) fail(writeFailure(fileName, errno));
        return;
    }

    if (exists) myTarget = resolveLink(fileName);
    // A new name beside the target, so that the rename stays on one file system.
    const std::string folder = folderOf(myTarget);
    UnfinishedFiles::clearStale(folder);
    int error = 0;
    {
        // Created and noted with the interrupts held back.
        UnfinishedFiles::SignalBlock block;
        std::string name = UnfinishedFiles::temporaryTemplate(folder);
        for (int attempt = 0; myFD < 0 && attempt < 100; ++attempt) {
            UnfinishedFiles::fillTemplate(name);
            myFD = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            error = errno;
            if (myFD < 0 && error != EEXIST) break;
        }
        if (myFD >= 0) {
            myTemporary = name;
            UnfinishedFiles::add(myTemporary);
        }
    }
    if (myFD < 0) {
        struct stat info;
        const bool folderExists = ::stat(folder.empty() ? "." : folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        if (!folderExists) fail("The folder " + quoted(shownFolder(folder)) + " does not exist.");
        if (error == ENOENT || error == EACCES || error == EPERM || error == EROFS)
            fail("The folder " + quoted(shownFolder(folder)) + " cannot be written to.");
        fail(writeFailure(fileName, error));
    }
    if (exists && ::fchmod(myFD, old.st_mode & 07777) != 0) fail(writeFailure(fileName, errno));
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::write(const char* data, std::size_t size) {
    if (myFD < 0) fail(writeFailure(myFileName, EBADF));
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(myFD, data + done, size - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(writeFailure(myFileName, errno));
        }
        done += static_cast<std::size_t>(written);
    }
}

void OutputFile::commit() {
    if (myFD < 0) fail(writeFailure(myFileName, EBADF));
    if (!isSpecial() && ::fsync(myFD) != 0) fail(writeFailure(myFileName, errno));
    const int fd = myFD;
    myFD = -1;
    if (::close(fd) != 0) fail(writeFailure(myFileName, errno));
    if (isSpecial()) return;
    if (::rename(myTemporary.c_str(), myTarget.c_str()) != 0) fail(writeFailure(myFileName, errno));
    UnfinishedFiles::forget(myTemporary);
    myTemporary.clear();
}

void OutputFile::fail(const std::string& reason) {
    discard();
    throw FileNotWriteable(myFileName, reason);
}

void OutputFile::discard() {
    if (myFD >= 0) ::close(myFD);
    myFD = -1;
    if (myTemporary.empty()) return;
    ::unlink(myTemporary.c_str());
    UnfinishedFiles::forget(myTemporary);
    myTemporary.clear();
}

void writeOutput(const std::string& fileName, const std::string& text) {
    OutputFile file(fileName);
    file.write(text);
    file.commit();
}
