#pragma once
// What the material dialog and the palette dialog share: a working value
// that goes to the target as SEL_CHANGED on every edit while "Update View
// immediately" is checked and as SEL_COMMAND on "Apply"; "OK" accepts and
// "Cancel" closes (the caller restores its value).

#include <fx.h>

class MFXEditingDialog : public FXDialogBox {
    FXDECLARE_ABSTRACT(MFXEditingDialog)

public:
    enum { ID_IMMEDIATE = FXDialogBox::ID_LAST, ID_APPLY, ID_LAST };

    long onCmdImmediate(FXObject*, FXSelector, void*);
    long onUpdImmediate(FXObject*, FXSelector, void*);
    long onCmdApply(FXObject*, FXSelector, void*);

    bool isUpdateImmediately() const { return immediate; }
    void setUpdateImmediately(bool on) { immediate = on; }

protected:
    MFXEditingDialog() {}
    MFXEditingDialog(FXWindow* owner, const FXString& title, FXObject* target, FXSelector selector);

    // Adds the check "Update View immediately", a separator and the buttons
    // "OK", "Cancel" and "Apply" to the bottom of the contents.
    void addFooter(FXComposite* contents);
    // The working value as the data of the target's messages.
    virtual void* workingValue() = 0;
    // Passes an edit on to the target when "Update View immediately" is checked.
    void edited();

private:
    MFXEditingDialog(const MFXEditingDialog&);
    MFXEditingDialog& operator=(const MFXEditingDialog&);

    bool immediate = false;
};
