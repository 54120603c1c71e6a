#pragma once
// Where one-off failures go (a file that cannot be opened, read or written, a
// failed export, a computation error). Without a window the message is
// written as one line on standard error; the window shows it in an error
// message box, and a warning (something left out, the rest done) in a
// warning box.

#include <string>

class FailureReporter {
public:
    virtual ~FailureReporter() = default;
    virtual void report(const std::string& title, const std::string& text);
    virtual void warn(const std::string& title, const std::string& text);

    // A reporter that writes the text alone to standard error.
    static FailureReporter& standardError();
};
