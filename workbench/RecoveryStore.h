#pragma once
// Recovery copies of documents with unsaved edits. While a window holds
// edits that are not saved, it keeps a copy of its document in a folder of
// the user's data: NAME.kld, a plain definition file, and NAME.info beside
// it, naming the original file, the process and the time; both are written
// atomically. The copy is removed when the edits are saved or given up. A
// program that ends without removing its copy leaves it for the next start.
//
// A copy is in use while its lock file NAME.lock is locked: by the window
// that keeps it, or by the one that offers it after its program ended.
// Locks end with their process, however it ends, so a copy is free exactly
// when no running program holds it, and two windows never take each other's
// copies.

#include <ctime>
#include <map>
#include <string>
#include <vector>

// A copy left by a program that ended without saving.
struct RecoveryCopy {
    std::string name;       // in the folder, without extension
    std::string definition; // path of the definition file
    std::string original;   // the file the edits belong to; empty for a document never saved
    long pid = 0;           // the program that kept it
    std::time_t time = 0;   // when it was written
    std::string problem;    // why the copy cannot be read; empty when it can
};

class RecoveryStore {
public:
    // How long the document stays unchanged before its copy is written, and
    // the longest a changed document waits while the edits go on, in seconds.
    static constexpr double quietTime = 2.0;
    static constexpr double longestWait = 6.0;

    // $XDG_DATA_HOME/klado/recovery, by default ~/.local/share/klado/recovery.
    static std::string defaultFolder();

    explicit RecoveryStore(std::string folder);
    // Lets go of the locks; the copies stay.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    const std::string& folder() const { return myFolder; }

    // Called now and then with the document's state (now in seconds): writes
    // the copy once the text has stayed unchanged for quietTime, or has waited
    // longestWait since it first differed from the copy; removes the copy when
    // the document is no longer modified. False when a write failed.
    bool update(bool modified, const std::string& text, const std::string& original, double now);
    // Writes this window's copy now. False, with the old copy kept, when it
    // cannot be written.
    bool keep(const std::string& text, const std::string& original);
    // Removes this window's copy, if there is one.
    void drop();
    // Whether this window has a copy on disk.
    bool keeping() const { return !myName.empty(); }

    // The copies that no running program holds, oldest first, each now held
    // by this store until it is released, discarded or adopted. A copy that
    // cannot be read carries the reason; it is never removed here.
    std::vector<RecoveryCopy> claimLeftCopies();
    // Leaves a claimed copy for a later start.
    void release(const RecoveryCopy& copy);
    // Removes a claimed copy.
    void discard(const RecoveryCopy& copy);
    // A claimed copy becomes this window's copy (its edits are now the
    // window's document), so that it stays on disk until they are saved.
    bool adopt(const RecoveryCopy& copy);

private:
    std::string path(const std::string& name, const char* extension) const;
    // Creates and locks a lock file of a new name; false when it cannot.
    bool reserveName();
    bool writeSidecar(const std::string& original);
    void unlock(const std::string& name);

    std::string myFolder;
    // This window's copy: its name (empty while there is none) and lock.
    std::string myName;
    int myLock = -1;
    // The locks of the claimed copies, by name.
    std::map<std::string, int> myClaims;

    // The pacing of update().
    std::string mySeen;       // the text at the last update
    std::string myWritten;    // the text of the copy on disk
    double myChanged = 0;     // when mySeen last changed
    double myFirstChange = 0; // when the text first differed from the copy
};
