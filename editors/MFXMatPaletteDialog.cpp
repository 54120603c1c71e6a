#include "editors/MFXMatPaletteDialog.h"

// clang-format off
FXDEFMAP(MFXMatPaletteDialog) MFXMatPaletteDialogMap[] = {
    FXMAPFUNC(SEL_CHANGED, MFXMatPaletteDialog::ID_EDITOR, MFXMatPaletteDialog::onChgEditor),
    FXMAPFUNC(SEL_COMMAND, MFXMatPaletteDialog::ID_APPLY, MFXMatPaletteDialog::onCmdApply),
};
// clang-format on

FXIMPLEMENT(MFXMatPaletteDialog, FXDialogBox, MFXMatPaletteDialogMap, ARRAYNUMBER(MFXMatPaletteDialogMap))

MFXMatPaletteDialog::MFXMatPaletteDialog(FXWindow* owner, const FXString& title, FXObject* target, FXSelector selector)
    : FXDialogBox(owner, title, DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE) {
    this->target = target;
    message = selector;
    FXVerticalFrame* contents = new FXVerticalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    editor = new MFXMatPaletteWidget(contents, this, ID_EDITOR);
    new FXHorizontalSeparator(contents);
    immediate = new FXCheckButton(contents, "Update View immediately");
    new FXHorizontalSeparator(contents);
    FXHorizontalFrame* buttons = new FXHorizontalFrame(contents, LAYOUT_FILL_X | PACK_UNIFORM_WIDTH);
    new FXButton(buttons, "OK", nullptr, this, ID_ACCEPT, BUTTON_NORMAL | BUTTON_DEFAULT | LAYOUT_RIGHT);
    new FXButton(buttons, "Cancel", nullptr, this, ID_CANCEL, BUTTON_NORMAL | LAYOUT_RIGHT);
    new FXButton(buttons, "Apply", nullptr, this, ID_APPLY, BUTTON_NORMAL | LAYOUT_RIGHT);
}

long MFXMatPaletteDialog::onChgEditor(FXObject*, FXSelector, void* ptr) {
    if (target && isUpdateImmediately()) target->tryHandle(this, FXSEL(SEL_CHANGED, message), ptr);
    return 1;
}

long MFXMatPaletteDialog::onCmdApply(FXObject*, FXSelector, void*) {
    MaterialPalette palette = editor->getPalette();
    if (target) target->tryHandle(this, FXSEL(SEL_COMMAND, message), &palette);
    return 1;
}
