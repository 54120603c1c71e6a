#include <gtest/gtest.h>

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

TEST_F(SymbolRegistryTest, UnknownElementsLeaveTheRegistryUnchangedAndResetForgetsUserSymbols) {
    registry.getID("A");
    const auto names = registry.getNames();
    try {
        registry.getName(4711);
        FAIL() << "no exception";
    } catch (const UnknownElement& e) {
        EXPECT_EQ(e.id(), 4711);
    }
    EXPECT_EQ(registry.getNames(), names);
    EXPECT_EQ(registry.getNextID(), 1001);

    registry.getID("B");
    registry.resetToID(firstUserSymbolID);
    EXPECT_FALSE(registry.hasName("A") || registry.hasID(1001));
    EXPECT_EQ(registry.getName(8), "[");
    EXPECT_EQ(registry.getID("B"), 1000);
    EXPECT_EQ(registry.getNames().size(), 28u);
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
