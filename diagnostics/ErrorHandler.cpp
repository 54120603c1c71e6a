#include "diagnostics/ErrorHandler.h"

namespace tov {

void ErrorHandler::merge(const ErrorHandler& other) {
    myMessages += other.myMessages;
    if (other.myErrors > 0) ++myErrors;
    if (other.myReportable > 0) ++myReportable;
}

void ErrorHandler::add(std::unique_ptr<Error> record) {
    if (record) count(*record);
}

void ErrorHandler::reset() {
    myMessages = 0;
    myErrors = 0;
    myReportable = 0;
}

void ErrorHandler::count(const Error& record) {
    ++myMessages;
    if (record.isError()) ++myErrors;
    if (record.isReportable()) ++myReportable;
}

StoringErrorHandler::StoringErrorHandler(std::size_t maxRecords) : myMaxRecords(maxRecords) {}

void StoringErrorHandler::add(std::unique_ptr<Error> record) {
    if (!record) return;
    // The cursor is a position counted from the first record and keeps it
    // when the oldest record is dropped.
    if (myMaxRecords > 0 && myRecords.size() >= myMaxRecords) myRecords.pop_front();
    count(*record);
    myRecords.push_back(std::move(record));
}

void StoringErrorHandler::reset() {
    ErrorHandler::reset();
    myCursor = 0;
}

const Error* StoringErrorHandler::next() {
    if (!hasNext()) return nullptr;
    return myRecords[myCursor++].get();
}

void StoringErrorHandler::clear() {
    myRecords.clear();
    reset();
}

ReportingErrorHandler::ReportingErrorHandler(std::ostream& out) : myOut(out) {}

void ReportingErrorHandler::add(std::unique_ptr<Error> record) {
    if (!record) return;
    myOut << record->message() << '\n';
    myOut.flush();
    count(*record);
}

std::string joinMessages(StoringErrorHandler& handler) {
    std::string text;
    while (const Error* record = handler.next()) text += "\n " + record->message();
    return text;
}

} // namespace tov
