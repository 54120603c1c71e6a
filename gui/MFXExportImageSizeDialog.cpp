#include "gui/MFXExportImageSizeDialog.h"

#include <climits>

FXIMPLEMENT(MFXExportImageSizeDialog, FXDialogBox, nullptr, 0)

namespace {

FXSpinner* sizeSpinner(FXComposite* parent) {
    FXSpinner* spinner = new FXSpinner(parent, 8, nullptr, 0, SPIN_NORMAL | FRAME_SUNKEN | FRAME_THICK);
    spinner->setRange(1, INT_MAX);
    spinner->setIncrement(1);
    return spinner;
}

} // namespace

MFXExportImageSizeDialog::MFXExportImageSizeDialog(FXWindow* owner, int width, int height)
    : FXDialogBox(owner, "Image Size", DECOR_TITLE | DECOR_BORDER) {
    FXMatrix* grid = new FXMatrix(this, 2, MATRIX_BY_COLUMNS | LAYOUT_FILL_X);
    new FXLabel(grid, "Width:");
    myWidth = sizeSpinner(grid);
    new FXLabel(grid, "Height:");
    myHeight = sizeSpinner(grid);
    new FXHorizontalSeparator(this, SEPARATOR_GROOVE | LAYOUT_FILL_X);
    FXHorizontalFrame* buttons = new FXHorizontalFrame(this, LAYOUT_FILL_X | PACK_UNIFORM_WIDTH);
    new FXButton(buttons, "OK", nullptr, this, ID_ACCEPT,
                 BUTTON_DEFAULT | BUTTON_INITIAL | BUTTON_NORMAL | LAYOUT_RIGHT);
    new FXButton(buttons, "Cancel", nullptr, this, ID_CANCEL, BUTTON_NORMAL | LAYOUT_RIGHT);
    setImageSize(width, height);
}

void MFXExportImageSizeDialog::setImageSize(int width, int height) {
    myWidth->setValue(width);
    myHeight->setValue(height);
}
