#include "../GuiTestApp.h"

#include "editors/MFXColorWell.h"

namespace {

using ColorWellTest = GuiTest;

TEST_F(ColorWellTest, ADialogSessionIsOneEditEndedByOneCommand) {
    window = new FXMainWindow(app, "wells");
    auto* well = new MFXColorWell(window, FXRGB(0, 0, 0), &recorder, 1,
                                  COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 24);
    show();
    FXColor last = 0;
    recorder.hook = [&](FXObject*, FXSelector, void* ptr) {
        last = static_cast<FXColor>(reinterpret_cast<FXuval>(ptr));
    };
    // Double-clicks the well and, in its dialog, sends the well the dialog's
    // messages, then closes the dialog with OK or Cancel.
    const auto edit = [&](const std::vector<std::pair<FXuint, FXColor>>& messages, bool accept) {
        recorder.changes = recorder.commands = 0;
        whenModal<FXColorDialog>([&](FXColorDialog* dialog) {
            for (const auto& [type, colour] : messages) {
                dialog->setRGBA(colour);
                well->handle(dialog, FXSEL(type, MFXColorWell::ID_DIALOG),
                             reinterpret_cast<void*>(static_cast<FXuval>(colour)));
            }
            dialog->handle(app, FXSEL(SEL_COMMAND, accept ? FXDialogBox::ID_ACCEPT : FXDialogBox::ID_CANCEL), nullptr);
        });
        click(well, 2);
    };

    // Two drags, each released: the toolkit's dialog says SEL_COMMAND at
    // each release; the target hears of the end only once.
    edit({{SEL_CHANGED, FXRGB(10, 0, 0)},
          {SEL_COMMAND, FXRGB(20, 0, 0)},
          {SEL_CHANGED, FXRGB(30, 0, 0)},
          {SEL_COMMAND, FXRGB(40, 0, 0)}},
         true);
    EXPECT_EQ(4, recorder.changes);
    EXPECT_EQ(1, recorder.commands);
    EXPECT_EQ(FXRGB(40, 0, 0), last);
    EXPECT_EQ(FXRGB(40, 0, 0), well->getRGBA());

    // Cancel ends the edit with the old colour.
    edit({{SEL_CHANGED, FXRGB(0, 50, 0)}}, false);
    EXPECT_EQ(1, recorder.commands);
    EXPECT_EQ(FXRGB(40, 0, 0), last);
    EXPECT_EQ(FXRGB(40, 0, 0), well->getRGBA());

    // A dialog that changes nothing is no edit.
    edit({}, true);
    EXPECT_EQ(0, recorder.changes + recorder.commands);
}

} // namespace
