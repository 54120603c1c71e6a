#pragma once
// What one interpretation saw and drew, and its listing in a text tree.

#include <cstdint>
#include <map>

class TextTree;

class Statistics {
public:
    void clear();

    // Every atom of the string, under its symbol id.
    void countAtom(std::int32_t id) {
        ++myOverallSize;
        ++myOccurrences[id];
    }
    // A line, tube, cone, ball or torus placed for a user symbol.
    void countVisibleItem() { ++myVisibleItems; }
    // A polygon started by "{".
    void countPolygon() { ++myPolygons; }

    std::uint64_t overallSize() const { return myOverallSize; }
    std::uint64_t visibleItems() const { return myVisibleItems; }
    std::uint64_t polygons() const { return myPolygons; }

    // Appends "Occurence Statistics" with the counters and the occurrences of
    // every user symbol by name, then "Geometrical Statistics", which notes
    // when the result holds nothing at all.
    void fillTree(TextTree& tree, bool resultIsEmpty) const;

private:
    std::uint64_t myOverallSize = 0;
    std::uint64_t myVisibleItems = 0;
    std::uint64_t myPolygons = 0;
    std::map<std::int32_t, std::uint64_t> myOccurrences;
};
