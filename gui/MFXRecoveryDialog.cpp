#include "gui/MFXRecoveryDialog.h"

// clang-format off
FXDEFMAP(MFXRecoveryDialog) MFXRecoveryDialogMap[] = {
    FXMAPFUNCS(SEL_COMMAND, MFXRecoveryDialog::ID_RESTORE, MFXRecoveryDialog::ID_DISCARD, MFXRecoveryDialog::onCmdAnswer),
};
// clang-format on

FXIMPLEMENT(MFXRecoveryDialog, FXDialogBox, MFXRecoveryDialogMap, ARRAYNUMBER(MFXRecoveryDialogMap))

MFXRecoveryDialog::MFXRecoveryDialog(FXWindow* owner, const FXString& text)
    : FXDialogBox(owner, "Unsaved Edits", DECOR_TITLE | DECOR_BORDER | DECOR_CLOSE) {
    auto* buttons = new FXHorizontalFrame(this, LAYOUT_SIDE_BOTTOM | LAYOUT_FILL_X | PACK_UNIFORM_WIDTH);
    new FXHorizontalSeparator(this, SEPARATOR_GROOVE | LAYOUT_SIDE_BOTTOM | LAYOUT_FILL_X);
    new FXLabel(this, text, nullptr, JUSTIFY_LEFT | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 20, 20, 20, 20);
    const FXuint look = FRAME_RAISED | FRAME_THICK | LAYOUT_RIGHT;
    new FXButton(buttons, "&Later", nullptr, this, ID_CANCEL, look, 0, 0, 0, 0, 20, 20);
    new FXButton(buttons, "&Discard", nullptr, this, ID_DISCARD, look, 0, 0, 0, 0, 20, 20);
    new FXButton(buttons, "&Restore", nullptr, this, ID_RESTORE, BUTTON_DEFAULT | BUTTON_INITIAL | look, 0, 0, 0, 0, 20,
                 20);
}

MFXRecoveryDialog::Answer MFXRecoveryDialog::ask() { return static_cast<Answer>(execute(PLACEMENT_OWNER)); }

long MFXRecoveryDialog::onCmdAnswer(FXObject*, FXSelector selector, void*) {
    getApp()->stopModal(this, FXSELID(selector) == ID_RESTORE ? Restore : Discard);
    hide();
    return 1;
}
