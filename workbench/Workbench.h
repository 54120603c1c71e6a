#pragma once
// What the main window owns, without the window: the document (the
// definition and the L-system compiled from it), the 8 light records and the
// camera records, the scene view, the computation and its statistics. Batch
// use drives it directly; the window adds widgets, dialogs and the worker
// thread around it.

#include "diagnostics/ErrorHandler.h"
#include "diagnostics/FailureReporter.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/LSystemDefinition.h"
#include "records/CameraDef.h"
#include "records/LightDef.h"
#include "workbench/ComputationRun.h"
#include "workbench/SceneView.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Workbench {
public:
    // One-off failures (a file that cannot be opened, a failed export, a
    // computation error) go to the reporter.
    explicit Workbench(FailureReporter& reporter);

    // Reads a definition file; problems of the file are written on standard
    // error as they arise. On success the definition replaces the document
    // and is computed. False when the file cannot be read, has errors, or its
    // computation fails; a failed read keeps the current document.
    bool load(const std::string& fileName);
    // Makes the definition the document, read from fileName (empty for a new
    // one); user symbol ids start again at 1000. Nothing is computed.
    void replaceDocument(std::unique_ptr<LSystemDefinition> definition, const std::string& fileName);
    void setFileName(const std::string& fileName) { myFileName = fileName; }
    // Compiles the definition and computes it on this thread. False when the
    // definition has errors or the computation reports one.
    bool recompute();
    // The window's computation: the compiler's problems go to the handler,
    // the computation reports to the progress. The view keeps its camera
    // when keepView is set or when the document was just loaded with a
    // stored view; otherwise it goes to its home position.
    bool recompute(tov::ErrorHandler& handler, ComputationProgress& progress, bool keepView);

    // Settings of the computations that follow: the longest string a step may
    // make (Workbench::unlimited for none); whether the derived string is
    // interpreted into a scene (off when only the string is wanted); who
    // watches the progress (null: nobody).
    static constexpr std::size_t unlimited = SIZE_MAX;
    void setAtomLimit(std::size_t atoms) { myAtomLimit = atoms; }
    void setInterpreting(bool on) { myInterpreting = on; }
    void setProgress(ComputationProgress* progress) { myProgress = progress; }

    // Renders the view off-screen and writes it; reports a failure.
    bool exportImage(const std::string& fileName, int width, int height);
    // Writes the scene as a 3-D object file; reports a failure.
    bool exportObject(const std::string& fileName);

    // Shows the environment's background colour ("background.color", six
    // hexadecimal digits RRGGBB).
    void applyEnvironment();
    // Gives the view light index's record.
    void applyLight(int index);
    // Replaces light index's record and gives it to the view.
    void setLight(int index, const LightDef& light);

    const LSystemDefinition& definition() const { return *myDefinition; }
    LSystemDefinition& definition() { return *myDefinition; }
    // The compiled definition; null while the definition has errors.
    LSystem* lsystem() const { return myLSystem.get(); }
    SceneView& view() { return myView; }
    const TextTree& statistics() const { return myStatistics; }
    const std::array<LightDef, SceneView::lightCount>& lights() const { return myLights; }
    CameraDef& currentCamera() { return myCameras[myCurrentCamera]; }
    const std::string& fileName() const { return myFileName; }

private:
    void takeRecords();
    bool compute(tov::ErrorHandler& handler, ComputationProgress& progress, bool resetView);

    FailureReporter& myReporter;
    std::unique_ptr<LSystemDefinition> myDefinition;
    std::unique_ptr<LSystem> myLSystem;
    std::array<LightDef, SceneView::lightCount> myLights;
    // The lights the view switches on: the records, or the first light in
    // its default colours when no record is enabled, so that a definition
    // without lights is never drawn black.
    std::array<LightDef, SceneView::lightCount> myShownLights;
    std::vector<CameraDef> myCameras;
    std::size_t myCurrentCamera = 0;
    std::string myFileName;
    bool myJustLoaded = false;
    SceneView myView;
    ComputationRun myRun;
    TextTree myStatistics;
    std::size_t myAtomLimit = unlimited;
    bool myInterpreting = true;
    ComputationProgress* myProgress = nullptr;
};
