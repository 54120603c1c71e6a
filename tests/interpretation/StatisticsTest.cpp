#include "InterpreterFixture.h"

#include <sstream>

namespace {

// The tree as indented lines, one item per line.
std::string dump(const std::vector<TextTreeItem>& items, int depth = 0) {
    std::ostringstream out;
    for (const TextTreeItem& item : items)
        out << std::string(2 * depth, ' ') << item.text << "\n" << dump(item.children, depth + 1);
    return out.str();
}

} // namespace

TEST_F(InterpreterTest, StatisticsCountOccurrencesByUserSymbol) {
    run("");
    EXPECT_EQ("Occurence Statistics\n"
              "  overall size: 0\n"
              "  visible items: 0\n"
              "  polygon number: 0\n"
              "  by symbol\n"
              "Geometrical Statistics\n"
              "  <no visible item exists>\n",
              dump(tree.items()));

    ShapeDef hidden;
    hidden.interpreted = false;
    shapes["X"] = hidden;
    run("X+F[FX]F{}");
    // Symbols are listed by id, and which of the two got the lower one
    // depends on the tests that ran before.
    const std::string f = "    F\n      occurences: 3\n", x = "    X\n      occurences: 2\n";
    const bool fFirst = String2IDManager::instance().getID("F") < String2IDManager::instance().getID("X");
    EXPECT_EQ("Occurence Statistics\n"
              "  overall size: 10\n"
              "  visible items: 3\n"
              "  polygon number: 1\n"
              "  by symbol\n" +
                  (fFirst ? f + x : x + f) + "Geometrical Statistics\n",
              dump(tree.items()));
}
