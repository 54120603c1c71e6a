#include "workbench/Workbench.h"

#include "definition_io/OwnLSysLoader.h"
#include "diagnostics/ErrorHandler.h"
#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"
#include "lsys/String2IDManager.h"
#include "options/TextConvert.h"

#include <algorithm>
#include <iostream>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads "RRGGBB" (more characters are ignored); false when a digit is bad.
bool readColour(const std::string& text, float rgb[3]) {
    if (text.size() < 6) return false;
    for (int i = 0; i < 3; ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        rgb[i] = (high * 16 + low) / 255.0f;
    }
    return true;
}

} // namespace

Workbench::Workbench(FailureReporter& reporter)
    : myReporter(reporter), myDefinition(std::make_unique<LSystemDefinition>()), myCameras(1) {
    takeRecords();
}

void Workbench::takeRecords() {
    myLights = {};
    const std::vector<LightDef>& lights = myDefinition->getLights();
    for (std::size_t i = 0; i < lights.size() && i < myLights.size(); ++i) myLights[i] = lights[i];
    myShownLights = myLights;
    if (std::none_of(myLights.begin(), myLights.end(), [](const LightDef& light) { return light.enabled; })) {
        myShownLights[0] = LightDef();
        myShownLights[0].enabled = true;
    }

    myCameras = myDefinition->getCameras();
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

bool Workbench::load(const std::string& fileName) {
    std::string text;
    try {
        text = readFileText(fileName);
    } catch (const FileError&) {
        myReporter.report("Error on loading file", " Could not open '" + fileName + "'.");
        return false;
    }
    tov::ReportingErrorHandler handler(std::cerr);
    OwnLSysLoader loader;
    std::unique_ptr<LSystemDefinition> definition = loader.load(handler, fileName, text);
    if (!definition) return false;
    replaceDocument(std::move(definition), fileName);
    return recompute();
}

void Workbench::replaceDocument(std::unique_ptr<LSystemDefinition> definition, const std::string& fileName) {
    myLSystem.reset();
    myDefinition = std::move(definition);
    myFileName = fileName;
    myJustLoaded = !fileName.empty();
    takeRecords();
}

void Workbench::setLight(int index, const LightDef& light) {
    if (index < 0 || index >= SceneView::lightCount) return;
    myLights[index] = light;
    myShownLights = myLights;
    if (std::none_of(myLights.begin(), myLights.end(), [](const LightDef& record) { return record.enabled; })) {
        myShownLights[0] = LightDef();
        myShownLights[0].enabled = true;
    }
    for (int i = 0; i < SceneView::lightCount; ++i) applyLight(i);
}

bool Workbench::recompute() {
    tov::ReportingErrorHandler handler(std::cerr);
    SilentProgress silent;
    myJustLoaded = false;
    return compute(handler, myProgress ? *myProgress : silent, true);
}

bool Workbench::recompute(tov::ErrorHandler& handler, ComputationProgress& progress, bool keepView) {
    const bool resetView = !keepView && !(myJustLoaded && currentCamera().set);
    myJustLoaded = false;
    return compute(handler, progress, resetView);
}

bool Workbench::compute(tov::ErrorHandler& handler, ComputationProgress& progress, bool resetView) {
    std::unique_ptr<LSystem> lsystem = buildLSystem(*myDefinition, String2IDManager::instance(), handler);
    if (!lsystem || handler.hasErrors()) {
        myLSystem.reset();
        return false;
    }
    myLSystem = std::move(lsystem);
    myLSystem->setAtomLimit(myAtomLimit);
    myRun.needsDerivation = true;
    // Without interpreting, the run stops after the derivation; the system is
    // fresh, so nothing needs a reset.
    myRun.force = myInterpreting;
    myRun.resetView = resetView;
    myRun.run(*myLSystem, *myDefinition, myInterpreting, progress, myStatistics);
    myView.setScene(myRun.result.get(), &currentCamera(), myShownLights.data(), resetView);
    if (!myRun.errorTitle.empty()) {
        myReporter.report(myRun.errorTitle, myRun.errorText);
        return false;
    }
    return true;
}

void Workbench::applyEnvironment() {
    const EnvironmentMap& environment = myDefinition->getEnvironment();
    const auto background = environment.find("background.color");
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    if (background != environment.end() && readColour(background->second, rgb))
        myView.setBackground(rgb[0], rgb[1], rgb[2], 1.0f);
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

bool Workbench::exportImage(const std::string& fileName, int width, int height) {
    const std::string problem = myView.renderImage(fileName, width, height);
    if (problem.empty()) return true;
    myReporter.report("Error while saving", "Could not save file\n" + fileName + "\n" + problem);
    return false;
}

bool Workbench::exportObject(const std::string& fileName) {
    const std::string problem = myView.writeScene(fileName);
    if (problem.empty()) return true;
    myReporter.report("Error while saving", "Could not save file\n" + fileName + "\n" + problem);
    return false;
}
