#include <gtest/gtest.h>

#include <tuple>

#include "lsys/AtomString.h"

namespace {

// Symbols are named in the process-wide registry, set up as the program
// entry does.
class AtomTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { String2IDManager::instance().registerBuiltins(); }

    // The names cut from the whole text, spaces and tabs skipped.
    static std::vector<std::string> cutAll(const std::string& text, bool multiChar) {
        std::vector<std::string> names;
        for (std::size_t pos = 0; pos < text.size();) {
            if (text[pos] == ' ' || text[pos] == '\t') {
                ++pos;
                continue;
            }
            names.push_back(cutSymbolName(text, pos, multiChar));
            pos += names.back().size();
        }
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(AtomTest, CutsNamesInBothModes) {
    EXPECT_EQ(cutAll("Leaf[+Le]", false), (Names{"L", "e", "a", "f", "[", "+", "L", "e", "]"}));
    EXPECT_EQ(cutAll("Leaf[+Le]", true), (Names{"Leaf", "[", "+", "Le", "]"}));
    EXPECT_EQ(cutAll("AB CD\tE", true), (Names{"AB", "CD", "E"}));
    const std::tuple<const char*, std::size_t, const char*> cuts[] = {
        {"Stem(1,2)", 0, "Stem"}, {"x\xB0y", 1, "\xB0"}, {"x\xB0y", 0, "x"}, {"F", 1, ""}};
    for (const auto& [text, position, name] : cuts) EXPECT_EQ(cutSymbolName(text, position, true), name) << text;
    EXPECT_EQ(cutSymbolName("A(1)", 1, false), "(");
}

} // namespace
