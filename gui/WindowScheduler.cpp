#include "gui/WindowScheduler.h"

#include "diagnostics/ErrorHandler.h"
#include "gui/MFXOSGCanvas.h"

#include <optional>

// clang-format off
FXDEFMAP(WindowScheduler) WindowSchedulerMap[] = {
    FXMAPFUNC(SEL_IO_READ, WindowScheduler::ID_COMPLETED, WindowScheduler::onCompleted),
    FXMAPFUNC(SEL_CHORE, WindowScheduler::ID_FRAME, WindowScheduler::onFrame),
    FXMAPFUNC(SEL_TIMEOUT, WindowScheduler::ID_FRAME_DEADLINE, WindowScheduler::onFrame),
    FXMAPFUNC(SEL_TIMEOUT, WindowScheduler::ID_SETTLE, WindowScheduler::onSettle),
    FXMAPFUNC(SEL_TIMEOUT, WindowScheduler::ID_PROGRESS, WindowScheduler::onProgress),
    FXMAPFUNC(SEL_CHANGED, WindowScheduler::ID_VIEW, WindowScheduler::onView),
    FXMAPFUNC(SEL_COMMAND, WindowScheduler::ID_VIEW, WindowScheduler::onView),
    FXMAPFUNC(SEL_COMMAND, WindowScheduler::ID_CANCEL, WindowScheduler::onCancel),
    FXMAPFUNC(SEL_COMMAND, WindowScheduler::ID_ANTIALIAS, WindowScheduler::onCmdAntialias),
    FXMAPFUNC(SEL_UPDATE, WindowScheduler::ID_ANTIALIAS, WindowScheduler::onUpdAntialias),
};
// clang-format on

FXIMPLEMENT(WindowScheduler, FXObject, WindowSchedulerMap, ARRAYNUMBER(WindowSchedulerMap))

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

constexpr FXTime nanosecondsPerMillisecond = 1000000;

} // namespace

WindowScheduler::WindowScheduler(FXWindow* owner, Workbench& workbench, MessageBoxReporter& reporter, FXObject* target,
                                 FXSelector selector)
    : myOwner(owner), myApp(owner->getApp()), myWorkbench(&workbench), myReporter(&reporter), myTarget(target),
      mySelector(selector), myDialog(new KLADODialog_Computing(owner, this, ID_CANCEL)),
      myCompletion(std::make_unique<FXGUISignal>(owner->getApp(), this, ID_COMPLETED)),
      myThread(std::make_unique<ComputationThread>(workbench, *myDialog, *myCompletion)) {}

WindowScheduler::~WindowScheduler() {
    myWorkbench->cancel();
    myThread->harvest();
    FXApp* app = myApp;
    app->removeChore(this, ID_FRAME);
    app->removeTimeout(this, ID_FRAME_DEADLINE);
    app->removeTimeout(this, ID_SETTLE);
    app->removeTimeout(this, ID_PROGRESS);
    delete myDialog;
}

// ---------------------------------------------------------------------------
// Frames

void WindowScheduler::requestFrame() {
    myFrameWanted = true;
    FXApp* app = myApp;
    if (!app->hasChore(this, ID_FRAME)) app->addChore(this, ID_FRAME);
    if (!app->hasTimeout(this, ID_FRAME_DEADLINE)) app->addTimeout(this, ID_FRAME_DEADLINE, frameDeadline);
}

long WindowScheduler::onFrame(FXObject*, FXSelector, void*) {
    drawNow();
    return 1;
}

void WindowScheduler::drawNow() {
    FXApp* app = myApp;
    app->removeChore(this, ID_FRAME);
    app->removeTimeout(this, ID_FRAME_DEADLINE);
    if (myFrameWanted) drawFrame();
}

void WindowScheduler::drawFrame() {
    // The worker of a task reads the scene: the frame waits until it is done.
    if (myComputing && myThread->task) return;
    myFrameWanted = false;
    const bool antialiased = this->antialiased();
    const bool plain = antialiased && myFramesDrawn > 0 &&
                       FXThread::time() - myLastFrame < settleDelay * nanosecondsPerMillisecond;
    if (!myCanvas || !myCanvas->renderFrame(plain)) return;
    ++myFramesDrawn;
    myLastFrame = FXThread::time();
    myLastFramePlain = plain;
    FXApp* app = myApp;
    app->removeTimeout(this, ID_SETTLE);
    if (antialiased) app->addTimeout(this, ID_SETTLE, settleDelay);
    // A view still moving (a thrown model spins on) asks for the next one.
    if (myWorkbench->view().viewer()->checkNeedToDoFrame()) requestFrame();
}

long WindowScheduler::onSettle(FXObject*, FXSelector, void*) {
    if (myLastFramePlain) requestFrame();
    return 1;
}

bool WindowScheduler::antialiased() const { return myWorkbench->view().viewSamples() > 1; }

void WindowScheduler::setAntialiased(bool on) {
    myWorkbench->view().setViewSamples(on ? SceneView::defaultViewSamples : 1);
    requestFrame();
}

long WindowScheduler::onCmdAntialias(FXObject*, FXSelector, void*) {
    setAntialiased(!antialiased());
    return 1;
}

long WindowScheduler::onUpdAntialias(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, antialiased() ? FXWindow::ID_CHECK : FXWindow::ID_UNCHECK), nullptr);
    return 1;
}

long WindowScheduler::onView(FXObject*, FXSelector, void*) {
    requestFrame();
    return 1;
}

// ---------------------------------------------------------------------------
// Computations

void WindowScheduler::recompute(bool force, bool live) {
    if (myComputing) {
        myWantedLive = myWanted == Wanted::Nothing ? live : myWantedLive && live;
        myWanted = Wanted::Recompute;
        myWantedForce = myWantedForce || force;
        // As for a live reinterpretation: the running one shows its picture.
        if (!live) {
            mySuperseded = true;
            myWorkbench->cancel();
        }
        return;
    }
    tov::StoringErrorHandler problems;
    std::optional<ComputationRequest> request = myWorkbench->prepareRecompute(myComputeOnChange, problems);
    showProblems(problems, *myReporter);
    if (!request) return;
    if (!force && !myComputeOnChange) {
        myWorkbench->setPending();
        return;
    }
    start(*request, live);
}

void WindowScheduler::reinterpret(bool force, bool live) {
    if (myComputing) {
        myWantedLive = myWanted == Wanted::Nothing ? live : myWantedLive && live;
        if (myWanted == Wanted::Nothing) myWanted = Wanted::Reinterpret;
        myWantedForce = myWantedForce || force;
        // A live request leaves the running computation be: a drag would
        // otherwise stop every picture before it is shown.
        if (!live) {
            mySuperseded = true;
            myWorkbench->cancel();
        }
        return;
    }
    std::optional<ComputationRequest> request = myWorkbench->prepareReinterpret(force, myComputeOnChange);
    if (request) start(*request, live);
}

bool WindowScheduler::runTask(const FXString& what, Task work, Task done, bool followed) {
    if (myComputing) return false;
    // The picture under the dialogs that asked for the task is drawn first.
    myApp->repaint();
    drawNow();
    myThread->task = std::move(work);
    myTaskDone = std::move(done);
    myLive = false;
    startWorker(what, followed);
    return true;
}

void WindowScheduler::start(const ComputationRequest& request, bool live) {
    myThread->request = request;
    myLive = live;
    startWorker(FXString::null);
}

void WindowScheduler::startWorker(const FXString& task, bool followed) {
    myComputing = true;
    mySuperseded = false;
    myCancelled = false;
    myFailed = false;
    myFailedInterpreting = false;
    myStarted = FXThread::time();
    myDialog->create();
    myDialog->restart(task, followed);
    myThread->begin();
    myApp->addTimeout(this, ID_PROGRESS, progressInterval);
}

FXint WindowScheduler::ComputationThread::run() {
    if (task)
        task();
    else
        outcome = myWorkbench.compute(request, myProgress);
    myCompletion.signal();
    myRelease.wait();
    return 0;
}

void WindowScheduler::ComputationThread::begin() {
    myBegun = true;
    start();
}

void WindowScheduler::ComputationThread::harvest() {
    if (!myBegun) return;
    myBegun = false;
    myRelease.post();
    join();
}

long WindowScheduler::onProgress(FXObject*, FXSelector, void*) {
    if (!myComputing) return 1;
    FXApp* app = myApp;
    app->addTimeout(this, ID_PROGRESS, progressInterval);
    if (myDialog->shown()) return 1;
    if (!myLive && FXThread::time() - myStarted >= dialogDelay * nanosecondsPerMillisecond) {
        myDialog->show(PLACEMENT_OWNER);
        // Modal while it shows: the document stays as the worker found it.
        app->runModalWhileShown(myDialog);
        return 1;
    }
    FXString text = myDialog->progressText();
    if (myTarget) myTarget->handle(this, FXSEL(SEL_CHANGED, mySelector), &text);
    return 1;
}

long WindowScheduler::onCancel(FXObject*, FXSelector, void*) {
    if (!myComputing) return 1;
    myCancelled = true;
    myWanted = Wanted::Nothing;
    mySuperseded = false;
    myWorkbench->cancel();
    return 1;
}

void WindowScheduler::finish() {
    myWanted = Wanted::Nothing;
    if (!myComputing) return;
    mySuperseded = false;
    // Stopped as by "Cancel": the steps derived so far are given back.
    myCancelled = !myThread->task;
    myWorkbench->cancel();
    myThread->harvest();
    onCompleted(nullptr, 0, nullptr);
}

long WindowScheduler::onCompleted(FXObject*, FXSelector, void*) {
    if (!myComputing) return 1;
    // The worker has signalled as its last act: harvesting takes no time.
    myThread->harvest();
    myComputing = false;
    myApp->removeTimeout(this, ID_PROGRESS);
    if (myThread->task) {
        myThread->task = nullptr;
        Task done = std::move(myTaskDone);
        myDialog->hide();
        if (done) done();
    } else {
        const bool superseded = mySuperseded;
        if (superseded) {
            // Stopped for a newer request: its outcome is out of date.
            if (myThread->outcome.needsDerivation) myWanted = Wanted::Recompute;
        } else {
            myFailed = !myThread->outcome.errorTitle.empty();
            myFailedInterpreting = myFailed && !myThread->outcome.needsDerivation;
            myWorkbench->complete(std::move(myThread->outcome));
            if (myCancelled) myWorkbench->releaseCancelled();
        }
        myThread->outcome = ComputationOutcome();
        myDialog->hide();
        // Input that piled up during the computation is dropped.
        myWorkbench->view().viewer()->getEventQueue()->clear();
        if (!superseded && myTarget) myTarget->handle(this, FXSEL(SEL_COMMAND, mySelector), nullptr);
    }
    requestFrame();
    serveWanted();
    return 1;
}

void WindowScheduler::serveWanted() {
    const Wanted wanted = myWanted;
    const bool force = myWantedForce;
    const bool live = myWantedLive;
    myWanted = Wanted::Nothing;
    myWantedForce = false;
    myWantedLive = false;
    if (wanted == Wanted::Recompute)
        recompute(force, live);
    else if (wanted == Wanted::Reinterpret)
        reinterpret(force, live);
}
