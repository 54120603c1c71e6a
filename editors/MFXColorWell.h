#pragma once
// A colour well whose colour dialog is one edit: while the dialog is open the
// target follows every change as SEL_CHANGED (also where the dialog itself
// says a change is done, at the release of a slider or a click on a
// swatch); when the dialog closes, one SEL_COMMAND ends the edit, with the
// chosen colour, or with the old one after "Cancel". A dialog that changed
// nothing sends nothing. Everything else is the toolkit's colour well.

#include <fx.h>

class MFXColorWell : public FXColorWell {
    FXDECLARE(MFXColorWell)

public:
    enum { ID_DIALOG = FXColorWell::ID_LAST, ID_LAST };

    MFXColorWell(FXComposite* parent, FXColor colour, FXObject* target = nullptr, FXSelector selector = 0,
                 FXuint options = COLORWELL_NORMAL, FXint x = 0, FXint y = 0, FXint width = 0, FXint height = 0);

    long onDoubleClicked(FXObject*, FXSelector, void*);
    long onDialogChanged(FXObject*, FXSelector, void*);

protected:
    MFXColorWell() = default;

private:
    bool changedInDialog = false;
};
