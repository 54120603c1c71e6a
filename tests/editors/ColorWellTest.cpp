#include "GuiFixture.h"

#include "editors/MFXColorWell.h"

namespace {

class ColorWellTest : public GuiTest {
protected:
    // Double-clicks the well and, in its dialog, sends the well the dialog's
    // messages, then closes the dialog with OK or Cancel.
    void editInDialog(MFXColorWell* well, const std::vector<std::pair<FXuint, FXColor>>& messages, bool accept) {
        whenModal([&](FXWindow* modal) {
            auto* dialog = dynamic_cast<FXColorDialog*>(modal);
            if (!dialog) return false;
            for (const auto& [type, colour] : messages) {
                dialog->setRGBA(colour);
                well->handle(dialog, FXSEL(type, MFXColorWell::ID_DIALOG),
                             reinterpret_cast<void*>(static_cast<FXuval>(colour)));
            }
            dialog->handle(app, FXSEL(SEL_COMMAND, accept ? FXDialogBox::ID_ACCEPT : FXDialogBox::ID_CANCEL), nullptr);
            return true;
        });
        click(well, 2);
    }
    Recorder recorder;
};

TEST_F(ColorWellTest, ADialogSessionIsOneEditEndedByOneCommand) {
    window = new FXMainWindow(app, "wells");
    auto* well = new MFXColorWell(window, FXRGB(0, 0, 0), &recorder, 1,
                                  COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 24);
    show();
    FXColor last = 0;
    recorder.onValue = [&](void* ptr) { last = static_cast<FXColor>(reinterpret_cast<FXuval>(ptr)); };

    // Two drags, each released: the toolkit's dialog says SEL_COMMAND at
    // each release; the target hears of the end only once.
    editInDialog(well,
                 {{SEL_CHANGED, FXRGB(10, 0, 0)},
                  {SEL_COMMAND, FXRGB(20, 0, 0)},
                  {SEL_CHANGED, FXRGB(30, 0, 0)},
                  {SEL_COMMAND, FXRGB(40, 0, 0)}},
                 true);
    EXPECT_EQ(4, recorder.changes);
    EXPECT_EQ(1, recorder.commands);
    EXPECT_EQ(FXRGB(40, 0, 0), last);
    EXPECT_EQ(FXRGB(40, 0, 0), well->getRGBA());

    // Cancel ends the edit with the old colour.
    recorder.changes = recorder.commands = 0;
    editInDialog(well, {{SEL_CHANGED, FXRGB(0, 50, 0)}}, false);
    EXPECT_EQ(1, recorder.commands);
    EXPECT_EQ(FXRGB(40, 0, 0), last);
    EXPECT_EQ(FXRGB(40, 0, 0), well->getRGBA());

    // A dialog that changes nothing is no edit.
    recorder.changes = recorder.commands = 0;
    editInDialog(well, {}, true);
    EXPECT_EQ(0, recorder.changes + recorder.commands);
}

} // namespace
