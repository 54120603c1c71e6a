#include "diagnostics/ErrorHandler.h"
#include "diagnostics/Error.h"

#include <gtest/gtest.h>

namespace {

TEST(StoringErrorHandler, ResetRereadsAndClearDestroys) {
    tov::StoringErrorHandler handler;
    handler.add(std::make_unique<Warning>("first"));
    handler.add(nullptr);
    handler.add(std::make_unique<Warning>("second"));
    EXPECT_EQ(handler.messageCount(), 2);
    EXPECT_FALSE(handler.hasErrors());

    ASSERT_TRUE(handler.hasNext());
    EXPECT_EQ(handler.next()->message(), "first");
    handler.reset();
    EXPECT_EQ(handler.messageCount(), 0);
    EXPECT_EQ(tov::joinMessages(handler), "\n first\n second");
    EXPECT_FALSE(handler.hasNext());

    handler.clear();
    EXPECT_FALSE(handler.hasNext() || handler.hasMessages());
    handler.add(std::make_unique<Error>("after clear"));
    EXPECT_TRUE(handler.hasErrors());
    EXPECT_EQ(tov::joinMessages(handler), "\n after clear");
}

} // namespace
