#pragma once
// One computation of the document: derive the L-system up to "_steps" and
// interpret the string reached into a scene graph. The worker thread of the
// window runs it behind the progress dialog; batch use runs it directly.

#include "interpretation/LSysInterpreter.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/LSystemDefinition.h"
#include "lsys/ProgressRetriever.h"

#include <osg/Node>

#include <atomic>
#include <string>

// What the progress dialog shows besides the percentage.
class ComputationProgress : public ProgressRetriever {
public:
    virtual void setStep(int step) = 0;
    virtual void setInterpreting() = 0;
};

// A progress that nobody watches and that is never cancelled.
class SilentProgress : public ComputationProgress {
public:
    void setProgress(int) override {}
    bool wasCancelled() override { return false; }
    void setStep(int) override {}
    void setInterpreting() override {}
};

class ComputationRun {
public:
    // Derive before interpreting; cleared after a finished interpretation.
    bool needsDerivation = false;
    // Restart from the axiom, and interpret even when computing on change is off.
    bool force = false;
    // Set by the dialog's "Cancel", from the main thread.
    std::atomic<bool> cancelRequested{false};
    // Passed back with the result: the view goes to its home position.
    bool resetView = true;

    // What the run left: an empty title when it succeeded.
    std::string errorTitle;
    std::string errorText;
    // The scene built, turned upright; null when none.
    osg::ref_ptr<osg::Node> result;
    // The shown result is out of date (the run stopped before interpreting).
    bool pending = false;
    // The integer part of "_step" after the derivation.
    int reachedStep = 0;
    // The reset flag the completion carries.
    bool completionResetsView = false;

    void run(LSystem& lsystem, const LSystemDefinition& definition, bool computeOnChange, ComputationProgress& progress,
             TextTree& statistics);

private:
    void interpret(LSystem& lsystem, const LSystemDefinition& definition, ComputationProgress& progress,
                   TextTree& statistics);

    LSysInterpreter myInterpreter;
};
