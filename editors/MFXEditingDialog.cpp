#include "editors/MFXEditingDialog.h"

// clang-format off
FXDEFMAP(MFXEditingDialog) MFXEditingDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, MFXEditingDialog::ID_IMMEDIATE, MFXEditingDialog::onCmdImmediate),
    FXMAPFUNC(SEL_UPDATE, MFXEditingDialog::ID_IMMEDIATE, MFXEditingDialog::onUpdImmediate),
    FXMAPFUNC(SEL_COMMAND, MFXEditingDialog::ID_APPLY, MFXEditingDialog::onCmdApply),
};
// clang-format on

FXIMPLEMENT_ABSTRACT(MFXEditingDialog, FXDialogBox, MFXEditingDialogMap, ARRAYNUMBER(MFXEditingDialogMap))

MFXEditingDialog::MFXEditingDialog(FXWindow* owner, const FXString& title, FXObject* target, FXSelector selector)
    : FXDialogBox(owner, title, DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE) {
    this->target = target;
    message = selector;
}

void MFXEditingDialog::addFooter(FXComposite* contents) {
    new FXCheckButton(contents, "Update View immediately", this, ID_IMMEDIATE);
    new FXHorizontalSeparator(contents);
    FXHorizontalFrame* buttons = new FXHorizontalFrame(contents, LAYOUT_FILL_X | PACK_UNIFORM_WIDTH);
    new FXButton(buttons, "OK", nullptr, this, ID_ACCEPT, BUTTON_NORMAL | BUTTON_DEFAULT | LAYOUT_RIGHT);
    new FXButton(buttons, "Cancel", nullptr, this, ID_CANCEL, BUTTON_NORMAL | LAYOUT_RIGHT);
    new FXButton(buttons, "Apply", nullptr, this, ID_APPLY, BUTTON_NORMAL | LAYOUT_RIGHT);
}

void MFXEditingDialog::edited() {
    if (target && immediate) target->tryHandle(this, FXSEL(SEL_CHANGED, message), workingValue());
}

long MFXEditingDialog::onCmdImmediate(FXObject*, FXSelector, void* ptr) {
    immediate = ptr != nullptr;
    return 1;
}

long MFXEditingDialog::onUpdImmediate(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, immediate ? ID_CHECK : ID_UNCHECK), nullptr);
    return 1;
}

long MFXEditingDialog::onCmdApply(FXObject*, FXSelector, void*) {
    if (target) target->tryHandle(this, FXSEL(SEL_COMMAND, message), workingValue());
    return 1;
}
