#include "diagnostics/UnfinishedFiles.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

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
