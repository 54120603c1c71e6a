#include "diagnostics/FileText.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/UnfinishedFiles.h"
#include "tests/TempDir.h"

#include <gtest/gtest.h>

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
    EXPECT_THROW(readFileText(dir.path("")), FileNotFoundError); // the directory itself
}

TEST(FileText, AtomicWriteReplacesTheFileKeepingItsModeAndLinks) {
    TempDir dir;
    const std::string name = dir.path("real.kld");
    writeFileAtomically(name, "first\n");
    EXPECT_EQ("first\n", readFileText(name));
    ASSERT_EQ(0, ::chmod(name.c_str(), 0640));
    ASSERT_EQ(0, ::symlink("real.kld", dir.path("link.kld").c_str()));
    writeFileAtomically(dir.path("link.kld"), "second\n");
    EXPECT_EQ("second\n", readFileText(name));
    struct stat info;
    ASSERT_EQ(0, ::stat(name.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
    ASSERT_EQ(0, ::lstat(dir.path("link.kld").c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ((std::vector<std::string>{"link.kld", "real.kld"}), dir.entries()); // no temporary file left
}

TEST(FileText, PendingFilesReplaceTheirTargetsOnlyWhenCommitted) {
    TempDir dir;
    dir.write("a.obj", "old obj");
    dir.write("a.mtl", "old mtl");
    {
        PendingFile obj(dir.path("a.obj"), "new obj");
        PendingFile mtl(dir.path("a.mtl"), "new mtl");
        EXPECT_EQ("old obj", dir.read("a.obj"));
        obj.commit();
        // mtl is never committed: its temporary file goes with it.
    }
    EXPECT_EQ("new obj", dir.read("a.obj"));
    EXPECT_EQ("old mtl", dir.read("a.mtl"));
    EXPECT_EQ((std::vector<std::string>{"a.mtl", "a.obj"}), dir.entries());
    EXPECT_THROW(PendingFile(dir.path("missing/a.obj"), "x"), FileNotWriteable);
}

TEST(FileText, UnfinishedFilesAreRemovedFilesFirstThenFolders) {
    TempDir dir;
    ASSERT_EQ(0, ::mkdir(dir.path("folder").c_str(), 0755));
    dir.write("folder/part", "x");
    dir.write("kept", "x");
    dir.write("done", "x");
    UnfinishedFiles::add(dir.path("folder"));
    UnfinishedFiles::add(dir.path("folder/part"));
    UnfinishedFiles::add(dir.path("done"));
    UnfinishedFiles::forget(dir.path("done"));
    UnfinishedFiles::removeAll();
    EXPECT_EQ((std::vector<std::string>{"done", "kept"}), dir.entries());
}
