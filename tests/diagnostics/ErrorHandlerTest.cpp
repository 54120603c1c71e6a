#include "diagnostics/ErrorHandler.h"
#include "diagnostics/Error.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ErrorHandler, CountsWarningsAndErrorsIgnoresNullAndMerges) {
    tov::ErrorHandler handler;
    handler.add(nullptr);
    EXPECT_FALSE(handler.hasMessages());
    handler.add(std::make_unique<Warning>("w"));
    EXPECT_TRUE(handler.hasMessages());
    EXPECT_FALSE(handler.hasErrors());

    tov::ErrorHandler other;
    other.add(std::make_unique<MinorError>("b"));
    other.add(std::make_unique<FatalError>("c"));
    handler.merge(other);
    // Messages add up; errors and reportable grow by one only.
    EXPECT_EQ(handler.messageCount(), 3);
    EXPECT_EQ(handler.reportableCount(), 2);
    EXPECT_TRUE(handler.hasErrors());

    handler.reset();
    EXPECT_FALSE(handler.hasMessages() || handler.hasErrors() || handler.hasReportable());
}

TEST(StoringErrorHandler, BoundedKeepsTheLastRecordsButCountsAll) {
    tov::StoringErrorHandler handler(2);
    handler.add(std::make_unique<Warning>("one"));
    handler.add(std::make_unique<Error>("two"));
    handler.add(std::make_unique<Warning>("three"));
    EXPECT_EQ(handler.messageCount(), 3);
    EXPECT_TRUE(handler.hasErrors());
    EXPECT_EQ(tov::joinMessages(handler), "\n two\n three");
    EXPECT_EQ(handler.next(), nullptr);
}

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
    EXPECT_EQ(tov::joinMessages(handler), "\n after clear");
}

TEST(ReportingErrorHandler, PrintsEachMessageAtOnceAndKeepsOnlyCounts) {
    std::ostringstream out;
    tov::ReportingErrorHandler handler(out);
    handler.add(std::make_unique<Warning>("careful"));
    EXPECT_EQ(out.str(), "careful\n");
    handler.add(nullptr);
    handler.add(std::make_unique<FatalError>("broken"));
    EXPECT_EQ(out.str(), "careful\nbroken\n");
    EXPECT_TRUE(handler.hasErrors());
    EXPECT_EQ(handler.messageCount(), 2);
}

} // namespace
