#pragma once
// The small modal dialog shown while the worker computes: the step being
// derived or "Interpreting", a percentage and "Cancel", which (like closing
// the dialog) tells the target with the dialog's selector. The worker
// reports into plain atomic values; the dialog shows them from the main
// thread ten times a second, so that no widget is ever touched by the worker.

#include "workbench/ComputationRun.h"

#include <fx.h>

#include <atomic>

class KLADODialog_Computing : public FXDialogBox, public ComputationProgress {
    FXDECLARE(KLADODialog_Computing)

public:
    enum { ID_REFRESH = FXDialogBox::ID_LAST, ID_LAST };
    // How often the shown step and percentage follow the worker, in ms.
    static constexpr FXuint refreshInterval = 100;

    KLADODialog_Computing(FXWindow* owner, FXObject* target, FXSelector selector);
    ~KLADODialog_Computing() override;

    // Worker side.
    void setProgress(int percent) override { myPercent = percent; }
    void setStep(int step) override;
    void setInterpreting() override { myInterpreting = true; }

    // A new computation begins: step 1, no progress. With a task's text, a
    // task (a file being written): the dialog shows the text, and with
    // followed, a task that reports its percentage and stops on "Cancel",
    // the bar and "Cancel" below it; without, neither.
    void restart(const FXString& task = FXString::null, bool followed = false);
    // "Computing step #N" or "Interpreting", with the percentage.
    FXString progressText() const;
    // Keeps the shown values current while the dialog is shown.
    void show(FXuint placement) override;
    void hide() override;

    long onCmdCancel(FXObject*, FXSelector, void*);
    long onRefresh(FXObject*, FXSelector, void*);

    FXString labelText() const { return myLabel->getText(); }
    FXuint shownProgress() const { return myProgressBar->getProgress(); }

protected:
    KLADODialog_Computing() = default;

private:
    void refresh();

    FXLabel* myLabel = nullptr;
    FXProgressBar* myProgressBar = nullptr;
    FXButton* myCancelButton = nullptr;
    FXString myTask;
    bool myFollowed = false;
    std::atomic<int> myPercent{0};
    std::atomic<int> myStep{1};
    std::atomic<bool> myInterpreting{false};
};
