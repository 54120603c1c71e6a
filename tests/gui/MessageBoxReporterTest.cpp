#include "editors/MessageBoxReporter.h"

#include "../GuiTestApp.h"

#include <gtest/gtest.h>

namespace {

// The text of the first label with text in the window.
FXString labelIn(FXWindow* window) {
    for (FXWindow* child = window->getFirst(); child; child = child->getNext()) {
        if (child->isMemberOf(FXMETACLASS(FXLabel)) && !static_cast<FXLabel*>(child)->getText().empty() &&
            !child->isMemberOf(FXMETACLASS(FXButton)))
            return static_cast<FXLabel*>(child)->getText();
        const FXString inner = labelIn(child);
        if (!inner.empty()) return inner;
    }
    return FXString();
}

TEST(MessageBoxReporter, ShowsTitleAndTextLiterally) {
    FXMainWindow window(guiApp(), "test");
    window.create();
    MessageBoxReporter reporter(&window);
    FXString title;
    FXString text;
    Poller close([&] {
        FXWindow* box = guiApp()->getModalWindow();
        if (!box || !box->isMemberOf(FXMETACLASS(FXMessageBox))) return false;
        title = static_cast<FXMessageBox*>(box)->getTitle();
        text = labelIn(box);
        box->handle(box, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
        return true;
    });
    reporter.report("Definition error", "100% of %s and %d");
    EXPECT_EQ(title, "Definition error");
    EXPECT_EQ(text, "100% of %s and %d");
}

} // namespace
