#include "editors/MFXMaterialWell.h"

#include "diagnostics/Exceptions.h"
#include "editors/MFXMaterialDialog.h"
#include "editors/MaterialPreview.h"

#include <sstream>

// clang-format off
FXDEFMAP(MFXMaterialWell) MFXMaterialWellMap[] = {
    FXMAPFUNC(SEL_COMMAND, MFXSwatch::ID_DIALOG, MFXMaterialWell::onDialog),
    FXMAPFUNC(SEL_CHANGED, MFXSwatch::ID_DIALOG, MFXMaterialWell::onDialog),
};
// clang-format on

FXIMPLEMENT(MFXMaterialWell, MFXSwatch, MFXMaterialWellMap, ARRAYNUMBER(MFXMaterialWellMap))

MFXMaterialWell::MFXMaterialWell(FXComposite* parent, const GLMaterial& material, FXObject* target, FXSelector selector,
                                 FXuint options, FXint x, FXint y, FXint width, FXint height, FXint padLeft,
                                 FXint padRight, FXint padTop, FXint padBottom)
    : MFXSwatch(parent, target, selector, options, x, y, width, height, padLeft, padRight, padTop, padBottom),
      material(material) {}

void MFXMaterialWell::setMaterial(const GLMaterial& value, bool notify) {
    material = value;
    valueChanged(notify);
}

FXString MFXMaterialWell::valueText() const { return material.text().c_str(); }

// A material text may carry one prefix such as an index ("7:..."); more
// colons make it a palette text, which a material swatch refuses.
bool MFXMaterialWell::readValue(const FXString& text) {
    std::istringstream in(text.text());
    std::string token;
    if (!(in >> token) || token.find(':') != token.rfind(':')) return false;
    GLMaterial read;
    try {
        read.read(token);
    } catch (const OutOfRangeError&) {
        return false;
    }
    material = read;
    return true;
}

bool MFXMaterialWell::renderPreview(int width, int height, std::vector<FXColor>& pixels) {
    const PreviewStyle style = previewStyleFor(material, isEnabled());
    return OffscreenPreview::render(
        getApp(), width, height, [&](int w, int h) { drawMaterialPreview(material, style, 0, 0, w, h); }, pixels);
}

void MFXMaterialWell::runDialog() {
    const GLMaterial kept = material;
    MFXMaterialDialog dialog(this, "Material Dialog", this, ID_DIALOG);
    dialog.setMaterial(material);
    if (!dialog.execute()) {
        setMaterial(kept, true);
        return;
    }
    if (dialog.getMaterial().text() != material.text()) setMaterial(dialog.getMaterial(), true);
}

// The dialog's live edits and "Apply" are taken over and passed on.
long MFXMaterialWell::onDialog(FXObject*, FXSelector sel, void* ptr) {
    material = *static_cast<const GLMaterial*>(ptr);
    valueChanged(false);
    if (target) target->tryHandle(this, FXSEL(FXSELTYPE(sel), message), &material);
    return 1;
}
