#pragma once
// Decides when the window draws and computes. Both kinds of work are asked
// for at any moment and served later, newest first:
//
// - Frames: a request (the view was dragged, exposed, resized, or shows
//   something new) is served at the next idle moment, and at the latest
//   after frameDeadline ms while input keeps the event loop busy. Many
//   requests before a frame make one frame; nothing is drawn while nothing
//   changes. With the view anti-aliased, frames that follow each other
//   within settleDelay ms (a drag, a spin, the wheel) are drawn plain, which
//   is quicker, and once the view has rested that long it is drawn once
//   more, anti-aliased. The View menu's check (ID_ANTIALIAS) switches
//   anti-aliasing of the view and of exported images.
// - Computations: recompute and reinterpret prepare on the main thread and
//   start the worker. A request made while one runs cancels the running one
//   (its result is already out of date) and waits, merged with any other
//   waiting request, until the worker has stopped; then it starts. The
//   worker computes from a copy of the definition, so edits may go on
//   meanwhile; only the compiled L-system is left alone until completion.
//   The progress dialog shows when a computation takes longer than
//   dialogDelay ms; before that the target hears of the progress.
// - Live requests: while a widget is dragged its changes ask for a live
//   reinterpretation, or a live recomputation when the widget edits what
//   the derivation reads (a constant's slider). It lets a running computation finish and show its
//   picture, waits behind it (merged with the other waiting requests, the
//   newest served next), and runs without the progress dialog, so that the
//   picture follows the drag as fast as it can be interpreted.
//
// The target gets SEL_CHANGED with the selector while a computation runs
// (data: an FXString* with the progress text) and SEL_COMMAND when its
// result is in.

#include "editors/MessageBoxReporter.h"
#include "gui/KLADODialog_Computing.h"
#include "workbench/Workbench.h"

#include <fx.h>

#include <functional>
#include <memory>

class MFXOSGCanvas;

class WindowScheduler : public FXObject {
    FXDECLARE(WindowScheduler)

public:
    enum {
        ID_COMPLETED = 1,
        ID_FRAME,
        ID_FRAME_DEADLINE,
        ID_SETTLE,
        ID_PROGRESS,
        ID_VIEW,
        ID_CANCEL,
        ID_ANTIALIAS,
        ID_LAST
    };
    // The longest time a requested frame waits while input keeps coming, ms.
    static constexpr FXuint frameDeadline = 50;
    // How long the view rests before a plain frame is drawn anti-aliased, ms.
    static constexpr FXuint settleDelay = 150;
    // How long a computation runs before the progress dialog shows, ms.
    static constexpr FXuint dialogDelay = 400;
    // How often the progress text follows the worker, ms.
    static constexpr FXuint progressInterval = 100;

    // The workbench reports computation errors; reporter shows the problems
    // of the compilation.
    WindowScheduler(FXWindow* owner, Workbench& workbench, MessageBoxReporter& reporter, FXObject* target = nullptr,
                    FXSelector selector = 0);
    ~WindowScheduler() override;

    // The canvas the frames are drawn on; it tells the scheduler of its
    // input and exposures with ID_VIEW.
    void setCanvas(MFXOSGCanvas* canvas) { myCanvas = canvas; }
    void requestFrame();
    // Draws a requested frame now (before a long task on the main thread).
    void drawNow();
    // Frames drawn so far.
    long framesDrawn() const { return myFramesDrawn; }
    // Whether the view is anti-aliased (its samples per pixel are more than one).
    bool antialiased() const;
    void setAntialiased(bool on);

    // After an edit of the derivation's inputs; force for the "Compute"
    // button; live while the edit is still going on (a slider being
    // dragged). Without "Compute on Change" and without force it only marks
    // the result pending.
    void recompute(bool force, bool live = false);
    // After an edit that only changes the interpretation; live while the
    // edit is still going on (a dial being dragged).
    void reinterpret(bool force, bool live = false);
    // Runs a long task (an export) on the worker thread behind the progress
    // dialog, which shows what, like a computation; done follows on the main
    // thread. A followed task reports its percentage to dialog() and stops
    // when the workbench's computation is cancelled ("Cancel" is offered).
    // False when a computation runs. No frame is drawn meanwhile: the task
    // reads the scene.
    using Task = std::function<void()>;
    bool runTask(const FXString& what, Task work, Task done, bool followed = false);
    // Stops the running computation and waits for it; waiting requests are
    // dropped. Before the document is replaced or the program ends.
    void finish();

    bool computing() const { return myComputing; }
    // A request waits for the running computation to stop.
    bool waiting() const { return myWanted != Wanted::Nothing; }
    // How the last computation ended: stopped by the user; with an error,
    // and whether that error came from the interpretation.
    bool cancelled() const { return myCancelled; }
    bool failed() const { return myFailed; }
    bool failedInterpreting() const { return myFailedInterpreting; }
    bool computeOnChange() const { return myComputeOnChange; }
    void setComputeOnChange(bool on) { myComputeOnChange = on; }
    KLADODialog_Computing* dialog() const { return myDialog; }

    long onCompleted(FXObject*, FXSelector, void*);
    long onFrame(FXObject*, FXSelector, void*);
    long onProgress(FXObject*, FXSelector, void*);
    long onView(FXObject*, FXSelector, void*);
    long onCancel(FXObject*, FXSelector, void*);
    long onSettle(FXObject*, FXSelector, void*);
    long onCmdAntialias(FXObject*, FXSelector, void*);
    long onUpdAntialias(FXObject*, FXSelector, void*);

protected:
    WindowScheduler() = default;

private:
    enum class Wanted { Nothing, Reinterpret, Recompute };

    // The worker: one computation or task per start, its outcome kept for
    // the main thread, the completion signalled through the event loop.
    class ComputationThread : public FXThread {
    public:
        ComputationThread(Workbench& workbench, KLADODialog_Computing& progress, FXGUISignal& completion)
            : myWorkbench(workbench), myProgress(progress), myCompletion(completion) {}
        ComputationRequest request;
        ComputationOutcome outcome;
        Task task;

        void begin();
        // Waits for the worker to end and harvests it; nothing when none was
        // begun. The worker holds on after its last act until this is
        // called: the toolkit forgets a thread that has ended by itself, and
        // its join would then leave it unharvested.
        void harvest();

    private:
        FXint run() override;

        Workbench& myWorkbench;
        KLADODialog_Computing& myProgress;
        FXGUISignal& myCompletion;
        FXSemaphore myRelease{0};
        bool myBegun = false;
    };

    void start(const ComputationRequest& request, bool live);
    void startWorker(const FXString& task, bool followed = false);
    // Starts the request that waited for the last computation, if any.
    void serveWanted();
    void drawFrame();

    FXWindow* myOwner = nullptr;
    // Kept apart from the owner, which may go first.
    FXApp* myApp = nullptr;
    Workbench* myWorkbench = nullptr;
    MessageBoxReporter* myReporter = nullptr;
    FXObject* myTarget = nullptr;
    FXSelector mySelector = 0;
    MFXOSGCanvas* myCanvas = nullptr;
    KLADODialog_Computing* myDialog = nullptr;
    std::unique_ptr<FXGUISignal> myCompletion;
    std::unique_ptr<ComputationThread> myThread;
    Task myTaskDone;
    FXTime myStarted = 0;
    bool myComputing = false;
    bool myCancelled = false;
    bool myFailed = false;
    bool myFailedInterpreting = false;
    bool myComputeOnChange = true;
    Wanted myWanted = Wanted::Nothing;
    bool myWantedForce = false;
    // Every waiting request was live.
    bool myWantedLive = false;
    // The running computation serves a live request: no progress dialog.
    bool myLive = false;
    // The running computation was stopped for a newer request.
    bool mySuperseded = false;
    bool myFrameWanted = false;
    long myFramesDrawn = 0;
    // When the last frame was done; whether it was plain.
    FXTime myLastFrame = 0;
    bool myLastFramePlain = false;
};
