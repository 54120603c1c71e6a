#include "editors/MFXMatPaletteDialog.h"

// clang-format off
FXDEFMAP(MFXMatPaletteDialog) MFXMatPaletteDialogMap[] = {
    FXMAPFUNC(SEL_CHANGED, MFXMatPaletteDialog::ID_EDITOR, MFXMatPaletteDialog::onChgEditor),
};
// clang-format on

FXIMPLEMENT(MFXMatPaletteDialog, MFXEditingDialog, MFXMatPaletteDialogMap, ARRAYNUMBER(MFXMatPaletteDialogMap))

MFXMatPaletteDialog::MFXMatPaletteDialog(FXWindow* owner, const FXString& title, FXObject* target, FXSelector selector)
    : MFXEditingDialog(owner, title, target, selector) {
    FXVerticalFrame* contents = new FXVerticalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    editor = new MFXMatPaletteWidget(contents, this, ID_EDITOR);
    new FXHorizontalSeparator(contents);
    addFooter(contents);
}

long MFXMatPaletteDialog::onChgEditor(FXObject*, FXSelector, void*) {
    edited();
    return 1;
}

void* MFXMatPaletteDialog::workingValue() {
    sent = editor->getPalette();
    return &sent;
}
