#include "diagnostics/MemoryLimits.h"

#include "tests/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A file system root of its own: the process's groups and the limit files.
class FakeRoot {
public:
    FakeRoot(std::initializer_list<std::pair<std::string, std::string>> files) {
        for (const auto& [name, text] : files) {
            std::filesystem::create_directories(std::filesystem::path(dir.path(name)).parent_path());
            dir.write(name, text);
        }
    }
    std::string root() const { return dir.path("") + "/"; }

private:
    TempDir dir;
};

TEST(MemoryLimits, TheControlGroupLimitIsTheLeastOnTheWayUp) {
    const FakeRoot v2({{"proc/self/cgroup", "0::/user/session\n"},
                       {"sys/fs/cgroup/user/session/memory.max", "max\n"},
                       {"sys/fs/cgroup/user/memory.max", "2147483648\n"}});
    EXPECT_EQ(2147483648u, controlGroupMemoryLimit(v2.root()));
    // Version 1, the memory controller sharing its hierarchy; inside a
    // container the group's path is not below the mount, whose top holds
    // the limit.
    const FakeRoot v1({{"proc/self/cgroup", "5:cpu,cpuacct:/\n4:memory:/box/f65f\n0::/\n"},
                       {"sys/fs/cgroup/memory/memory.limit_in_bytes", "1073741824\n"},
                       {"sys/fs/cgroup/cpu,cpuacct/memory.limit_in_bytes", "1\n"}}); // another controller's folder
    EXPECT_EQ(1073741824u, controlGroupMemoryLimit(v1.root()));
    const FakeRoot none({{"proc/self/cgroup", "0::/\n"}});
    EXPECT_EQ(UINT64_MAX, controlGroupMemoryLimit(none.root()));
    EXPECT_EQ(UINT64_MAX, controlGroupMemoryLimit(none.root() + "nothing/"));
}

TEST(MemoryLimits, TheLeastOfGroupAndAddressSpaceLimitCounts) {
    const FakeRoot small({{"proc/self/cgroup", "0::/\n"}, {"sys/fs/cgroup/memory.max", "3000000000\n"}});
    EXPECT_LE(usableMemory(small.root()), 3000000000u);
#ifdef KLADO_SANITIZED
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than a limit would leave";
#endif
    rlimit old;
    ASSERT_EQ(0, ::getrlimit(RLIMIT_AS, &old));
    rlimit limited = old;
    limited.rlim_cur = 1500000000;
    if (old.rlim_cur < limited.rlim_cur) GTEST_SKIP() << "the address space is limited further already";
    ASSERT_EQ(0, ::setrlimit(RLIMIT_AS, &limited));
    const std::uint64_t usable = usableMemory(small.root());
    const std::uint64_t free = freeMemory();
    ::setrlimit(RLIMIT_AS, &old);
    EXPECT_EQ(1500000000u, usable);
    EXPECT_LT(free, 1500000000u);
    EXPECT_GT(free, 0u);
}

} // namespace
