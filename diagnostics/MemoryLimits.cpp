#include "diagnostics/MemoryLimits.h"

#include <algorithm>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t noLimit = UINT64_MAX;

// The number in a control group's limit file; noLimit for "max" or when the
// file is not there.
std::uint64_t readLimit(const std::string& fileName) {
    std::ifstream file(fileName);
    std::uint64_t bytes = 0;
    return file >> bytes ? bytes : noLimit;
}

} // namespace

std::uint64_t controlGroupMemoryLimit(const std::string& root) {
    std::ifstream groups(root + "proc/self/cgroup");
    std::uint64_t limit = noLimit;
    std::string line;
    while (std::getline(groups, line)) {
        // "hierarchy:controllers:path"; the unified hierarchy has no controllers.
        const std::string::size_type first = line.find(':');
        const std::string::size_type second = line.find(':', first == std::string::npos ? first : first + 1);
        if (second == std::string::npos) continue;
        const std::string controllers = "," + line.substr(first + 1, second - first - 1) + ",";
        std::string folder;
        std::string file;
        if (controllers == ",,") {
            folder = root + "sys/fs/cgroup";
            file = "memory.max";
        } else if (controllers.find(",memory,") != std::string::npos) {
            folder = root + "sys/fs/cgroup/memory";
            file = "memory.limit_in_bytes";
        } else {
            continue;
        }
        // The group and every group above it bind. Inside a container the
        // path may not exist below the mount, whose top is then the group.
        for (std::string path = line.substr(second + 1);; path = path.substr(0, path.find_last_of('/'))) {
            limit = std::min(limit, readLimit(folder + (path == "/" ? "" : path) + "/" + file));
            if (path.empty() || path == "/") break;
        }
    }
    return limit;
}

std::uint64_t usableMemory(const std::string& root) {
    std::uint64_t memory = controlGroupMemoryLimit(root);
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0)
        memory = std::min(memory, static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize));
    rlimit addressSpace;
    if (::getrlimit(RLIMIT_AS, &addressSpace) == 0 && addressSpace.rlim_cur != RLIM_INFINITY)
        memory = std::min(memory, static_cast<std::uint64_t>(addressSpace.rlim_cur));
    return memory;
}

std::uint64_t freeMemory() {
    // The address space and the resident set, in pages.
    std::uint64_t size = 0;
    std::uint64_t resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    const std::uint64_t page = pageSize > 0 ? static_cast<std::uint64_t>(pageSize) : 4096;
    std::uint64_t free = usableMemory();
    if (free != noLimit) free = free > resident * page ? free - resident * page : 0;
    rlimit addressSpace;
    if (::getrlimit(RLIMIT_AS, &addressSpace) == 0 && addressSpace.rlim_cur != RLIM_INFINITY) {
        const std::uint64_t limit = addressSpace.rlim_cur;
        free = std::min(free, limit > size * page ? limit - size * page : 0);
    }
    return free;
}
