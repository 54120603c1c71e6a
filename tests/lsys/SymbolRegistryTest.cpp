#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "lsys/String2IDManager.h"

namespace {

// A registry as the program entry prepares it.
class SymbolRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { registry.registerBuiltins(); }
    String2IDManager registry;
};

TEST_F(SymbolRegistryTest, AlphabetGetsFixedIDsAndNewNamesIncreasingOnes) {
    const std::pair<int, const char*> fixed[] = {{0, "+"},     {8, "["},     {9, "]"}, {10, "|"},
                                                 {22, "\xB0"}, {23, "\xA7"}, {26, "%"}};
    for (const auto& [id, name] : fixed) {
        EXPECT_EQ(registry.getName(id), name);
        EXPECT_EQ(registry.getID(name), id);
    }
    EXPECT_TRUE(isBuiltinCharacter('"'));
    for (char c : {'F', '(', '\0'}) EXPECT_FALSE(isBuiltinCharacter(c));

    EXPECT_EQ(registry.getNextID(), 1000);
    EXPECT_EQ(registry.getID("F"), 1000);
    EXPECT_EQ(registry.getID("Leaf"), 1001);
    EXPECT_EQ(registry.getID("F"), 1000);
    EXPECT_EQ(registry.getName(1001), "Leaf");
    EXPECT_EQ(registry.idOf("Leaf"), 1001);
    EXPECT_EQ(registry.getNextID(), 1002);

    // The next id only grows.
    EXPECT_THROW(registry.setNextID(1002), std::exception);
    EXPECT_THROW(registry.setNextID(5), std::exception);
    registry.setNextID(2000);
    EXPECT_EQ(registry.getID("A"), 2000);
}

TEST_F(SymbolRegistryTest, UnknownElementsLeaveTheRegistryUnchangedAndResetForgetsUserSymbols) {
    registry.getID("A");
    const auto names = registry.getNames();
    try {
        registry.getName(4711);
        FAIL() << "no exception";
    } catch (const UnknownElement& e) {
        EXPECT_EQ(e.id(), 4711);
    }
    try {
        registry.idOf("Nope");
        FAIL() << "no exception";
    } catch (const UnknownElement& e) {
        EXPECT_EQ(e.name(), "Nope");
    }
    EXPECT_THROW(registry.remove(std::string("Nope")), UnknownElement);
    EXPECT_THROW(registry.remove(4711), UnknownElement);
    EXPECT_EQ(registry.getNames(), names);
    EXPECT_EQ(registry.getNextID(), 1001);

    registry.getID("B");
    registry.resetToID(firstUserSymbolID);
    EXPECT_FALSE(registry.hasName("A") || registry.hasID(1001));
    EXPECT_EQ(registry.getName(8), "[");
    EXPECT_EQ(registry.getID("B"), 1000);
    EXPECT_EQ(registry.getNames().size(), 28u);
}

TEST_F(SymbolRegistryTest, BothDirectionsStayInverseAndNamesListInNameOrder) {
    registry.insert(std::string("X"), 1500);
    EXPECT_EQ(registry.getName(1500), "X");
    // Re-pairing the name drops its old id; re-pairing the id drops its old name.
    registry.insert(1600, std::string("X"));
    EXPECT_FALSE(registry.hasID(1500));
    registry.insert(std::string("Y"), 1600);
    EXPECT_FALSE(registry.hasName("X"));
    EXPECT_EQ(registry.getName(1600), "Y");
    registry.remove(1600);
    EXPECT_FALSE(registry.hasName("Y"));
    registry.remove(std::string("+"));
    EXPECT_FALSE(registry.hasID(0));

    String2IDManager fresh;
    for (const char* name : {"b", "a", "C"}) fresh.getID(name);
    EXPECT_EQ(fresh.getNames(), (std::vector<std::string>{"C", "a", "b"}));
    EXPECT_EQ(fresh.getID("a"), 1);
}

// A worker reads names and ids while the main thread registers new ones.
TEST_F(SymbolRegistryTest, ReadsStayCorrectWhileNamesAreAdded) {
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
