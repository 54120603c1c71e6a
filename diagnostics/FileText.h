#pragma once
// Reading whole input files, and the one way every output is written.

#include <cstddef>
#include <string>

// The largest input read: far beyond any definition or palette, and a bound
// for endless sources such as /dev/zero.
constexpr std::size_t largestInput = std::size_t(256) << 20;

// The whole content of the file, read as a stream: pipes, FIFOs (which wait
// for their writer) and /dev/stdin are read like files. Throws
// FileNotFoundError when the file cannot be opened or read; its reason is
// "'NAME' is a directory." or "'NAME' is larger than 256 MB." where that is why.
std::string readFileText(const std::string& fileName);

// An output being written, chunk by chunk.
//
// A regular file, or a name that does not exist yet, is never left half
// written: the chunks go to a new file beside it (a short hidden name, noted
// with UnfinishedFiles), and commit() renames that over the target, keeping
// its mode. A symbolic link is followed, so the file it points to is replaced.
//
// A character device, FIFO, socket or terminal, named directly or through a
// link (/dev/stdout, /dev/fd/N), is opened and written straight through:
// replacing it would destroy the node. A FIFO waits for its reader.
//
// A target without any write permission bit is refused, whoever runs the
// program, and so are directories and block devices. Every failure throws
// FileNotWriteable with a reason; a regular target then stays as it was.
class OutputFile {
public:
    explicit OutputFile(const std::string& fileName);
    // Removes the new file of a regular target that was never committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const char* data, std::size_t size);
    void write(const std::string& text) { write(text.data(), text.size()); }
    // Puts the written content in place: renames the new file over a regular
    // target, closes a special one.
    void commit();
    // True when the target is written straight through.
    bool isSpecial() const { return mySpecial; }

private:
    [[noreturn]] void fail(const std::string& reason);
    void discard();

    std::string myFileName;
    std::string myTarget;
    std::string myTemporary;
    int myFD = -1;
    bool mySpecial = false;
};

// Why OutputFile would refuse the name at once ("'NAME' is a directory.",
// "'NAME' is read-only.", "The folder 'DIR' does not exist.", ...), found
// without touching anything; empty when it may be written.
std::string outputProblem(const std::string& fileName);

// The whole text as one output (see OutputFile).
void writeOutput(const std::string& fileName, const std::string& text);
