#pragma once
// Runs the computations of the window: the lock that keeps two apart, the
// worker thread and the progress dialog. recompute and reinterpret prepare
// on the main thread, start the worker and run the dialog modally; the
// worker's completion comes back through the event loop, where the result is
// handed to the view, an error is shown, the dialog closes and the lock is
// released. The target then gets SEL_COMMAND with the selector, so that the
// window can show the step reached and redraw.

#include "editors/MessageBoxReporter.h"
#include "gui/KLADODialog_Computing.h"
#include "workbench/Workbench.h"

#include <fx.h>

#include <memory>

class ComputationController : public FXObject {
    FXDECLARE(ComputationController)

public:
    enum { ID_COMPLETED = 1, ID_LAST };

    // The workbench reports computation errors; reporter shows the problems
    // of the compilation.
    ComputationController(FXWindow* owner, Workbench& workbench, MessageBoxReporter& reporter,
                          FXObject* target = nullptr, FXSelector selector = 0);
    ~ComputationController() override;

    // After an edit of the derivation's inputs; force for the "Compute"
    // button. Without "Compute on Change" and without force it only marks
    // the result pending. Does nothing while a computation runs.
    void recompute(bool force);
    // After an edit that only changes the interpretation.
    void reinterpret(bool force);

    bool computing() const { return myComputing; }
    bool computeOnChange() const { return myComputeOnChange; }
    void setComputeOnChange(bool on) { myComputeOnChange = on; }
    KLADODialog_Computing* dialog() const { return myDialog; }

    long onCompleted(FXObject*, FXSelector, void*);

protected:
    ComputationController() = default;

private:
    // The worker: one computation per start, its outcome kept for the main
    // thread, the completion signalled through the event loop.
    class ComputationThread : public FXThread {
    public:
        ComputationThread(Workbench& workbench, KLADODialog_Computing& progress, FXGUISignal& completion)
            : myWorkbench(workbench), myProgress(progress), myCompletion(completion) {}
        ComputationRequest request;
        ComputationOutcome outcome;

    private:
        FXint run() override;

        Workbench& myWorkbench;
        KLADODialog_Computing& myProgress;
        FXGUISignal& myCompletion;
    };

    void start(const ComputationRequest& request);

    FXWindow* myOwner = nullptr;
    Workbench* myWorkbench = nullptr;
    MessageBoxReporter* myReporter = nullptr;
    FXObject* myTarget = nullptr;
    FXSelector mySelector = 0;
    KLADODialog_Computing* myDialog = nullptr;
    std::unique_ptr<FXGUISignal> myCompletion;
    std::unique_ptr<ComputationThread> myThread;
    // Taken when a computation starts, released when its result is in.
    FXMutex myMutex;
    bool myComputing = false;
    bool myComputeOnChange = true;
};
