#include "gui/ComputationController.h"

#include "diagnostics/ErrorHandler.h"

#include <optional>

// clang-format off
FXDEFMAP(ComputationController) ComputationControllerMap[] = {
    FXMAPFUNC(SEL_IO_READ, ComputationController::ID_COMPLETED, ComputationController::onCompleted),
};
// clang-format on

FXIMPLEMENT(ComputationController, FXObject, ComputationControllerMap, ARRAYNUMBER(ComputationControllerMap))

namespace {

// Shows what the compilation stored: an error box when there are errors,
// then a warning box when there are warnings.
void showProblems(tov::StoringErrorHandler& problems, MessageBoxReporter& reporter) {
    std::string errors;
    std::string warnings;
    while (const ::Error* record = problems.next()) {
        std::string& list = record->isError() ? errors : warnings;
        list += "\n " + record->message();
    }
    if (!errors.empty()) reporter.report("Error(s) on computation", "Errors: " + errors);
    if (!warnings.empty()) reporter.warn("Warning(s) on computation", "Warnings: " + warnings);
}

} // namespace

ComputationController::ComputationController(FXWindow* owner, Workbench& workbench, MessageBoxReporter& reporter,
                                             FXObject* target, FXSelector selector)
    : myOwner(owner), myWorkbench(&workbench), myReporter(&reporter), myTarget(target), mySelector(selector),
      myDialog(new KLADODialog_Computing(owner, workbench)),
      myCompletion(std::make_unique<FXGUISignal>(owner->getApp(), this, ID_COMPLETED)),
      myThread(std::make_unique<ComputationThread>(workbench, *myDialog, *myCompletion)) {}

ComputationController::~ComputationController() {
    if (myThread && myThread->running()) {
        myWorkbench->cancel();
        myThread->join();
    }
    delete myDialog;
}

FXint ComputationController::ComputationThread::run() {
    outcome = myWorkbench.compute(request, myProgress);
    myCompletion.signal();
    return 0;
}

void ComputationController::recompute(bool force) {
    // The main thread holds the lock while a computation runs: a second
    // start must give up, not wait for itself.
    if (myComputing || !myMutex.trylock()) return;
    tov::StoringErrorHandler problems;
    std::optional<ComputationRequest> request = myWorkbench->prepareRecompute(myComputeOnChange, problems);
    showProblems(problems, *myReporter);
    if (!request) {
        myMutex.unlock();
        return;
    }
    if (!force && !myComputeOnChange) {
        myWorkbench->setPending();
        myMutex.unlock();
        return;
    }
    start(*request);
}

void ComputationController::reinterpret(bool force) {
    if (myComputing || !myMutex.trylock()) return;
    std::optional<ComputationRequest> request = myWorkbench->prepareReinterpret(force, myComputeOnChange);
    if (!request) {
        myMutex.unlock();
        return;
    }
    start(*request);
}

void ComputationController::start(const ComputationRequest& request) {
    myComputing = true;
    myThread->request = request;
    myDialog->create();
    myDialog->show(PLACEMENT_OWNER);
    myThread->start();
    myOwner->getApp()->runModalWhileShown(myDialog);
}

long ComputationController::onCompleted(FXObject*, FXSelector, void*) {
    // The worker has signalled as its last act: joining takes no time.
    myThread->join();
    myComputing = false;
    myWorkbench->complete(std::move(myThread->outcome));
    myThread->outcome = ComputationOutcome();
    myDialog->hide();
    myMutex.unlock();
    // Input that piled up during the computation is dropped.
    myWorkbench->view().viewer()->getEventQueue()->clear();
    if (myTarget) myTarget->handle(this, FXSEL(SEL_COMMAND, mySelector), nullptr);
    return 1;
}
