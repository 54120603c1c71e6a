#pragma once
// Error handlers: producers add diagnostic records, the caller decides what
// happens to them (collected for one message box, or printed as they arise).

#include "diagnostics/Error.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <ostream>
#include <string>

namespace tov {

// Counts the records it is given and discards them.
class ErrorHandler {
public:
    ErrorHandler() = default;
    ErrorHandler(const ErrorHandler&) = delete;
    ErrorHandler& operator=(const ErrorHandler&) = delete;
    virtual ~ErrorHandler() = default;

    // Adds the other's message count; errors and reportable grow by one
    // each when the other handler has any.
    virtual void merge(const ErrorHandler& other);
    // The handler owns the record from now on; a null record is ignored.
    virtual void add(std::unique_ptr<Error> record);
    // Sets the counters to zero.
    virtual void reset();

    bool hasMessages() const { return myMessages > 0; }
    bool hasErrors() const { return myErrors > 0; }
    bool hasReportable() const { return myReportable > 0; }
    std::int32_t messageCount() const { return myMessages; }
    std::int32_t reportableCount() const { return myReportable; }

protected:
    void count(const Error& record);

private:
    std::int32_t myMessages = 0;
    std::int32_t myErrors = 0;
    std::int32_t myReportable = 0;
};

// Keeps the records in arrival order so that they can be read afterwards.
class StoringErrorHandler : public ErrorHandler {
public:
    // maxRecords 0 keeps every record; otherwise the oldest records are
    // dropped so that at most maxRecords are kept (all are still counted).
    explicit StoringErrorHandler(std::size_t maxRecords = 0);

    void add(std::unique_ptr<Error> record) override;
    // Zeroes the counters and rewinds to the first record; the records stay.
    void reset() override;

    bool hasNext() const { return myCursor < myRecords.size(); }
    // The record at the read cursor, which then advances; null when there is
    // none. The handler keeps ownership.
    const Error* next();
    // Destroys every record, then reset().
    void clear();

private:
    std::deque<std::unique_ptr<Error>> myRecords;
    std::size_t myCursor = 0;
    std::size_t myMaxRecords;
};

// Writes each record's message as one line as soon as it arrives.
class ReportingErrorHandler : public ErrorHandler {
public:
    explicit ReportingErrorHandler(std::ostream& out);

    void add(std::unique_ptr<Error> record) override;

private:
    std::ostream& myOut;
};

// The remaining stored messages as one text for a message box: "\n " and the
// message of every record taken with next().
std::string joinMessages(StoringErrorHandler& handler);

} // namespace tov
