#pragma once
// Reports to the user of the window: modal message boxes over the owner with
// an OK button and the text shown literally.

#include "diagnostics/FailureReporter.h"

#include <fx.h>

#include <string>

class MessageBoxReporter : public FailureReporter {
public:
    explicit MessageBoxReporter(FXWindow* owner) : myOwner(owner) {}

    // An error box.
    void report(const std::string& title, const std::string& text) override;
    // A warning box.
    void warn(const std::string& title, const std::string& text) override;

private:
    FXWindow* myOwner;
};
