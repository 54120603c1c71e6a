#pragma once
// The Tweaks tab: the tropism vector and strength, and the random seed.

#include "records/EnvironmentAndTweaks.h"

#include <fx.h>

#include <array>

class FXRealSpinDial;
class PanelHost;

class TweaksPanel : public FXVerticalFrame {
    FXDECLARE(TweaksPanel)
public:
    enum { ID_TWEAKS = FXVerticalFrame::ID_LAST, ID_SEED, ID_LAST };

    TweaksPanel(FXComposite* parent, PanelHost& host);

    // Shows the document.
    void showDocument();

    FXRealSpinDial* seedDial() const { return mySeedDial; }

    long onCmdTweaks(FXObject*, FXSelector, void*);
    long onCmdSeed(FXObject*, FXSelector, void*);

protected:
    TweaksPanel() = default;

private:
    class Command;

    void showTweaks();
    // Writes the tweaks back (undo and redo) and shows them.
    void apply(const TweakMap& tweaks);

    PanelHost* myHost = nullptr;
    std::array<FXRealSpinDial*, 3> myTropismDials{};
    FXRealSpinDial* myTropismStrength = nullptr;
    FXRealSpinDial* mySeedDial = nullptr;
};
