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

TEST_F(InterpreterTest, StatisticsOfAnEmptyString) {
    run("");
    EXPECT_EQ("Occurence Statistics\n"
              "  overall size: 0\n"
              "  visible items: 0\n"
              "  polygon number: 0\n"
              "  by symbol\n"
              "Geometrical Statistics\n"
              "  <no visible item exists>\n",
              dump(tree.items()));
}

TEST_F(InterpreterTest, StatisticsCountOccurrencesByUserSymbol) {
    ShapeDef hidden;
    hidden.interpreted = false;
    shapes["X"] = hidden;
    const int idF = String2IDManager::instance().getID("F");
    const int idX = String2IDManager::instance().getID("X");
    run("X+F[FX]F{}");
    const std::string first = idF < idX ? "F" : "X";
    const std::string second = idF < idX ? "X" : "F";
    const int count[] = {idF < idX ? 3 : 2, idF < idX ? 2 : 3};
    EXPECT_EQ("Occurence Statistics\n"
              "  overall size: 10\n"
              "  visible items: 3\n"
              "  polygon number: 1\n"
              "  by symbol\n"
              "    " +
                  first +
                  "\n"
                  "      occurences: " +
                  std::to_string(count[0]) +
                  "\n"
                  "    " +
                  second +
                  "\n"
                  "      occurences: " +
                  std::to_string(count[1]) +
                  "\n"
                  "Geometrical Statistics\n",
              dump(tree.items()));
}
