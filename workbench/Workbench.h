#pragma once
// What the main window owns, without the window: the document (the
// definition and the L-system compiled from it), the 8 light records and the
// camera records, the scene view, the computation and its statistics. Batch
// use drives it directly; the window adds widgets, dialogs and the worker
// thread around it.
//
// A computation takes three phases: prepare (main thread: compile, decide the
// request), compute (the worker, or the same thread in batch use) and
// complete (main thread: hand the result to the view, report an error). The
// caller keeps a second computation from starting before the first has
// completed, and leaves the document alone in between.

#include "definition_io/DefinitionWriter.h"
#include "diagnostics/ErrorHandler.h"
#include "diagnostics/FailureReporter.h"
#include "interpretation/Statistics.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/LSystemDefinition.h"
#include "records/CameraDef.h"
#include "records/LightDef.h"
#include "workbench/ComputationRun.h"
#include "workbench/FramePattern.h"
#include "workbench/SceneView.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

class Workbench {
public:
    // One-off failures (a file that cannot be opened, a failed export, a
    // computation error) go to the reporter.
    explicit Workbench(FailureReporter& reporter);

    // Replaces the document: the symbols of the old one are forgotten (user
    // ids start at 1000 again), the light and camera records are taken from
    // the new definition, and the view stops writing into the old camera
    // record. justLoaded lets the next recomputation restore a stored view.
    void replaceDocument(std::unique_ptr<LSystemDefinition> definition, const std::string& fileName, bool justLoaded);
    // The document was saved under another name.
    void setFileName(const std::string& fileName) { myFileName = fileName; }
    // Reads a definition file; problems of the file go to errors. On success
    // the definition replaces the document, which is not computed yet. False
    // when the file cannot be opened (reported) or has errors; the current
    // document then stays.
    bool load(const std::string& fileName, tov::ErrorHandler& errors);

    // Writes a number the window shows into the definition's special
    // variable, in fixed-point notation with three decimals.
    void setSpecialVariable(const std::string& name, double value);
    // The number a special variable holds; fallback when the definition has
    // none or its text is no number.
    double specialVariable(const std::string& name, double fallback) const;
    // What saving writes besides the definition: the light records and the
    // view of the current camera.
    DefinitionSheet sheet();

    // Prepares a full recomputation on the main thread: compiles the
    // definition (problems go to errors) into a new L-system that replaces
    // the old one, clears an earlier Cancel, and says what the computation
    // is to do. Empty when the definition has errors. The view keeps a
    // stored view only right after a load.
    std::optional<ComputationRequest> prepareRecompute(bool computeOnChange, tov::ErrorHandler& errors);
    // Prepares a new interpretation of the derived string (after a change of
    // shapes, colours, tweaks, ...) that keeps the view: the string of the
    // shown step. Empty when there is no compiled L-system.
    std::optional<ComputationRequest> prepareReinterpret(bool force, bool computeOnChange);
    // Runs the computation; the worker thread calls it between prepare and
    // complete. It reads the compiled L-system and a copy of the definition
    // taken when it was prepared, so the definition may be edited meanwhile.
    ComputationOutcome compute(const ComputationRequest& request, ComputationProgress& progress);
    // Completes on the main thread: hands a new result to the view (without
    // one the view keeps the last picture), keeps the statistics of a
    // finished interpretation, and reports its warnings ("Warning(s) on
    // computation", each after "\n ") or an error. False when the outcome
    // carries an error.
    bool complete(ComputationOutcome outcome);
    // After a cancelled computation: the compiled L-system with the steps it
    // derived goes, and its memory back to the system. The result stays
    // pending until the next recomputation.
    void releaseCancelled();
    // All three phases on this thread, for batch use; the view goes home.
    bool recompute(tov::ErrorHandler& errors);

    // The step whose string the interpretations that follow draw, without
    // deriving again (every step is kept); negative for the last one. A
    // recomputation shows the last one again.
    void setShownStep(int step) { myShownStep = step; }
    int shownStep() const { return myShownStep; }

    // Any thread: stops a running computation at its next poll.
    void cancel() { myRun.cancel(); }
    // Safe to read while the worker runs.
    int reachedStep() const { return myLSystem ? myLSystem->getReachedStep() : 0; }
    // The shown result is out of date.
    bool pending() const { return myPending; }
    void setPending() { myPending = true; }

    // Settings of the computations that follow: the longest string a step may
    // make (Workbench::unlimited for none); whether the derived string is
    // interpreted into a scene (off when only the string is wanted); who
    // watches the progress (null: nobody).
    static constexpr std::size_t unlimited = SIZE_MAX;
    void setAtomLimit(std::size_t atoms) { myAtomLimit = atoms; }
    void setInterpreting(bool on) { myInterpreting = on; }
    void setProgress(ComputationProgress* progress) { myProgress = progress; }

    // Renders the view off-screen with samples per pixel (1: not
    // anti-aliased) and writes it, or draws it as SVG for the extension
    // "svg"; reports a failure.
    bool exportImage(const std::string& fileName, int width, int height, int samples);
    // Writes one picture of every step from 0 to the last one derived, named
    // by the pattern, all seen from the view the last step is shown from, so
    // that the plant grows in place and the last picture is the one
    // exportImage writes. Stops at the first failure, which it reports.
    bool exportFrames(const FramePattern& pattern, int width, int height, int samples);
    // Writes the scene as a 3-D object file with the progress shown as set
    // (setProgress); reports a failure.
    bool exportObject(const std::string& fileName);
    // The same for the worker thread: returns why it failed (empty on
    // success, exportCancelledText after cancel()) instead of reporting it.
    std::string writeObject(const std::string& fileName, ComputationProgress& progress);
    void setObjectOptions(const ObjectExportOptions& options) { myObjectOptions = options; }

    // Shows the environment's background colour ("background.color", six
    // hexadecimal digits RRGGBB).
    void applyEnvironment();
    // Gives the view light index's record.
    void applyLight(int index);
    // Replaces light index's record and gives the view the lights to show.
    void setLight(int index, const LightDef& light);

    const LSystemDefinition& definition() const { return *myDefinition; }
    LSystemDefinition& definition() { return *myDefinition; }
    // The compiled definition; null while the definition has errors.
    LSystem* lsystem() const { return myLSystem.get(); }
    SceneView& view() { return myView; }
    const TextTree& statistics() const { return myStatistics; }
    // The counters behind the statistics.
    const Statistics& counts() const { return myCounts; }
    // How long the last completed computation took.
    const ComputationTimes& lastTimes() const { return myLastTimes; }
    const std::array<LightDef, SceneView::lightCount>& lights() const { return myLights; }
    CameraDef& currentCamera() { return myCameras[myCurrentCamera]; }
    const std::string& fileName() const { return myFileName; }

private:
    void takeRecords();
    void chooseShownLights();

    FailureReporter& myReporter;
    std::unique_ptr<LSystemDefinition> myDefinition;
    std::unique_ptr<LSystem> myLSystem;
    // What the computation that was prepared last reads.
    std::unique_ptr<LSystemDefinition> myComputedDefinition;
    std::array<LightDef, SceneView::lightCount> myLights;
    // The lights the view switches on: the records, or the first light in
    // its default colours when no record is enabled, so that a definition
    // without lights is never drawn black.
    std::array<LightDef, SceneView::lightCount> myShownLights;
    // The view keeps a pointer to the current record: a deque keeps every
    // record where it is when another one is added.
    std::deque<CameraDef> myCameras;
    std::size_t myCurrentCamera = 0;
    std::string myFileName;
    bool myJustLoaded = false;
    bool myNeedsDerivation = false;
    bool myPending = false;
    int myShownStep = -1;
    SceneView myView;
    ComputationRun myRun;
    TextTree myStatistics;
    Statistics myCounts;
    ComputationTimes myLastTimes;
    std::size_t myAtomLimit = unlimited;
    bool myInterpreting = true;
    ComputationProgress* myProgress = nullptr;
    ObjectExportOptions myObjectOptions;
};
