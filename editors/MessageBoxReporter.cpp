#include "editors/MessageBoxReporter.h"

#include <fx.h>

void MessageBoxReporter::report(const std::string& title, const std::string& text) {
    FXMessageBox::error(owner, MBOX_OK, title.c_str(), "%s", text.c_str());
}
