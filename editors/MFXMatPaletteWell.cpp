#include "editors/MFXMatPaletteWell.h"

#include "diagnostics/Exceptions.h"
#include "editors/MFXMatPaletteDialog.h"

#include <sstream>

// clang-format off
FXDEFMAP(MFXMatPaletteWell) MFXMatPaletteWellMap[] = {
    FXMAPFUNC(SEL_COMMAND, MFXSwatch::ID_DIALOG, MFXMatPaletteWell::onDialog),
    FXMAPFUNC(SEL_CHANGED, MFXSwatch::ID_DIALOG, MFXMatPaletteWell::onDialog),
};
// clang-format on

FXIMPLEMENT(MFXMatPaletteWell, MFXSwatch, MFXMatPaletteWellMap, ARRAYNUMBER(MFXMatPaletteWellMap))

MFXMatPaletteWell::MFXMatPaletteWell(FXComposite* parent, FXObject* target, FXSelector selector, FXuint options,
                                     FXint x, FXint y, FXint width, FXint height, FXint padLeft, FXint padRight,
                                     FXint padTop, FXint padBottom)
    : MFXSwatch(parent, target, selector, options, x, y, width, height, padLeft, padRight, padTop, padBottom) {}

void MFXMatPaletteWell::setPalette(const MaterialPalette& value, bool notify) {
    palette = value;
    valueChanged(notify);
}

FXString MFXMatPaletteWell::valueText() const { return palette.text().c_str(); }

// The empty text is the palette "default".
bool MFXMatPaletteWell::readValue(const FXString& text) {
    std::istringstream in(text.text());
    std::string token;
    MaterialPalette read;
    if (in >> token) {
        try {
            if (!read.read(token)) return false;
        } catch (const UnknownPaletteException&) {
            return false;
        } catch (const OutOfRangeError&) {
            return false;
        }
    }
    palette = read;
    return true;
}

bool MFXMatPaletteWell::renderPreview(int width, int height, std::vector<FXColor>& pixels) {
    return previews.paletteGrid(getApp(), palette, isEnabled(), width, height, pixels);
}

void MFXMatPaletteWell::runDialog() {
    const MaterialPalette kept = palette;
    MFXMatPaletteDialog dialog(this, "Palette Dialog", this, ID_DIALOG);
    dialog.setPalette(palette);
    if (!dialog.execute()) {
        setPalette(kept, true);
        return;
    }
    if (dialog.getPalette().fullText() != palette.fullText()) setPalette(dialog.getPalette(), true);
}

long MFXMatPaletteWell::onDialog(FXObject*, FXSelector sel, void* ptr) {
    palette = *static_cast<const MaterialPalette*>(ptr);
    valueChanged(false);
    if (target) target->tryHandle(this, FXSEL(FXSELTYPE(sel), message), &palette);
    return 1;
}
