#pragma once
// "Image Size": asks for the width and height of an image export in whole
// pixels, at least 1 each.

#include <fx.h>

class MFXExportImageSizeDialog : public FXDialogBox {
    FXDECLARE(MFXExportImageSizeDialog)

public:
    MFXExportImageSizeDialog(FXWindow* owner, int width, int height);

    int imageWidth() const { return myWidth->getValue(); }
    int imageHeight() const { return myHeight->getValue(); }
    void setImageSize(int width, int height);

protected:
    MFXExportImageSizeDialog() = default;

private:
    FXSpinner* myWidth = nullptr;
    FXSpinner* myHeight = nullptr;
};
