#include "diagnostics/Error.h"

#include "diagnostics/Exceptions.h"

Error::Error(std::string message, int id) : myMessage(std::move(message)), myId(id) {}

bool Error::isWarning() const { return false; }
bool Error::isError() const { return true; }
bool Error::isMinor() const { return false; }
bool Error::isReportable() const { return true; }
std::string Error::message() const { return myMessage; }

std::unique_ptr<Error> Error::clone() const { throw InvalidArgument(""); }

const char* Error::label() const { return "Error: "; }

std::string Error::labelledText() const { return label() + myMessage + "(id:" + std::to_string(myId) + ")"; }

bool Warning::isWarning() const { return true; }
bool Warning::isError() const { return false; }
std::unique_ptr<Error> Warning::clone() const { return std::make_unique<Warning>(*this); }
const char* Warning::label() const { return "Warning: "; }

bool MinorError::isMinor() const { return true; }
std::unique_ptr<Error> MinorError::clone() const { return std::make_unique<MinorError>(*this); }
const char* MinorError::label() const { return "MinorError: "; }

std::unique_ptr<Error> FatalError::clone() const { return std::make_unique<FatalError>(*this); }
const char* FatalError::label() const { return "FatalError: "; }

std::ostream& operator<<(std::ostream& out, const Error& record) { return out << record.message(); }
