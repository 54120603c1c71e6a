#include "editors/MessageBoxReporter.h"

#include <fx.h>

// The text goes through "%s": a "%" in it is shown as it is.

void MessageBoxReporter::report(const std::string& title, const std::string& text) {
    FXMessageBox::error(owner, MBOX_OK, title.c_str(), "%s", text.c_str());
}

void MessageBoxReporter::warn(const std::string& title, const std::string& text) {
    FXMessageBox::warning(owner, MBOX_OK, title.c_str(), "%s", text.c_str());
}
