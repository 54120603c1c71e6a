#pragma once
// Whole-file reading, and writing that never leaves a file half written.

#include <string>

// The whole content of the file as one text. Throws FileNotFoundError when the
// file cannot be opened or read.
std::string readFileText(const std::string& fileName);

// Replaces the file's content by the text so that the file is never left half
// written: the text goes to a new file beside it, every write and the close
// are checked, and only then is the new file renamed over the old one. A
// symbolic link is followed, so the file it points to is replaced. Throws
// FileNotWriteable, leaving the old file as it was, when any step fails.
void writeFileAtomically(const std::string& fileName, const std::string& text);

// The first half of that: the text written and checked in a new file beside
// the target. commit() renames it over the target; a file never committed is
// removed. Lets several files be written before any of them is replaced.
class PendingFile {
public:
    // Throws FileNotWriteable when the text cannot be written completely.
    PendingFile(const std::string& fileName, const std::string& text);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    // Throws FileNotWriteable when the rename fails; the target is then kept.
    void commit();

private:
    void discard();

    std::string myFileName;
    std::string myTarget;
    std::string myTemporary;
};
