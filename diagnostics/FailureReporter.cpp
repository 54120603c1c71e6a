#include "diagnostics/FailureReporter.h"

#include <iostream>

void FailureReporter::report(const std::string& /*title*/, const std::string& text) { std::cerr << text << std::endl; }

void FailureReporter::warn(const std::string& title, const std::string& text) { report(title, text); }

FailureReporter& FailureReporter::standardError() {
    static FailureReporter reporter;
    return reporter;
}
