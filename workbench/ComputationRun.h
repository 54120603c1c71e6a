#pragma once
// One computation of the document: derive the L-system up to "_steps" and
// interpret the string reached into a scene graph. The worker thread of the
// window runs it behind the progress dialog; batch use runs it directly.
//
// The request is decided on the main thread before the worker starts, the
// outcome is read on the main thread after the worker has finished; while it
// runs, the main thread touches only the cancellation flag and the reached
// step.

#include "interpretation/LSysInterpreter.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/LSystemDefinition.h"

#include <osg/Node>

#include <atomic>
#include <string>
#include <vector>

// What the progress dialog shows: the percentage of the current phase, the
// step being derived, and that the interpretation has begun. Whether to stop
// is asked of the run's cancellation flag, not of the dialog.
class ComputationProgress {
public:
    virtual ~ComputationProgress() = default;
    virtual void setProgress(int percent) = 0;
    virtual void setStep(int step) = 0;
    virtual void setInterpreting() = 0;
};

// A progress that nobody watches.
class SilentProgress : public ComputationProgress {
public:
    void setProgress(int) override {}
    void setStep(int) override {}
    void setInterpreting() override {}
};

struct ComputationRequest {
    // Derive before interpreting.
    bool needsDerivation = false;
    // Restart from the axiom, and interpret even when computing on change is off.
    bool force = false;
    // Whether a finished interpretation sends the view to its home position.
    bool resetView = true;
    // The window's "Compute on Change".
    bool computeOnChange = true;
    // The step whose string is interpreted; the last one derived when
    // negative or beyond it.
    int step = -1;
};

// How long the phases of a computation took, in milliseconds.
struct ComputationTimes {
    double derivation = 0.0;
    double interpretation = 0.0;
};

struct ComputationOutcome {
    // The scene built, turned upright; null when none.
    osg::ref_ptr<osg::Node> result;
    // Empty when the run succeeded.
    std::string errorTitle;
    std::string errorText;
    // The shown result is out of date (the run stopped before interpreting).
    bool pending = false;
    // A derivation is still owed (the run did not get to a finished
    // interpretation or an interpretation error).
    bool needsDerivation = true;
    // The integer part of "_step" after the derivation.
    int reachedStep = 0;
    // Whether the view goes to its home position with this result.
    bool resetView = false;
    // What the interpretation counted, listed and as numbers; empty unless it
    // finished.
    TextTree statistics;
    Statistics counts;
    ComputationTimes times;
    // What a finished interpretation left out (LSysInterpreter::warnings).
    std::vector<std::string> warnings;
};

class ComputationRun {
public:
    // Main thread, before the worker starts: forgets an earlier Cancel.
    void prepare() { myCancelRequested = false; }
    // Any thread: asks a running or starting computation to stop at the next
    // poll. A request made before run() begins is kept.
    void cancel() { myCancelRequested = true; }
    bool cancelRequested() const { return myCancelRequested; }

    ComputationOutcome run(const ComputationRequest& request, LSystem& lsystem, const LSystemDefinition& definition,
                           ComputationProgress& progress);

private:
    // Hands the percentage on and answers cancellation from the run's flag.
    class Watch : public ProgressRetriever {
    public:
        Watch(ComputationProgress& progress, const std::atomic<bool>& cancelled)
            : myProgress(progress), myCancelled(cancelled) {}
        void setProgress(int percent) override { myProgress.setProgress(percent); }
        bool wasCancelled() override { return myCancelled; }

    private:
        ComputationProgress& myProgress;
        const std::atomic<bool>& myCancelled;
    };

    // " (atom N of M: ...)" with the atoms around the one the interpretation
    // failed at; empty when there is no such atom.
    std::string failurePlace(LSystem& lsystem) const;
    void derive(const ComputationRequest& request, LSystem& lsystem, ComputationProgress& progress);
    void interpret(LSystem& lsystem, const LSystemDefinition& definition, int step, ComputationProgress& progress,
                   ComputationOutcome& outcome);

    std::atomic<bool> myCancelRequested{false};
    LSysInterpreter myInterpreter;
    // The step the last interpretation walked.
    int myInterpretedStep = 0;
};
