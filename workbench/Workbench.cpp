#include "workbench/Workbench.h"

#include "definition_io/OwnLSysLoader.h"
#include "diagnostics/ErrorHandler.h"
#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"
#include "lsys/String2IDManager.h"
#include "options/TextConvert.h"
#include "workbench/ImageWriter.h"

#include <algorithm>
#include <cmath>
#include <malloc.h>
#include <new>

Workbench::Workbench(FailureReporter& reporter)
    : myReporter(reporter), myDefinition(std::make_unique<LSystemDefinition>()), myCameras(1) {
    takeRecords();
}

void Workbench::chooseShownLights() {
    myShownLights = myLights;
    if (std::none_of(myLights.begin(), myLights.end(), [](const LightDef& light) { return light.enabled; })) {
        myShownLights[0] = LightDef();
        myShownLights[0].enabled = true;
    }
}

void Workbench::setLight(int index, const LightDef& light) {
    if (index < 0 || index >= SceneView::lightCount) return;
    myLights[index] = light;
    chooseShownLights();
    for (int i = 0; i < SceneView::lightCount; ++i) applyLight(i);
}

void Workbench::takeRecords() {
    myLights = {};
    const std::vector<LightDef>& lights = myDefinition->getLights();
    for (std::size_t i = 0; i < lights.size() && i < myLights.size(); ++i) myLights[i] = lights[i];
    chooseShownLights();

    myView.releaseCameraRecord();
    const std::vector<CameraDef>& cameras = myDefinition->getCameras();
    myCameras.assign(cameras.begin(), cameras.end());
    if (myCameras.empty()) myCameras.emplace_back();
    myCurrentCamera = 0;
    const auto current = myDefinition->getConstants().find("_currentCamera");
    if (current != myDefinition->getConstants().end()) {
        // The definition holds special variables only as numbers.
        const double index = TextConvert::toFloat(current->second.value);
        if (index >= 0 && index < static_cast<double>(myCameras.size()))
            myCurrentCamera = static_cast<std::size_t>(index);
    }
    applyEnvironment();
    for (int i = 0; i < SceneView::lightCount; ++i) applyLight(i);
}

void Workbench::replaceDocument(std::unique_ptr<LSystemDefinition> definition, const std::string& fileName,
                                bool justLoaded) {
    myLSystem.reset();
    String2IDManager::instance().resetToID(firstUserSymbolID);
    myDefinition = std::move(definition);
    myFileName = fileName;
    myJustLoaded = justLoaded;
    myNeedsDerivation = false;
    myPending = false;
    myStatistics.clear();
    myCounts.clear();
    takeRecords();
}

bool Workbench::load(const std::string& fileName, tov::ErrorHandler& errors) {
    std::unique_ptr<LSystemDefinition> definition;
    try {
        definition = OwnLSysLoader().load(errors, fileName, readFileText(fileName));
    } catch (const FileError& error) {
        myReporter.report("Error on loading file",
                          error.reason().empty() ? " Could not open '" + fileName + "'." : " " + error.reason());
        return false;
    } catch (const std::bad_alloc&) {
        myReporter.report("Error on loading file", " Not enough memory to load '" + fileName + "'.");
        return false;
    }
    if (!definition) return false;
    replaceDocument(std::move(definition), fileName, true);
    return true;
}

void Workbench::setSpecialVariable(const std::string& name, double value) {
    // A value set to the number it holds keeps its text, so that saving
    // writes the file's own text again.
    const std::string text = TextConvert::toString(value);
    if (TextConvert::toString(specialVariable(name, std::nan(""))) == text) return;
    myDefinition->addConstant(name, text);
}

double Workbench::specialVariable(const std::string& name, double fallback) const {
    const auto& constants = myDefinition->getConstants();
    const auto found = constants.find(name);
    if (found == constants.end()) return fallback;
    try {
        return TextConvert::toFloat(TextConvert::trim(found->second.value));
    } catch (const std::exception&) {
        return fallback;
    }
}

DefinitionSheet Workbench::sheet() {
    DefinitionSheet sheet = DefinitionSheet::of(*myDefinition);
    for (int i = 0; i < DefinitionSheet::slotCount; ++i) sheet.lights[i] = myLights[i];
    sheet.cameras[sheet.currentCamera] = currentCamera();
    sheet.camerasEnabled[sheet.currentCamera] = true;
    return sheet;
}

std::optional<ComputationRequest> Workbench::prepareRecompute(bool computeOnChange, tov::ErrorHandler& errors) {
    myLSystem = buildLSystem(*myDefinition, String2IDManager::instance(), errors);
    if (errors.hasErrors()) myLSystem.reset();
    if (!myLSystem) return std::nullopt;
    myLSystem->setAtomLimit(myAtomLimit);
    myComputedDefinition = std::make_unique<LSystemDefinition>(*myDefinition);
    myRun.prepare();
    myNeedsDerivation = true;
    myShownStep = -1;
    ComputationRequest request;
    request.needsDerivation = true;
    request.force = true;
    request.resetView = !(myJustLoaded && currentCamera().set);
    request.computeOnChange = computeOnChange;
    myJustLoaded = false;
    return request;
}

std::optional<ComputationRequest> Workbench::prepareReinterpret(bool force, bool computeOnChange) {
    if (!myLSystem) return std::nullopt;
    // The rotations and the initial direction are read by the interpreter
    // from the compiled system.
    for (const char* name : {"_rotX", "_rotY", "_rotZ", "_idirX", "_idirY", "_idirZ"}) {
        const auto found = myDefinition->getConstants().find(name);
        if (found == myDefinition->getConstants().end()) continue;
        try {
            myLSystem->setVariable(name, TextConvert::toFloat(found->second.value));
        } catch (const std::exception&) {
            // A special variable holds numbers only; the compiled value stays.
        }
    }
    myComputedDefinition = std::make_unique<LSystemDefinition>(*myDefinition);
    myRun.prepare();
    ComputationRequest request;
    request.needsDerivation = myNeedsDerivation;
    request.force = force;
    request.resetView = false;
    request.computeOnChange = computeOnChange;
    request.step = myShownStep;
    return request;
}

ComputationOutcome Workbench::compute(const ComputationRequest& request, ComputationProgress& progress) {
    return myRun.run(request, *myLSystem, *myComputedDefinition, progress);
}

bool Workbench::complete(ComputationOutcome outcome) {
    if (outcome.result)
        myView.setScene(outcome.result.get(), &currentCamera(), myShownLights.data(), outcome.resetView);
    myNeedsDerivation = outcome.needsDerivation;
    myPending = outcome.pending;
    if (outcome.result) {
        myStatistics = std::move(outcome.statistics);
        myCounts = outcome.counts;
    }
    myLastTimes = outcome.times;
    if (!outcome.warnings.empty()) {
        std::string text = "Warnings: ";
        for (const std::string& warning : outcome.warnings) text += "\n " + warning;
        myReporter.warn("Warning(s) on computation", text);
    }
    if (outcome.errorTitle.empty()) return true;
    myReporter.report(outcome.errorTitle, outcome.errorText);
    return false;
}

void Workbench::releaseCancelled() {
    myLSystem.reset();
    myComputedDefinition.reset();
    myNeedsDerivation = true;
    myPending = true;
    // Freed blocks of a large derivation stay with the process unless the
    // allocator is told to give them back.
    malloc_trim(0);
}

bool Workbench::recompute(tov::ErrorHandler& errors) {
    // Without interpreting, the run stops after the derivation.
    std::optional<ComputationRequest> request = prepareRecompute(myInterpreting, errors);
    if (!request) return false;
    request->force = myInterpreting;
    // Batch pictures always show the model from its home position.
    request->resetView = true;
    SilentProgress silent;
    return complete(compute(*request, myProgress ? *myProgress : silent));
}

void Workbench::applyEnvironment() {
    const EnvironmentMap& environment = myDefinition->getEnvironment();
    const auto background = environment.find(backgroundColorKey);
    // Without a colour of its own a definition is shown on black, whatever
    // the one before had.
    std::array<std::uint8_t, 3> rgb{0, 0, 0};
    if (background != environment.end()) rgb = readBackgroundColour(background->second).value_or(rgb);
    myView.setBackground(rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f, 1.0f);
}

void Workbench::applyLight(int index) {
    if (index < 0 || index >= SceneView::lightCount) return;
    const LightDef& light = myShownLights[index];
    myView.setLightPosition(index, light.position[0], light.position[1], light.position[2], light.position[3] != 0.0f);
    myView.setLightAmbient(index, light.ambient[0], light.ambient[1], light.ambient[2], light.ambient[3]);
    myView.setLightDiffuse(index, light.diffuse[0], light.diffuse[1], light.diffuse[2], light.diffuse[3]);
    myView.setLightSpecular(index, light.specular[0], light.specular[1], light.specular[2], light.specular[3]);
    myView.setLightEnabled(index, light.enabled);
}

bool Workbench::exportImage(const std::string& fileName, int width, int height, int samples) {
    std::string problem;
    try {
        problem = lowerExtension(fileName) == "svg" ? myView.writeDrawing(fileName, width, height)
                                                    : myView.renderImage(fileName, width, height, samples);
    } catch (const std::bad_alloc&) {
        problem = "Not enough memory to render and write the image.";
    }
    if (problem.empty()) return true;
    myReporter.report("Error while saving", "Could not save file\n" + fileName + "\n" + problem);
    return false;
}

bool Workbench::exportFrames(const FramePattern& pattern, int width, int height, int samples) {
    if (!myLSystem) {
        myReporter.report("Error while saving", "There is no derived string.");
        return false;
    }
    // The view goes home on the last step's scene; every step's scene is
    // then shown from the view kept in the camera record.
    myView.takeOverPendingScene();
    myView.storeView();
    const int last = reachedStep();
    ComputationRequest request;
    request.force = true;
    request.resetView = false;
    SilentProgress silent;
    for (int step = 0; step <= last; ++step) {
        request.step = step;
        myRun.prepare();
        ComputationOutcome outcome = compute(request, silent);
        if (!outcome.errorTitle.empty()) {
            myReporter.report(outcome.errorTitle, outcome.errorText);
            return false;
        }
        myView.setScene(outcome.result.get(), &currentCamera(), myShownLights.data(), false);
        if (!exportImage(pattern.name(step), width, height, samples)) return false;
    }
    return true;
}

namespace {

// An export's progress shown where the computation's is, stopped by the
// computation's Cancel.
class ExportWatch : public ProgressRetriever {
public:
    ExportWatch(ComputationProgress& progress, const ComputationRun& run) : myProgress(progress), myRun(run) {}
    void setProgress(int percent) override { myProgress.setProgress(percent); }
    bool wasCancelled() override { return myRun.cancelRequested(); }

private:
    ComputationProgress& myProgress;
    const ComputationRun& myRun;
};

} // namespace

std::string Workbench::writeObject(const std::string& fileName, ComputationProgress& progress) {
    myRun.prepare();
    ExportWatch watch(progress, myRun);
    try {
        return myView.writeScene(fileName, myObjectOptions, &watch);
    } catch (const std::bad_alloc&) {
        return "Not enough memory to write the object file.";
    }
}

bool Workbench::exportObject(const std::string& fileName) {
    SilentProgress silent;
    const std::string problem = writeObject(fileName, myProgress ? *myProgress : silent);
    if (problem.empty()) return true;
    myReporter.report("Error while saving", "Could not save file\n" + fileName + "\n" + problem);
    return false;
}
