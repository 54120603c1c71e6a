#pragma once
// A swatch holding a palette of 256 materials, shown as a 16 x 16 grid of
// small previews, exchanged as palette text; a double click opens the
// palette dialog. The target receives SEL_COMMAND (and SEL_CHANGED for live
// edits in the dialog) with a MaterialPalette*.

#include "editors/MFXSwatch.h"
#include "editors/PreviewCache.h"
#include "materials/MaterialPalette.h"

class MFXMatPaletteWell : public MFXSwatch {
    FXDECLARE(MFXMatPaletteWell)

public:
    MFXMatPaletteWell(FXComposite* parent, FXObject* target = nullptr, FXSelector selector = 0,
                      FXuint options = FRAME_NORMAL, FXint x = 0, FXint y = 0, FXint width = 0, FXint height = 0,
                      FXint padLeft = DEFAULT_PAD, FXint padRight = DEFAULT_PAD, FXint padTop = DEFAULT_PAD,
                      FXint padBottom = DEFAULT_PAD);

    long onDialog(FXObject*, FXSelector, void*);

    void setPalette(const MaterialPalette& palette, bool notify = false);
    const MaterialPalette& getPalette() const { return palette; }

    FXString valueText() const override;

protected:
    MFXMatPaletteWell() {}
    bool readValue(const FXString& text) override;
    void* valueData() override { return &palette; }
    bool renderPreview(int width, int height, std::vector<FXColor>& pixels) override;
    void runDialog() override;

private:
    MaterialPalette palette;
    PreviewCache previews;
};
