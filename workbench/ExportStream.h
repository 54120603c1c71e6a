#pragma once
// An export on its way into an output file: text, numbers and binary
// records go into a buffer of a few megabytes that is written whenever it is
// full, so that no export holds more than that of its file. The export
// counts its work as it goes; the progress follows, and a Cancel stops it
// at the next count by throwing ExportCancelled (the output file then
// leaves the old file as it was).

#include "diagnostics/FileText.h"
#include "lsys/ProgressRetriever.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <exception>
#include <vector>

class ExportCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The export was cancelled."; }
};

class ExportStream {
public:
    // total: the units of work the export will count (at least 1).
    ExportStream(OutputFile& file, ProgressRetriever* progress, std::uint64_t total);

    void put(const char* data, std::size_t size) {
        if (size > myBuffer.size() - myUsed) {
            flush();
            if (size > myBuffer.size()) {
                myFile.write(data, size);
                return;
            }
        }
        std::memcpy(myBuffer.data() + myUsed, data, size);
        myUsed += size;
    }
    void put(const std::string& text) { put(text.data(), text.size()); }
    void put(char c) {
        room(1);
        myBuffer[myUsed++] = c;
    }
    // The shortest text that reads back as the same float.
    void put(float value) {
        room(32);
        myUsed = static_cast<std::size_t>(
            std::to_chars(myBuffer.data() + myUsed, myBuffer.data() + myBuffer.size(), value).ptr - myBuffer.data());
    }
    void put(std::uint64_t value) {
        room(24);
        myUsed = static_cast<std::size_t>(
            std::to_chars(myBuffer.data() + myUsed, myBuffer.data() + myBuffer.size(), value).ptr - myBuffer.data());
    }
    // The bytes of a value as they are in memory (little-endian here).
    template <class T>
    void putBytes(const T& value) {
        put(reinterpret_cast<const char*>(&value), sizeof value);
    }

    // Counts units of work done: shows the progress and stops when the
    // user cancelled.
    void advance(std::uint64_t units);
    // Writes what the buffer holds.
    void flush();

private:
    void room(std::size_t size) {
        if (size > myBuffer.size() - myUsed) flush();
    }

    OutputFile& myFile;
    ProgressRetriever* myProgress;
    std::uint64_t myTotal;
    std::uint64_t myDone = 0;
    std::uint64_t myNextReport = 0;
    std::vector<char> myBuffer;
    std::size_t myUsed = 0;
};
