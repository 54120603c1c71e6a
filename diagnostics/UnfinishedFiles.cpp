#include "diagnostics/UnfinishedFiles.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A fixed table, so that the signal handler touches no heap memory. A slot is
// in use while its first byte is not zero.
constexpr int slotCount = 16;
char slots[slotCount][PATH_MAX];

} // namespace

UnfinishedFiles::SignalBlock::SignalBlock() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &set, &myOld);
}

UnfinishedFiles::SignalBlock::~SignalBlock() { pthread_sigmask(SIG_SETMASK, &myOld, nullptr); }

void UnfinishedFiles::add(const std::string& path) {
    if (path.empty() || path.size() >= PATH_MAX) return;
    SignalBlock block;
    for (char* slot : slots)
        if (slot[0] == '\0') {
            std::memcpy(slot, path.c_str(), path.size() + 1);
            return;
        }
}

void UnfinishedFiles::forget(const std::string& path) {
    SignalBlock block;
    for (char* slot : slots)
        if (slot[0] != '\0' && path == slot) slot[0] = '\0';
}

void UnfinishedFiles::removeAll() {
    // Files first, then the folders that held them.
    for (char* slot : slots)
        if (slot[0] != '\0' && ::unlink(slot) == 0) slot[0] = '\0';
    for (char* slot : slots)
        if (slot[0] != '\0') {
            ::rmdir(slot);
            slot[0] = '\0';
        }
}

std::string UnfinishedFiles::temporaryTemplate(const std::string& folder) {
    return folder + ".klado-" + std::to_string(::getpid()) + "-XXXXXX";
}

void UnfinishedFiles::fillTemplate(std::string& name) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
    for (std::size_t i = name.size() - 6; i < name.size(); ++i) name[i] = letters[pick(random)];
}

namespace {

// The process id in a name of the temporary pattern; 0 when the name has
// another form.
pid_t temporaryOwner(const char* name) {
    const char prefix[] = ".klado-";
    if (std::strncmp(name, prefix, sizeof prefix - 1) != 0) return 0;
    const char* digits = name + sizeof prefix - 1;
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    if (end == digits || !std::isdigit(static_cast<unsigned char>(*digits)) || *end != '-' || pid <= 0) return 0;
    const char* suffix = end + 1;
    if (std::strlen(suffix) != 6) return 0;
    for (const char* c = suffix; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c))) return 0;
    return static_cast<pid_t>(pid);
}

} // namespace

void UnfinishedFiles::clearStale(const std::string& folder) {
    const std::string path = folder.empty() ? "." : folder;
    DIR* directory = ::opendir(path.c_str());
    if (!directory) return;
    const std::time_t hourAgo = std::time(nullptr) - 3600;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(directory)) {
        const pid_t owner = temporaryOwner(entry->d_name);
        if (owner == 0 || owner == ::getpid()) continue;
        const std::string name = path + "/" + entry->d_name;
        struct stat info;
        if (::lstat(name.c_str(), &info) != 0 || info.st_uid != ::geteuid() || info.st_mtime > hourAgo) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue; // its process may still be writing it
        stale.push_back(name);
    }
    ::closedir(directory);
    for (const std::string& name : stale) {
        std::error_code ignored;
        std::filesystem::remove_all(name, ignored); // never follows a link
    }
}
