#pragma once
// Test helpers: a temporary directory removed with its content, and a
// simulated full disk.

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/klado-io-XXXXXX";
        myPath = ::mkdtemp(pattern);
    }
    ~TempDir() { std::system(("chmod -R u+w '" + myPath + "' && rm -rf '" + myPath + "'").c_str()); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The path of a file in the directory; the directory itself for "".
    std::string path(const std::string& name) const { return name.empty() ? myPath : myPath + "/" + name; }

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }

    // The names in the directory, sorted.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(myPath.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            ::closedir(dir);
        }
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
