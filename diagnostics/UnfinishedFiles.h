#pragma once
// The temporary files and folders of outputs being written, so that an
// interrupted program can remove them before it ends: a failed or interrupted
// export leaves nothing behind.

#include <csignal>
#include <string>

namespace UnfinishedFiles {

// Holds the interrupt signals back while it lives: a file created and noted
// under one cannot be left behind by an interrupt between the two.
class SignalBlock {
public:
    SignalBlock();
    ~SignalBlock();
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t myOld;
};

// Notes a file or folder to remove when the program is interrupted. Paths
// beyond the table's room are not noted.
void add(const std::string& path);
// Forgets a path once it is renamed or removed.
void forget(const std::string& path);
// Removes every noted file, then every noted folder. Safe to call from a
// signal handler.
void removeAll();

} // namespace UnfinishedFiles
