#pragma once
// Test helpers: a temporary directory removed with its content, and a
// simulated full disk.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/klado-test-XXXXXX";
        myPath = ::mkdtemp(pattern);
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code error;
        fs::permissions(myPath, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(myPath, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The path of a file in the directory; the directory itself for "".
    std::string path(const std::string& name) const { return name.empty() ? myPath : myPath + "/" + name; }

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }

    std::string read(const std::string& name) const {
        std::ostringstream text;
        text << std::ifstream(path(name), std::ios::binary).rdbuf();
        return text.str();
    }

    // The names in the directory, sorted.
    std::vector<std::string> entries() const { return entriesOf(myPath); }

    static std::vector<std::string> entriesOf(const std::string& directory) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string myPath;
};

// While it exists, no file of this process can grow beyond the limit: writes
// beyond it fail as on a full disk (the signal that would end the process is
// ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &myOld);
        myOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = myOld;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &myOld);
        std::signal(SIGXFSZ, myOldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit myOld;
    void (*myOldHandler)(int);
};
