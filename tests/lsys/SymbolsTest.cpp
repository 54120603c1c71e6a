#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>

#include "lsys/Atom.h"
#include "lsys/String2IDManager.h"

namespace {

// A name is one character in single-character mode; in multi-character
// mode it runs up to a built-in symbol, a separator or a parameter list.
TEST(SymbolNames, AreCutInBothModes) {
    const std::tuple<const char*, std::size_t, bool, const char*> cuts[] = {
        {"Leaf[+Le]", 0, false, "L"}, {"Leaf[+Le]", 0, true, "Leaf"}, {"Leaf[+Le]", 6, true, "Le"},
        {"AB CD", 0, true, "AB"},     {"CD\tE", 0, true, "CD"},       {"Stem(1,2)", 0, true, "Stem"},
        {"x\xB0y", 1, true, "\xB0"},  {"x\xB0y", 0, true, "x"},       {"F", 1, true, ""},
        {"A(1)", 1, false, "("},
    };
    for (const auto& [text, position, multiChar, name] : cuts)
        EXPECT_EQ(cutSymbolName(text, position, multiChar), name) << text << " at " << position;
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
