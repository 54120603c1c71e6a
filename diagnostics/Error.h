#pragma once
// Diagnostic records produced by parsers and by the preparation of a
// definition. Producers create a record on the heap and hand it to an error
// handler (see ErrorHandler.h), which owns it from then on.

#include <memory>
#include <ostream>
#include <string>

// An ordinary error; also the base of the other kinds.
class Error {
public:
    explicit Error(std::string message, int id = -1);
    virtual ~Error() = default;

    virtual bool isWarning() const;
    virtual bool isError() const;
    virtual bool isMinor() const;
    virtual bool isReportable() const;
    virtual std::string message() const;
    // A new record of the same kind, text and id. A plain Error cannot be
    // cloned and raises InvalidArgument.
    virtual std::unique_ptr<Error> clone() const;

    int id() const { return myId; }
    // "<Kind>: <message>(id:<id>)", e.g. "Warning: unknown symbol(id:-1)".
    std::string labelledText() const;

protected:
    Error(const Error&) = default;
    Error& operator=(const Error&) = default;
    virtual const char* label() const;

private:
    std::string myMessage;
    int myId;
};

class Warning : public Error {
public:
    using Error::Error;
    bool isWarning() const override;
    bool isError() const override;
    std::unique_ptr<Error> clone() const override;

protected:
    const char* label() const override;
};

class MinorError : public Error {
public:
    using Error::Error;
    bool isMinor() const override;
    std::unique_ptr<Error> clone() const override;

protected:
    const char* label() const override;
};

class FatalError : public Error {
public:
    using Error::Error;
    std::unique_ptr<Error> clone() const override;

protected:
    const char* label() const override;
};

// Writes the message text only.
std::ostream& operator<<(std::ostream& out, const Error& record);
