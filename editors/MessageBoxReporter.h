#pragma once
// Reports to the user of a window: modal message boxes over the owner with an
// OK button and the text shown literally.

#include "diagnostics/FailureReporter.h"

namespace FX {
class FXWindow;
}

class MessageBoxReporter : public FailureReporter {
public:
    explicit MessageBoxReporter(FX::FXWindow* owner) : owner(owner) {}

    // An error box.
    void report(const std::string& title, const std::string& text) override;
    // A warning box.
    void warn(const std::string& title, const std::string& text) override;

private:
    FX::FXWindow* owner;
};
