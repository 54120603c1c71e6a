#pragma once
// Edits a palette in the palette editor. Changes reach the target at once
// (SEL_CHANGED with a MaterialPalette*) when "Update View immediately" is
// checked; "Apply" sends the palette as SEL_COMMAND.

#include "editors/MFXMatPaletteWidget.h"

#include <fx.h>

class MFXMatPaletteDialog : public FXDialogBox {
    FXDECLARE(MFXMatPaletteDialog)

public:
    enum { ID_EDITOR = FXDialogBox::ID_LAST, ID_APPLY, ID_LAST };

    MFXMatPaletteDialog(FXWindow* owner, const FXString& title = "Palette Dialog", FXObject* target = nullptr,
                        FXSelector selector = 0);

    long onChgEditor(FXObject*, FXSelector, void*);
    long onCmdApply(FXObject*, FXSelector, void*);

    void setPalette(const MaterialPalette& palette) { editor->setPalette(palette); }
    const MaterialPalette& getPalette() const { return editor->getPalette(); }
    MFXMatPaletteWidget* getEditor() const { return editor; }

    bool isUpdateImmediately() const { return immediate->getCheck() == TRUE; }
    void setUpdateImmediately(bool on) { immediate->setCheck(on); }

private:
    MFXMatPaletteDialog() {}
    MFXMatPaletteDialog(const MFXMatPaletteDialog&);
    MFXMatPaletteDialog& operator=(const MFXMatPaletteDialog&);

    MFXMatPaletteWidget* editor = nullptr;
    FXCheckButton* immediate = nullptr;
};
