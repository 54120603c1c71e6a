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
