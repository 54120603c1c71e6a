// The recovery copies of the document: kept while it holds unsaved edits,
// offered at the next start when the program ended without saving.

#include "gui/DocumentLife.h"
#include "gui/MFXUndoHolder.h"

void DocumentLife::keepRecoveryCopies(const std::string& folder) {
    myRecovery = std::make_unique<RecoveryStore>(folder);
    myOfferLeftCopies = true;
}

bool DocumentLife::lookAfterRecovery(double now) {
    if (!myRecovery) return false;
    if (myOfferLeftCopies) {
        myOfferLeftCopies = false;
        offerLeftCopies();
    }
    const bool modified = isModified();
    if (myRecovery->update(modified, modified ? text() : "", myWorkbench.fileName(), now)) return false;
    myHost.showStatus(("The recovery copy cannot be written in " + myRecovery->folder() + ".").c_str());
    return true;
}

void DocumentLife::offerLeftCopies() {
    bool restored = false;
    for (const RecoveryCopy& copy : myRecovery->claimLeftCopies()) {
        if (!copy.problem.empty()) {
            myHost.showMessage(true, "Recovery Copy",
                               FXStringFormat("The recovery copy '%s' cannot be read: %s.\nIt is kept in %s.",
                                              copy.name.c_str(), copy.problem.c_str(), myRecovery->folder().c_str()));
            myRecovery->release(copy);
            continue;
        }
        // One document at a time: the others wait for the next start.
        if (restored) {
            myRecovery->release(copy);
            continue;
        }
        const FXString file = copy.original.empty() ? FXString("<unnamed>") : FXPath::name(copy.original.c_str());
        switch (myHost.askRestore(
            FXStringFormat("KLADO ended without saving the edits to '%s'. Restore them?", file.text()))) {
        case MFXRecoveryDialog::Restore:
            restored = askSave() && restoreCopy(copy);
            if (!restored) myRecovery->release(copy);
            break;
        case MFXRecoveryDialog::Discard:
            myRecovery->discard(copy);
            break;
        case MFXRecoveryDialog::Later:
            myRecovery->release(copy);
            break;
        }
    }
}

bool DocumentLife::restoreCopy(const RecoveryCopy& copy) {
    if (!load(copy.definition)) return false;
    myRecentFiles.removeFile(copy.definition.c_str());
    myWorkbench.setFileName(copy.original);
    myUndo.undoList.unmark();
    myHost.nameChanged();
    rememberFileTime();
    // The copy stays on disk, now as this window's, until the edits are saved.
    myRecovery->adopt(copy);
    return true;
}
