#include "gui/panels/EnvironmentPanel.h"

#include "editors/MFXColorWell.h"
#include "gui/FXRealSpinDial.h"
#include "gui/MFXUndoCommand.h"
#include "gui/MFXUndoHolder.h"
#include "gui/panels/PanelHost.h"
#include "gui/panels/PanelKit.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

FXColor colourOf(const std::array<float, 4>& rgba) {
    const auto byte = [](float v) { return static_cast<FXuchar>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return FXRGBA(byte(rgba[0]), byte(rgba[1]), byte(rgba[2]), byte(rgba[3]));
}

void setRgba(std::array<float, 4>& rgba, FXColor colour) {
    rgba[0] = FXREDVAL(colour) / 255.0f;
    rgba[1] = FXGREENVAL(colour) / 255.0f;
    rgba[2] = FXBLUEVAL(colour) / 255.0f;
    rgba[3] = FXALPHAVAL(colour) / 255.0f;
}

} // namespace

class EnvironmentPanel::EnvironmentCommand : public MFXUndoCommand_Record<EnvironmentMap, int> {
public:
    EnvironmentCommand(EnvironmentPanel* panel, MFXUndoHolder* holder, const EnvironmentMap& before,
                       const EnvironmentMap& after, bool final)
        : MFXUndoCommand_Record(holder, "Undo Environment Change", "Redo Environment Change", before, after, 0, final),
          panel(panel) {}

protected:
    void apply(const EnvironmentMap& environment) override { panel->applyEnvironment(environment); }

private:
    EnvironmentPanel* panel;
};

class EnvironmentPanel::LightCommand : public MFXUndoCommand_Record<LightDef, int> {
public:
    LightCommand(EnvironmentPanel* panel, MFXUndoHolder* holder, const LightDef& before, const LightDef& after,
                 int index, bool final)
        : MFXUndoCommand_Record(holder, "Undo Light Change", "Redo Light Change", before, after, index, final),
          panel(panel) {}

protected:
    void apply(const LightDef& light) override { panel->applyLight(key, light); }

private:
    EnvironmentPanel* panel;
};

// clang-format off
FXDEFMAP(EnvironmentPanel) EnvironmentPanelMap[] = {
    FXMAPFUNC(SEL_COMMAND, EnvironmentPanel::ID_BACKGROUND, EnvironmentPanel::onCmdBackground),
    FXMAPFUNC(SEL_CHANGED, EnvironmentPanel::ID_BACKGROUND, EnvironmentPanel::onCmdBackground),
    FXMAPFUNC(SEL_COMMAND, EnvironmentPanel::ID_LIGHT, EnvironmentPanel::onCmdLight),
    FXMAPFUNC(SEL_CHANGED, EnvironmentPanel::ID_LIGHT, EnvironmentPanel::onCmdLight),
};
// clang-format on

FXIMPLEMENT(EnvironmentPanel, FXVerticalFrame, EnvironmentPanelMap, ARRAYNUMBER(EnvironmentPanelMap))

EnvironmentPanel::EnvironmentPanel(FXComposite* parent, PanelHost& host)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y), myHost(&host) {
    FXMatrix* grid = makeGrid(this);
    new FXLabel(grid, "Background color:");
    myBackgroundWell = new MFXColorWell(grid, FXRGB(0, 0, 0), this, ID_BACKGROUND,
                                        COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 24);
    new FXHorizontalSeparator(this);
    FXMatrix* lights = makeGrid(this);
    myLightBox = makeChoice(lights, this, ID_LIGHT);
    for (int i = 1; i <= SceneView::lightCount; ++i) myLightBox->appendItem(("Light #" + std::to_string(i)).c_str());
    myLightBox->setNumVisible(SceneView::lightCount);
    myLightOn = new FXCheckButton(lights, "On", this, ID_LIGHT);
    const char* const colours[] = {"Ambient color:", "Diffuse color:", "Specular color:"};
    for (int i = 0; i < 3; ++i) {
        new FXLabel(lights, colours[i]);
        myLightColors[i] = new MFXColorWell(lights, FXRGB(255, 255, 255), this, ID_LIGHT,
                                            COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 24);
    }
    const char* const positions[] = {"X position:", "Y position:", "Z position:"};
    const double initial[] = {-150, 15, 15};
    for (int i = 0; i < 3; ++i) {
        new FXLabel(lights, positions[i]);
        myLightPosition[i] = makeDial(lights, this, ID_LIGHT, {"%.0f", -10000, 10000, 1, 10, 100, initial[i]});
    }
}

void EnvironmentPanel::showDocument() {
    showBackground();
    showLight();
}

void EnvironmentPanel::showBackground() {
    const EnvironmentMap& environment = myHost->workbench().definition().getEnvironment();
    const auto found = environment.find(backgroundColorKey);
    std::array<std::uint8_t, 3> rgb{0, 0, 0};
    if (found != environment.end()) rgb = readBackgroundColour(found->second).value_or(rgb);
    myBackgroundWell->setRGBA(FXRGB(rgb[0], rgb[1], rgb[2]));
}

void EnvironmentPanel::showLight() {
    myCurrentLight = std::clamp(myLightBox->getCurrentItem(), 0, SceneView::lightCount - 1);
    const LightDef& light = myHost->workbench().lights()[myCurrentLight];
    myLightOn->setCheck(light.enabled);
    myLightColors[0]->setRGBA(colourOf(light.ambient));
    myLightColors[1]->setRGBA(colourOf(light.diffuse));
    myLightColors[2]->setRGBA(colourOf(light.specular));
    for (int i = 0; i < 3; ++i) myLightPosition[i]->setValue(light.position[i]);
}

LightDef EnvironmentPanel::lightFromWidgets() const {
    LightDef light = myHost->workbench().lights()[myCurrentLight];
    light.enabled = myLightOn->getCheck();
    setRgba(light.ambient, myLightColors[0]->getRGBA());
    setRgba(light.diffuse, myLightColors[1]->getRGBA());
    setRgba(light.specular, myLightColors[2]->getRGBA());
    for (int i = 0; i < 3; ++i) light.position[i] = static_cast<float>(myLightPosition[i]->getValue());
    return light;
}

void EnvironmentPanel::applyEnvironment(const EnvironmentMap& environment) {
    myHost->workbench().definition().setEnvironment(environment);
    showBackground();
    myHost->workbench().applyEnvironment();
    myHost->requestFrame();
}

long EnvironmentPanel::onCmdBackground(FXObject*, FXSelector selector, void*) {
    const EnvironmentMap before = myHost->workbench().definition().getEnvironment();
    EnvironmentMap after = before;
    const FXColor colour = myBackgroundWell->getRGBA();
    after[backgroundColorKey] = backgroundColourText({static_cast<std::uint8_t>(FXREDVAL(colour)),
                                                      static_cast<std::uint8_t>(FXGREENVAL(colour)),
                                                      static_cast<std::uint8_t>(FXBLUEVAL(colour))});
    if (after == before) return 1;
    applyEnvironment(after);
    MFXUndoHolder& undo = myHost->undoHolder();
    undo.add(new EnvironmentCommand(this, &undo, before, after, FXSELTYPE(selector) == SEL_COMMAND));
    return 1;
}

void EnvironmentPanel::applyLight(int index, const LightDef& light) {
    myHost->workbench().setLight(index, light);
    myLightBox->setCurrentItem(index);
    showLight();
    myHost->requestFrame();
}

long EnvironmentPanel::onCmdLight(FXObject* sender, FXSelector selector, void*) {
    if (sender == myLightBox) {
        showLight();
        return 1;
    }
    const int index = myCurrentLight;
    const LightDef old = myHost->workbench().lights()[index];
    const LightDef light = lightFromWidgets();
    myHost->workbench().setLight(index, light);
    myHost->requestFrame();
    // A colour or dial dragged with the mouse merges into one entry.
    auto* widget = dynamic_cast<FXWindow*>(sender);
    const bool final = FXSELTYPE(selector) == SEL_COMMAND && !(widget && widget->grabbed());
    MFXUndoHolder& undo = myHost->undoHolder();
    if (!undo.isReplay(sender)) undo.add(new LightCommand(this, &undo, old, light, index, final));
    return 1;
}
