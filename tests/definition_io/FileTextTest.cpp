#include "definition_io/FileText.h"

#include "diagnostics/Exceptions.h"
#include "tests/definition_io/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(FileText, ReadsTheWholeFileAndRefusesWhatCannotBeRead) {
    TempDir dir;
    const std::string name = dir.path("a.kld");
    const std::string text = std::string("Name:x\r\nAxiom:F\0G", 17) + std::string(100000, 'x');
    dir.write("a.kld", text);
    EXPECT_EQ(text, readFileText(name));
    dir.write("empty.kld", "");
    EXPECT_EQ("", readFileText(dir.path("empty.kld")));
    EXPECT_THROW(readFileText(dir.path("missing.kld")), FileNotFoundError);
    EXPECT_THROW(readFileText(dir.path("")), FileNotFoundError);  // the directory itself
}

TEST(FileText, AtomicWriteReplacesTheFileAndKeepsItsMode) {
    TempDir dir;
    const std::string name = dir.path("a.kld");
    writeFileAtomically(name, "first\n");
    EXPECT_EQ("first\n", readFileText(name));
    ASSERT_EQ(0, ::chmod(name.c_str(), 0640));
    writeFileAtomically(name, "second\n");
    EXPECT_EQ("second\n", readFileText(name));
    struct stat info;
    ASSERT_EQ(0, ::stat(name.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
    EXPECT_EQ(std::vector<std::string>{"a.kld"}, dir.entries());  // no temporary file left
}

TEST(FileText, AtomicWriteFollowsASymbolicLink) {
    TempDir dir;
    dir.write("real.kld", "old");
    ASSERT_EQ(0, ::symlink("real.kld", dir.path("link.kld").c_str()));
    writeFileAtomically(dir.path("link.kld"), "new");
    EXPECT_EQ("new", readFileText(dir.path("real.kld")));
    struct stat info;
    ASSERT_EQ(0, ::lstat(dir.path("link.kld").c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(FileText, AtomicWriteIntoAnUnwritableDirectoryFails) {
    // Nobody may create files in /proc, not even the super-user.
    EXPECT_THROW(writeFileAtomically("/proc/klado-test.kld", "x"), FileNotWriteable);
    TempDir dir;
    EXPECT_THROW(writeFileAtomically(dir.path("missing/a.kld"), "x"), FileNotWriteable);
    if (::geteuid() == 0) {
        GTEST_SKIP() << "directory permissions do not bind the super-user";
    }
    dir.write("a.kld", "old");
    ASSERT_EQ(0, ::chmod(dir.path("").c_str(), 0555));
    EXPECT_THROW(writeFileAtomically(dir.path("a.kld"), "new"), FileNotWriteable);
    ::chmod(dir.path("").c_str(), 0755);
    EXPECT_EQ("old", readFileText(dir.path("a.kld")));
}

TEST(FileText, AtomicWriteOnAFullDiskLeavesTheOldFile) {
    TempDir dir;
    dir.write("a.kld", "old content");
    {
        FileSizeLimit full(4096);  // every file stops growing at 4 kB, like a full disk
        EXPECT_THROW(writeFileAtomically(dir.path("a.kld"), std::string(10000, 'x')), FileNotWriteable);
    }
    EXPECT_EQ("old content", readFileText(dir.path("a.kld")));
    EXPECT_EQ(std::vector<std::string>{"a.kld"}, dir.entries());
}
