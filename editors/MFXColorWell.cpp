#include "editors/MFXColorWell.h"

// clang-format off
FXDEFMAP(MFXColorWell) MFXColorWellMap[] = {
    FXMAPFUNC(SEL_DOUBLECLICKED, 0, MFXColorWell::onDoubleClicked),
    FXMAPFUNC(SEL_CHANGED, MFXColorWell::ID_DIALOG, MFXColorWell::onDialogChanged),
    FXMAPFUNC(SEL_COMMAND, MFXColorWell::ID_DIALOG, MFXColorWell::onDialogChanged),
};
// clang-format on

FXIMPLEMENT(MFXColorWell, FXColorWell, MFXColorWellMap, ARRAYNUMBER(MFXColorWellMap))

MFXColorWell::MFXColorWell(FXComposite* parent, FXColor colour, FXObject* target, FXSelector selector, FXuint options,
                           FXint x, FXint y, FXint width, FXint height)
    : FXColorWell(parent, colour, target, selector, options, x, y, width, height) {}

long MFXColorWell::onDoubleClicked(FXObject*, FXSelector, void* ptr) {
    if (target && target->tryHandle(this, FXSEL(SEL_DOUBLECLICKED, message), ptr)) return 1;
    if (options & COLORWELL_SOURCEONLY) return 1;
    const FXColor old = getRGBA();
    FXColorDialog dialog(this, "Color Dialog");
    dialog.setTarget(this);
    dialog.setSelector(ID_DIALOG);
    dialog.setRGBA(old);
    dialog.setOpaqueOnly(isOpaqueOnly());
    changedInDialog = false;
    const FXColor chosen = dialog.execute() ? dialog.getRGBA() : old;
    setRGBA(chosen);
    if ((changedInDialog || chosen != old) && target)
        target->tryHandle(this, FXSEL(SEL_COMMAND, message), reinterpret_cast<void*>(static_cast<FXuval>(chosen)));
    changedInDialog = false;
    return 1;
}

long MFXColorWell::onDialogChanged(FXObject*, FXSelector, void* ptr) {
    const FXColor colour = static_cast<FXColor>(reinterpret_cast<FXuval>(ptr));
    if (colour == getRGBA()) return 1;
    changedInDialog = true;
    setRGBA(colour);
    if (target) target->tryHandle(this, FXSEL(SEL_CHANGED, message), ptr);
    return 1;
}
