#pragma once
// Asks what to do with edits that a program ended without saving:
// Restore, Discard or Later. Return and the initial button restore; Escape
// and the close box leave the copy for later.

#include <fx.h>

class MFXRecoveryDialog : public FXDialogBox {
    FXDECLARE(MFXRecoveryDialog)
public:
    enum Answer { Later = 0, Restore = 1, Discard = 2 };
    enum { ID_RESTORE = FXDialogBox::ID_LAST, ID_DISCARD, ID_LAST };

    MFXRecoveryDialog(FXWindow* owner, const FXString& text);
    // Shows the dialog until it is answered.
    Answer ask();

    long onCmdAnswer(FXObject*, FXSelector, void*);

protected:
    MFXRecoveryDialog() = default;
};
