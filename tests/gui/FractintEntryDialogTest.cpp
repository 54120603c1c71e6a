#include "../GuiTestApp.h"

#include "../TempDir.h"
#include "gui/FractintEntryDialog.h"
#include "lsys/LSystemDefinition.h"

#include <gtest/gtest.h>

namespace {

const char* const curves = "Koch { angle 6\n axiom F--F--F\n F=F+F--F+F\n}\n"
                           "Dragon { angle 4\n axiom FX\n X=X+YF+\n Y=-FX-Y\n}\n"
                           "Bad { angle 2\n axiom F\n}\n";

class FractintEntryDialogTest : public ::testing::Test {
protected:
    FractintEntryDialogTest() : window(guiApp(), "test") {
        window.create();
        dir.write("curves.l", curves);
    }

    // Opens the file, choosing the entry (cancelling for -1), and answers
    // the message box that follows, whose text is kept.
    std::unique_ptr<LSystemDefinition> open(int entry, const std::string& file = "curves.l") {
        Poller answer([&] {
            FXWindow* modal = guiApp()->getModalWindow();
            if (auto* dialog = dynamic_cast<FractintEntryDialog*>(modal)) {
                dialog->choose(entry);
                dialog->handle(dialog, FXSEL(SEL_COMMAND, entry < 0 ? FXDialogBox::ID_CANCEL : FXDialogBox::ID_ACCEPT),
                               nullptr);
                return false; // a message box may follow
            }
            if (auto* box = dynamic_cast<FXMessageBox*>(modal)) {
                message = box->getTitle().text();
                box->handle(box, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
                return true;
            }
            return !modal && done;
        });
        message.clear();
        done = false;
        std::unique_ptr<LSystemDefinition> result = FractintEntryDialog::open(&window, dir.path(file));
        done = true;
        runUntil([&] { return !guiApp()->getModalWindow(); });
        return result;
    }

    FXMainWindow window;
    TempDir dir;
    std::string message;
    bool done = false;
};

TEST_F(FractintEntryDialogTest, OpensTheChosenEntryOrSaysWhatCannotBeOpened) {
    std::unique_ptr<LSystemDefinition> dragon = open(1);
    ASSERT_TRUE(dragon);
    EXPECT_EQ("Dragon", dragon->getName());
    EXPECT_EQ("FX", dragon->getAxiom());
    EXPECT_EQ("", message);
    EXPECT_FALSE(open(-1));
    EXPECT_FALSE(open(2));
    EXPECT_EQ("Error(s) on parsing", message);
    EXPECT_FALSE(open(0, "missing.l"));
    EXPECT_EQ("Error on loading file", message);
}

} // namespace
