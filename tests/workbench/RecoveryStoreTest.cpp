#include "workbench/RecoveryStore.h"

#include "../TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string original = "/home/someone/bush.kld";

struct RecoveryStoreFixture : ::testing::Test {
    TempDir dir;
    std::string folder = dir.path("recovery");

    // The files of the folder with that extension; all for "".
    std::vector<std::string> files(const std::string& extension) const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (extension.empty() || entry.path().extension() == extension) found.push_back(entry.path());
        return found;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Two copies left by programs that ended: their locks went with them.
    void leaveTwoCopies(const std::string& secondOriginal) {
        RecoveryStore ended(folder), other(folder);
        ASSERT_TRUE(ended.keep("Axiom:F\n", original));
        ASSERT_TRUE(other.keep("Axiom:G\n", secondOriginal));
    }
};

TEST_F(RecoveryStoreFixture, WritesTheCopyWhenTheEditsPauseAndRemovesItWhenTheyAreSaved) {
    RecoveryStore store(folder);
    EXPECT_TRUE(store.update(true, "Axiom:F\n", original, 0.0));
    EXPECT_TRUE(store.update(true, "Axiom:F\n", original, 1.5));
    EXPECT_FALSE(store.keeping()) << "written before the edits paused";
    EXPECT_TRUE(store.update(true, "Axiom:F\n", original, 2.0));
    ASSERT_TRUE(store.keeping());
    ASSERT_EQ(files(".kld").size(), 1u);
    EXPECT_EQ(read(files(".kld")[0]), "Axiom:F\n");
    EXPECT_TRUE(RecoveryStore(folder).claimLeftCopies().empty()) << "another window of this program took the copy";

    // Typing on: the copy follows at the latest after the longest wait.
    for (double now = 10.0; now < 18.0; now += 0.5)
        store.update(true, "Axiom:F" + std::to_string(now) + "\n", original, now);
    EXPECT_NE(read(files(".kld")[0]), "Axiom:F\n") << "no copy while the edits went on";

    // Saved, or undone to the saved state: nothing stays.
    store.update(false, "", original, 18.0);
    EXPECT_FALSE(store.keeping());
    EXPECT_TRUE(files("").empty());
}

TEST_F(RecoveryStoreFixture, ACopyIsOfferedOnlyOnceItsProgramHasEnded) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        RecoveryStore store(folder);
        const bool kept = store.keep("Axiom:F\n", original);
        (void)!::write(ready[1], kept ? "k" : "f", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'k');

    RecoveryStore window(folder);
    EXPECT_TRUE(window.claimLeftCopies().empty()) << "the copy of a running program was offered";

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::vector<RecoveryCopy> left = window.claimLeftCopies();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].problem, "");
    EXPECT_EQ(left[0].pid, child);
    EXPECT_EQ(left[0].original, original);
    EXPECT_EQ(read(left[0].definition), "Axiom:F\n");

    // While one window offers it, a second one does not take it.
    RecoveryStore second(folder);
    EXPECT_TRUE(second.claimLeftCopies().empty());
    window.release(left[0]);
    EXPECT_EQ(second.claimLeftCopies().size(), 1u);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(RecoveryStoreFixture, AnUnreadableCopyIsReportedAndKept) {
    leaveTwoCopies(original);
    const std::vector<std::string> sidecars = files(".info");
    ASSERT_EQ(sidecars.size(), 2u);
    std::ofstream(sidecars[0]) << "pid=12\ntime=";
    const std::string damagedName = std::filesystem::path(sidecars[0]).stem();
    std::filesystem::remove(std::filesystem::path(sidecars[1]).replace_extension(".kld"));

    const auto before = files("");
    for (int start = 0; start < 2; ++start) {
        RecoveryStore window(folder);
        const std::vector<RecoveryCopy> left = window.claimLeftCopies();
        ASSERT_EQ(left.size(), 2u);
        for (const RecoveryCopy& copy : left) {
            if (copy.name == damagedName)
                EXPECT_EQ(copy.problem, "its description " + damagedName + ".info is damaged");
            else
                EXPECT_EQ(copy.problem, "the definition " + copy.name + ".kld cannot be read");
            window.release(copy);
        }
        EXPECT_EQ(files(""), before) << "a file of an unreadable copy went";
    }
}

TEST_F(RecoveryStoreFixture, ARestoredCopyBecomesTheWindowsOwnAndADiscardedOneGoes) {
    leaveTwoCopies("");
    RecoveryStore window(folder);
    const std::vector<RecoveryCopy> left = window.claimLeftCopies();
    ASSERT_EQ(left.size(), 2u);
    const RecoveryCopy& named = left[0].original.empty() ? left[1] : left[0];
    const RecoveryCopy& unnamed = left[0].original.empty() ? left[0] : left[1];
    EXPECT_EQ(unnamed.original, "");
    window.discard(unnamed);
    ASSERT_TRUE(window.adopt(named));
    EXPECT_TRUE(window.keeping());
    ASSERT_EQ(files(".info").size(), 1u);
    EXPECT_EQ(read(files(".kld")[0]), "Axiom:F\n");
    EXPECT_NE(read(files(".info")[0]).find("pid=" + std::to_string(::getpid()) + "\n"), std::string::npos);
    EXPECT_NE(files(".kld")[0], named.definition);

    // Quitting normally leaves nothing.
    window.drop();
    EXPECT_TRUE(files("").empty());
}

TEST(RecoveryFolder, IsInTheUsersDataFolder) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string oldData = data ? data : "";
    setenv("HOME", "/home/someone", 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(RecoveryStore::defaultFolder(), "/home/someone/.local/share/klado/recovery");
    setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(RecoveryStore::defaultFolder(), "/home/someone/.local/share/klado/recovery");
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(RecoveryStore::defaultFolder(), "/data/klado/recovery");
    setenv("HOME", home.c_str(), 1);
    if (data)
        setenv("XDG_DATA_HOME", oldData.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

} // namespace
