#pragma once
// Edits a palette in the palette editor; every change of the editor is an
// edit of the working palette (see MFXEditingDialog).

#include "editors/MFXEditingDialog.h"
#include "editors/MFXMatPaletteWidget.h"

class MFXMatPaletteDialog : public MFXEditingDialog {
    FXDECLARE(MFXMatPaletteDialog)

public:
    enum { ID_EDITOR = MFXEditingDialog::ID_LAST, ID_LAST };

    MFXMatPaletteDialog(FXWindow* owner, const FXString& title = "Palette Dialog", FXObject* target = nullptr,
                        FXSelector selector = 0);

    long onChgEditor(FXObject*, FXSelector, void*);

    void setPalette(const MaterialPalette& palette) { editor->setPalette(palette); }
    const MaterialPalette& getPalette() const { return editor->getPalette(); }
    MFXMatPaletteWidget* getEditor() const { return editor; }

private:
    MFXMatPaletteDialog() {}
    MFXMatPaletteDialog(const MFXMatPaletteDialog&);
    MFXMatPaletteDialog& operator=(const MFXMatPaletteDialog&);
    void* workingValue() override;

    MFXMatPaletteWidget* editor = nullptr;
    MaterialPalette sent; // the editor's palette as last sent to the target
};
