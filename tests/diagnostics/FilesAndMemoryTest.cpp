#include "diagnostics/FileText.h"
#include "diagnostics/MemoryLimits.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/UnfinishedFiles.h"
#include "tests/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The reason the call gives for failing with the exception ("" if it does not fail).
template <class Failure, class Call>
std::string reasonOf(Call call) {
    try {
        call();
    } catch (const Failure& error) {
        return error.reason();
    }
    return "";
}

std::string writeReason(const std::string& name) {
    return reasonOf<FileNotWriteable>([&] { writeOutput(name, "new"); });
}

TEST(FileText, ReadsTheWholeInputWithinALimit) {
    TempDir dir;
    const std::string text = std::string("Name:x\r\nAxiom:F\0G", 17) + std::string(100000, 'x');
    dir.write("a.kld", text);
    EXPECT_EQ(text, readFileText(dir.path("a.kld")));
    dir.write("empty.kld", "");
    EXPECT_EQ("", readFileText(dir.path("empty.kld")));
    EXPECT_THROW(readFileText(dir.path("missing.kld")), FileNotFoundError);
    EXPECT_THROW(readFileText(dir.path("")), FileNotFoundError); // the directory itself

    // A FIFO waits for its writer and is read to its end.
    ASSERT_EQ(0, ::mkfifo(dir.path("in").c_str(), 0600));
    std::thread writer([&] { std::ofstream(dir.path("in")) << "Axiom:F\n"; });
    EXPECT_EQ("Axiom:F\n", readFileText(dir.path("in")));
    writer.join();

    // An endless device is read up to the limit.
    if (::mknod(dir.path("zero").c_str(), S_IFCHR | 0666, makedev(1, 5)) != 0)
        GTEST_SKIP() << "cannot make a character device here (needs root): the endless input is not checked";
    EXPECT_EQ("'" + dir.path("zero") + "' is larger than 256 MB.",
              reasonOf<FileNotFoundError>([&] { readFileText(dir.path("zero")); }));
}

TEST(FileText, AtomicWriteReplacesTheFileKeepingItsModeAndLinks) {
    TempDir dir;
    const std::string name = dir.path("real.kld");
    writeOutput(name, "first\n");
    EXPECT_EQ("first\n", readFileText(name));
    ASSERT_EQ(0, ::chmod(name.c_str(), 0640));
    ASSERT_EQ(0, ::symlink("real.kld", dir.path("link.kld").c_str()));
    writeOutput(dir.path("link.kld"), "second\n");
    EXPECT_EQ("second\n", readFileText(name));
    EXPECT_EQ(fs::perms(0640), fs::status(name).permissions());
    EXPECT_TRUE(fs::is_symlink(dir.path("link.kld")));
    EXPECT_EQ((std::vector<std::string>{"link.kld", "real.kld"}), dir.entries()); // no temporary file left

    // The batch tests see the other refusals; a relative target's folder is
    // named as it was given.
    EXPECT_EQ("The folder 'missing' does not exist.", writeReason("missing/a.obj"));
}

// Nodes that are no regular files are written straight through and stay what
// they are (the batch tests write FIFOs through links).
TEST(FileText, SpecialTargetsAreWrittenStraightThrough) {
    TempDir dir;
    ASSERT_EQ(0, ::mkfifo(dir.path("fifo").c_str(), 0600));
    std::string received;
    std::thread reader([&] { received = readFileText(dir.path("fifo")); });
    writeOutput(dir.path("fifo"), std::string(200000, 'x')); // more than a pipe holds
    reader.join();
    EXPECT_EQ(std::string(200000, 'x'), received);
    EXPECT_TRUE(fs::is_fifo(dir.path("fifo")));

    // A socket cannot be opened by name; the descriptor the program holds is
    // written instead.
    int sockets[2];
    ASSERT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM, 0, sockets));
    writeOutput("/proc/self/fd/" + std::to_string(sockets[0]), "through a socket");
    ::close(sockets[0]);
    char fromSocket[64] = {};
    EXPECT_EQ(16, ::read(sockets[1], fromSocket, sizeof fromSocket));
    EXPECT_STREQ("through a socket", fromSocket);
    ::close(sockets[1]);

    if (::mknod(dir.path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        ::mknod(dir.path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "cannot make character devices here (needs root): devices are not checked";
    EXPECT_EQ("", writeReason(dir.path("null")));
    // Every write is checked: the full device refuses it.
    EXPECT_EQ("'" + dir.path("full") + "' could not be written (No space left on device).",
              writeReason(dir.path("full")));
    for (const char* name : {"null", "full"}) EXPECT_TRUE(fs::is_character_file(dir.path(name))) << name;
    EXPECT_EQ((std::vector<std::string>{"fifo", "full", "null"}), dir.entries());
}

// What a killed run left beside its target goes; anything else stays. (The
// batch tests clear a stale folder and keep a fresh one.)
TEST(FileText, StaleTemporariesOfKilledRunsAreCleared) {
    TempDir dir;
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".klado-" + std::to_string(gone) + "-";
    const std::string alive = ".klado-" + std::to_string(::getppid()) + "-";
    const auto makeOld = [&](const std::string& name, bool folder) {
        ASSERT_TRUE(!folder || ::mkdir(dir.path(name).c_str(), 0700) == 0);
        dir.write(folder ? name + "/part.obj" : name, "x");
        const timeval twoHoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
        ASSERT_EQ(0, ::utimes(dir.path(name).c_str(), twoHoursAgo));
    };
    makeOld(dead + "xYz789", false);   // stale file
    makeOld(alive + "Old123", true);   // its process lives
    makeOld(dead + "toolong7", false); // not the pattern
    makeOld(".klado-notes", false);
    UnfinishedFiles::clearStale(dir.path("") + "/");
    std::vector<std::string> kept = {alive + "Old123", dead + "toolong7", ".klado-notes"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, dir.entries());
}

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
