#include "diagnostics/Error.h"
#include "diagnostics/ErrorHandler.h"
#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ErrorRecord, KindsTextsAndClones) {
    const Error error("e");
    const Warning warning("w");
    const MinorError minor("m");
    const FatalError fatal("f");
    EXPECT_TRUE(error.isError() && !error.isWarning() && !error.isMinor() && error.isReportable());
    EXPECT_TRUE(warning.isWarning() && !warning.isError() && !warning.isMinor() && warning.isReportable());
    EXPECT_TRUE(minor.isError() && minor.isMinor() && !minor.isWarning() && minor.isReportable());
    EXPECT_TRUE(fatal.isError() && !fatal.isMinor() && !fatal.isWarning() && fatal.isReportable());

    std::ostringstream out;
    out << Warning("bad angle", -1);
    EXPECT_EQ(out.str(), "bad angle");
    EXPECT_EQ(Warning("bad angle").labelledText(), "Warning: bad angle(id:-1)");

    // Clones keep kind, text and id; a plain Error cannot be cloned.
    std::unique_ptr<Error> copy = Warning("unused rule", 7).clone();
    EXPECT_TRUE(copy->isWarning());
    EXPECT_EQ(copy->labelledText(), "Warning: unused rule(id:7)");
    EXPECT_EQ(MinorError("m", 12).clone()->labelledText(), "MinorError: m(id:12)");
    EXPECT_EQ(FatalError("x", 3).clone()->labelledText(), "FatalError: x(id:3)");
    EXPECT_THROW(Error("plain").clone(), InvalidArgument);
}

TEST(ErrorHandler, CountsIgnoresNullAndMerges) {
    tov::ErrorHandler handler;
    handler.add(nullptr);
    EXPECT_FALSE(handler.hasMessages());
    handler.add(std::make_unique<Warning>("w"));
    EXPECT_TRUE(handler.hasMessages());
    EXPECT_FALSE(handler.hasErrors());

    tov::ErrorHandler other;
    other.add(std::make_unique<Error>("a"));
    other.add(std::make_unique<MinorError>("b"));
    other.add(std::make_unique<Warning>("c"));
    handler.merge(other);
    // Messages add up; errors and reportable grow by one only.
    EXPECT_EQ(handler.messageCount(), 4);
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
