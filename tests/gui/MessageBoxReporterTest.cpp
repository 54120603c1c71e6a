#include "editors/MessageBoxReporter.h"

#include "../GuiTestApp.h"

namespace {

TEST(MessageBoxReporter, ShowsTitleAndTextLiterally) {
    FXMainWindow window(guiApp(), "test");
    window.create();
    MessageBoxReporter reporter(&window);
    FXString title;
    bool textShown = false;
    whenModal<FXMessageBox>([&](FXMessageBox* box) {
        title = box->getTitle();
        textShown = findLabel(box, "100% of %s and %d") != nullptr;
        box->handle(box, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
    });
    reporter.report("Definition error", "100% of %s and %d");
    EXPECT_EQ(title, "Definition error");
    EXPECT_TRUE(textShown);
}

} // namespace
