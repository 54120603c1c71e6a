#include "diagnostics/FailureReporter.h"

#include <iostream>

void FailureReporter::report(const std::string& /*title*/, const std::string& text) { std::cerr << text << std::endl; }

FailureReporter& FailureReporter::standardError() {
    static FailureReporter reporter;
    return reporter;
}
