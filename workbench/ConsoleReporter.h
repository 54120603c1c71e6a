#pragma once
// Reports one-off failures and warnings without a window: the title, ":", a
// line end, the text and a line end on standard error.

#include "diagnostics/FailureReporter.h"

class ConsoleReporter : public FailureReporter {
public:
    void report(const std::string& title, const std::string& text) override;
};
