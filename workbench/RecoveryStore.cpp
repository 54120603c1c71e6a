#include "workbench/RecoveryStore.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Copies of several windows of one process get names of their own.
std::atomic<long> nextSerial{0};

const char* const sidecarKeys[] = {"pid=", "time=", "original="};

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Reads "pid=N\ntime=N\noriginal=PATH\n"; the path is the rest of the text,
// so that no character of a file name can break it. False when damaged.
bool readSidecar(const std::string& text, RecoveryCopy& copy) {
    std::size_t at = 0;
    std::string values[3];
    for (int i = 0; i < 3; ++i) {
        const std::string key = sidecarKeys[i];
        if (text.compare(at, key.size(), key) != 0) return false;
        at += key.size();
        const std::size_t end = i < 2 ? text.find('\n', at) : text.size() - 1;
        if (end == std::string::npos || end < at || text[end] != '\n') return false;
        values[i] = text.substr(at, end - at);
        at = end + 1;
    }
    char* rest = nullptr;
    copy.pid = std::strtol(values[0].c_str(), &rest, 10);
    if (values[0].empty() || *rest) return false;
    copy.time = static_cast<std::time_t>(std::strtoll(values[1].c_str(), &rest, 10));
    if (values[1].empty() || *rest) return false;
    copy.original = values[2];
    return true;
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

} // namespace

std::string RecoveryStore::defaultFolder() {
    // A relative XDG_DATA_HOME is to be ignored.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/klado/recovery";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/tmp";
    }
    return std::string(home) + "/.local/share/klado/recovery";
}

RecoveryStore::RecoveryStore(std::string folder) : myFolder(std::move(folder)) {}

RecoveryStore::~RecoveryStore() {
    if (myLock >= 0) ::close(myLock);
    for (const auto& claim : myClaims) ::close(claim.second);
}

std::string RecoveryStore::path(const std::string& name, const char* extension) const {
    return myFolder + "/" + name + extension;
}

bool RecoveryStore::reserveName() {
    std::error_code error;
    std::filesystem::create_directories(myFolder, error);
    // The copies are the user's own.
    std::filesystem::permissions(myFolder, std::filesystem::perms::owner_all, error);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = std::to_string(::getpid()) + "-" + std::to_string(nextSerial++);
        const int fd = ::open(path(name, ".lock").c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue; // a copy left by an earlier process of this id
        if (fd < 0) return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        myName = name;
        myLock = fd;
        return true;
    }
    return false;
}

bool RecoveryStore::writeSidecar(const std::string& original) {
    std::ostringstream text;
    text << sidecarKeys[0] << ::getpid() << "\n"
         << sidecarKeys[1] << static_cast<long long>(std::time(nullptr)) << "\n"
         << sidecarKeys[2] << original << "\n";
    try {
        writeOutput(path(myName, ".info"), text.str());
        return true;
    } catch (const FileError&) {
        return false;
    }
}

bool RecoveryStore::keep(const std::string& text, const std::string& original) {
    if (!keeping() && !reserveName()) return false;
    try {
        // The definition first: a description always finds its copy.
        writeOutput(path(myName, ".kld"), text);
    } catch (const FileError&) {
        return false;
    }
    return writeSidecar(original);
}

void RecoveryStore::drop() {
    mySeen.clear();
    myWritten.clear();
    if (!keeping()) return;
    ::unlink(path(myName, ".info").c_str());
    ::unlink(path(myName, ".kld").c_str());
    ::unlink(path(myName, ".lock").c_str());
    ::close(myLock);
    myLock = -1;
    myName.clear();
}

bool RecoveryStore::update(bool modified, const std::string& text, const std::string& original, double now) {
    if (!modified) {
        drop();
        return true;
    }
    if (text != mySeen) {
        if (mySeen == myWritten) myFirstChange = now;
        mySeen = text;
        myChanged = now;
    }
    if (keeping() && mySeen == myWritten) return true;
    if (now - myChanged < quietTime && now - myFirstChange < longestWait) return true;
    if (!keep(mySeen, original)) return false;
    myWritten = mySeen;
    return true;
}

std::vector<RecoveryCopy> RecoveryStore::claimLeftCopies() {
    std::vector<RecoveryCopy> copies;
    DIR* folder = ::opendir(myFolder.c_str());
    if (!folder) return copies;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string file = entry->d_name;
        if (endsWith(file, ".info")) names.push_back(file.substr(0, file.size() - 5));
    }
    ::closedir(folder);

    for (const std::string& name : names) {
        if (name == myName || myClaims.count(name)) continue;
        RecoveryCopy copy;
        copy.name = name;
        copy.definition = path(name, ".kld");
        const int fd = ::open(path(name, ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            copy.problem = "its lock file " + name + ".lock cannot be opened";
            copies.push_back(copy);
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd); // a running program holds it
            continue;
        }
        if (!exists(path(name, ".info"))) {
            // Removed by its window between the listing and the lock.
            ::unlink(path(name, ".lock").c_str());
            ::close(fd);
            continue;
        }
        myClaims[name] = fd;
        try {
            if (!readSidecar(readFileText(path(name, ".info")), copy))
                copy.problem = "its description " + name + ".info is damaged";
        } catch (const FileError&) {
            copy.problem = "its description " + name + ".info cannot be read";
        }
        if (copy.problem.empty()) {
            try {
                readFileText(copy.definition);
            } catch (const FileError&) {
                copy.problem = "the definition " + name + ".kld cannot be read";
            }
        }
        copies.push_back(copy);
    }
    std::sort(copies.begin(), copies.end(), [](const RecoveryCopy& a, const RecoveryCopy& b) {
        return a.time != b.time ? a.time < b.time : a.name < b.name;
    });
    return copies;
}

void RecoveryStore::unlock(const std::string& name) {
    const auto found = myClaims.find(name);
    if (found == myClaims.end()) return;
    ::close(found->second);
    myClaims.erase(found);
}

void RecoveryStore::release(const RecoveryCopy& copy) { unlock(copy.name); }

void RecoveryStore::discard(const RecoveryCopy& copy) {
    if (!myClaims.count(copy.name)) return;
    // The description first: without it the copy is no longer listed.
    ::unlink(path(copy.name, ".info").c_str());
    ::unlink(path(copy.name, ".kld").c_str());
    ::unlink(path(copy.name, ".lock").c_str());
    unlock(copy.name);
}

bool RecoveryStore::adopt(const RecoveryCopy& copy) {
    if (!myClaims.count(copy.name)) return false;
    drop();
    // Written under this window's name before the old copy goes, so that the
    // edits are on disk at every moment.
    try {
        if (!keep(readFileText(copy.definition), copy.original)) return false;
    } catch (const FileError&) {
        return false;
    }
    discard(copy);
    return true;
}
