#pragma once
// Shows one-off failures in an error message box over a window.

#include "diagnostics/FailureReporter.h"

namespace FX {
class FXWindow;
}

class MessageBoxReporter : public FailureReporter {
public:
    explicit MessageBoxReporter(FX::FXWindow* owner) : owner(owner) {}
    void report(const std::string& title, const std::string& text) override;

private:
    FX::FXWindow* owner;
};
