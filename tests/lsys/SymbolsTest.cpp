#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>

#include "lsys/Atom.h"
#include "lsys/String2IDManager.h"

namespace {

// The names cut from the whole text, spaces and tabs skipped.
std::vector<std::string> cutAll(const std::string& text, bool multiChar) {
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

using Names = std::vector<std::string>;

TEST(SymbolNames, AreCutInBothModes) {
    EXPECT_EQ(cutAll("Leaf[+Le]", false), (Names{"L", "e", "a", "f", "[", "+", "L", "e", "]"}));
    EXPECT_EQ(cutAll("Leaf[+Le]", true), (Names{"Leaf", "[", "+", "Le", "]"}));
    EXPECT_EQ(cutAll("AB CD\tE", true), (Names{"AB", "CD", "E"}));
    const std::tuple<const char*, std::size_t, const char*> cuts[] = {
        {"Stem(1,2)", 0, "Stem"}, {"x\xB0y", 1, "\xB0"}, {"x\xB0y", 0, "x"}, {"F", 1, ""}};
    for (const auto& [text, position, name] : cuts) EXPECT_EQ(cutSymbolName(text, position, true), name) << text;
    EXPECT_EQ(cutSymbolName("A(1)", 1, false), "(");
}

// A worker reads names and ids while the main thread registers new ones.
TEST(SymbolRegistry, ReadsStayCorrectWhileNamesAreAdded) {
    String2IDManager registry;
    registry.registerBuiltins();
    const std::int32_t leaf = registry.getID("Leaf");
    bool readsCorrect = true;
    std::thread reader([&] {
        for (int i = 0; i < 20000; ++i)
            readsCorrect = readsCorrect && registry.getName(openBracketID) == "[" && registry.getID("Leaf") == leaf &&
                           registry.hasName("Leaf");
    });
    for (int i = 0; i < 2000; ++i) registry.getID("S" + std::to_string(i));
    reader.join();
    EXPECT_TRUE(readsCorrect);
    EXPECT_EQ(registry.getNextID(), leaf + 2001);
    EXPECT_EQ(registry.getName(leaf + 2000), "S1999");
}

} // namespace
