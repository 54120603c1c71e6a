#pragma once
// The Environment tab: the background colour and the eight lights.

#include "records/EnvironmentAndTweaks.h"
#include "records/LightDef.h"

#include <fx.h>

#include <array>

class FXRealSpinDial;
class PanelHost;

class EnvironmentPanel : public FXVerticalFrame {
    FXDECLARE(EnvironmentPanel)
public:
    enum { ID_BACKGROUND = FXVerticalFrame::ID_LAST, ID_LIGHT, ID_LAST };

    EnvironmentPanel(FXComposite* parent, PanelHost& host);

    // Shows the document.
    void showDocument();

    FXColorWell* backgroundWell() const { return myBackgroundWell; }

    long onCmdBackground(FXObject*, FXSelector, void*);
    long onCmdLight(FXObject*, FXSelector, void*);

protected:
    EnvironmentPanel() = default;

private:
    class EnvironmentCommand;
    class LightCommand;

    void showBackground();
    void showLight();
    LightDef lightFromWidgets() const;
    // Write a record back (undo and redo) and show it.
    void applyEnvironment(const EnvironmentMap& environment);
    void applyLight(int index, const LightDef& light);

    PanelHost* myHost = nullptr;
    int myCurrentLight = 0;
    FXColorWell* myBackgroundWell = nullptr;
    FXListBox* myLightBox = nullptr;
    FXCheckButton* myLightOn = nullptr;
    std::array<FXColorWell*, 3> myLightColors{};
    std::array<FXRealSpinDial*, 3> myLightPosition{};
};
