#include "gui/MessageBoxReporter.h"

// The text goes through "%s": a "%" in it is shown as it is.

void MessageBoxReporter::report(const std::string& title, const std::string& text) {
    FXMessageBox::error(myOwner, MBOX_OK, title.c_str(), "%s", text.c_str());
}

void MessageBoxReporter::warn(const std::string& title, const std::string& text) {
    FXMessageBox::warning(myOwner, MBOX_OK, title.c_str(), "%s", text.c_str());
}
