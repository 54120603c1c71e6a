// The main window's recovery copies: kept while the document holds unsaved
// edits, offered at the next start when the program ended without saving.

#include "gui/KLADO_StandaloneMW.h"
#include "gui/MFXRecoveryDialog.h"
#include "gui/WindowScheduler.h"

#include <chrono>

namespace {

constexpr FXuint recoveryInterval = 1000; // ms between looks at the document

double seconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

} // namespace

void KLADO_StandaloneMW::keepRecoveryCopies(const std::string& folder) {
    myRecovery = std::make_unique<RecoveryStore>(folder);
    myOfferLeftCopies = true;
    getApp()->addTimeout(this, ID_RECOVERY, 0);
}

long KLADO_StandaloneMW::onRecoveryTimer(FXObject*, FXSelector, void*) {
    getApp()->addTimeout(this, ID_RECOVERY, recoveryInterval);
    // The document is left alone while it is being computed. Returning 0
    // when nothing was shown spares the widgets' update pass.
    if (myScheduler->computing()) return 0;
    if (myOfferLeftCopies) {
        myOfferLeftCopies = false;
        offerLeftCopies();
    }
    const bool modified = isModified();
    if (myRecovery->update(modified, modified ? documentText() : "", myWorkbench.fileName(), seconds())) return 0;
    myStatusBar->getStatusLine()->setNormalText(
        ("The recovery copy cannot be written in " + myRecovery->folder() + ".").c_str());
    return 1;
}

void KLADO_StandaloneMW::offerLeftCopies() {
    bool restored = false;
    for (const RecoveryCopy& copy : myRecovery->claimLeftCopies()) {
        if (!copy.problem.empty()) {
            showMessage(true, "Recovery Copy",
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
        MFXRecoveryDialog question(
            this, FXStringFormat("KLADO ended without saving the edits to '%s'. Restore them?", file.text()));
        switch (question.ask()) {
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

bool KLADO_StandaloneMW::restoreCopy(const RecoveryCopy& copy) {
    if (!loadDocument(copy.definition, nullptr)) return false;
    myRecentFiles.removeFile(copy.definition.c_str());
    myWorkbench.setFileName(copy.original);
    undoList.unmark();
    updateTitle();
    rememberFileTime();
    // The copy stays on disk, now as this window's, until the edits are saved.
    myRecovery->adopt(copy);
    return true;
}
