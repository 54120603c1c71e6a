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

// The name pattern of every temporary file and folder made beside a target:
// the folder (empty or ending in "/"), ".klado-", this process's id, "-" and
// six "X" for mkdtemp or fillTemplate to replace. Short, so that the name of
// a target of 255 bytes still leaves room for it.
std::string temporaryTemplate(const std::string& folder);
// Replaces the trailing "XXXXXX" by random letters and digits.
void fillTemplate(std::string& name);

// Removes from the folder what a run killed outright (SIGKILL) left behind:
// entries named by the pattern above that belong to this user, whose process
// is gone and that were last changed more than an hour ago. Nothing else is
// touched; failures are ignored.
void clearStale(const std::string& folder);

} // namespace UnfinishedFiles
