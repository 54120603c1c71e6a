#include "gui/panels/TweaksPanel.h"

#include "gui/FXRealSpinDial.h"
#include "gui/MFXUndoCommand.h"
#include "gui/MFXUndoHolder.h"
#include "gui/panels/PanelHost.h"
#include "gui/panels/PanelKit.h"
#include "options/TextConvert.h"
#include "workbench/Workbench.h"

#include <cmath>

class TweaksPanel::Command : public MFXUndoCommand_Record<TweakMap, int> {
public:
    Command(TweaksPanel* panel, MFXUndoHolder* holder, const TweakMap& before, const TweakMap& after, bool final)
        : MFXUndoCommand_Record(holder, "Undo Tweak Change", "Redo Tweak Change", before, after, 0, final),
          panel(panel) {}

protected:
    void apply(const TweakMap& tweaks) override { panel->apply(tweaks); }

private:
    TweaksPanel* panel;
};

// clang-format off
FXDEFMAP(TweaksPanel) TweaksPanelMap[] = {
    FXMAPFUNC(SEL_COMMAND, TweaksPanel::ID_TWEAKS, TweaksPanel::onCmdTweaks),
    FXMAPFUNC(SEL_CHANGED, TweaksPanel::ID_TWEAKS, TweaksPanel::onCmdTweaks),
    FXMAPFUNC(SEL_COMMAND, TweaksPanel::ID_SEED, TweaksPanel::onCmdSeed),
};
// clang-format on

FXIMPLEMENT(TweaksPanel, FXVerticalFrame, TweaksPanelMap, ARRAYNUMBER(TweaksPanelMap))

TweaksPanel::TweaksPanel(FXComposite* parent, PanelHost& host)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y), myHost(&host) {
    new FXLabel(this, "Tropism vector (x, y, z):");
    auto* vector = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    for (FXRealSpinDial*& dial : myTropismDials)
        dial = makeDial(vector, this, ID_TWEAKS, {"%.4f", -1, 1, 0.01, 0.01, 0.1, 0});
    FXMatrix* grid = makeGrid(this);
    new FXLabel(grid, "Tropism strength:");
    myTropismStrength = makeDial(grid, this, ID_TWEAKS, {"%.4f", 0, 1000, 0.0001, 0.001, 0.01, 0});
    new FXLabel(grid, "Random seed:");
    mySeedDial = makeDial(grid, this, ID_SEED, {"%.0f", 0, 1000, 1, 10, 100, defaultSeed});
}

void TweaksPanel::showDocument() {
    showNumber(mySeedDial, myHost->workbench().specialVariable("_seed", defaultSeed));
    showTweaks();
}

void TweaksPanel::showTweaks() {
    const TweakMap& tweaks = myHost->workbench().definition().getTweaks();
    const auto direction = tweaks.find(tropismDirectionKey);
    std::array<double, 3> vector{0, 0, 0};
    if (direction != tweaks.end()) vector = readTropismDirection(direction->second).value_or(vector);
    for (int i = 0; i < 3; ++i) myTropismDials[i]->setValue(vector[i]);
    double strength = 0;
    const auto found = tweaks.find(tropismStrengthKey);
    if (found != tweaks.end()) {
        try {
            strength = TextConvert::toFloat(TextConvert::trim(found->second));
        } catch (const std::exception&) {}
    }
    myTropismStrength->setValue(strength);
}

void TweaksPanel::apply(const TweakMap& tweaks) {
    myHost->workbench().definition().setTweaks(tweaks);
    showTweaks();
    myHost->reinterpret();
}

long TweaksPanel::onCmdTweaks(FXObject*, FXSelector selector, void*) {
    LSystemDefinition& definition = myHost->workbench().definition();
    const TweakMap before = definition.getTweaks();
    TweakMap after = before;
    const auto text = [](double value) { return TextConvert::toString(value, 4); };
    after[tropismDirectionKey] = text(myTropismDials[0]->getValue()) + "," + text(myTropismDials[1]->getValue()) + "," +
                                 text(myTropismDials[2]->getValue());
    after[tropismStrengthKey] = text(myTropismStrength->getValue());
    // A drag is one entry, closed when the dial settles; the picture follows
    // the drag.
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    MFXUndoHolder& undo = myHost->undoHolder();
    if (after == before) {
        if (final) undo.record(new Command(this, &undo, before, before, true), false);
        return 1;
    }
    definition.setTweaks(after);
    undo.add(new Command(this, &undo, before, after, final));
    if (final)
        myHost->reinterpret();
    else
        myHost->reinterpretLive();
    return 1;
}

long TweaksPanel::onCmdSeed(FXObject* sender, FXSelector, void*) {
    Workbench& workbench = myHost->workbench();
    MFXUndoHolder& undo = myHost->undoHolder();
    const double seed = std::round(mySeedDial->getValue());
    const double old = workbench.specialVariable("_seed", defaultSeed);
    if (seed == old) return 1;
    workbench.setSpecialVariable("_seed", seed);
    if (!undo.isReplay(sender))
        undo.add(new MFXUndoCommand_Float(mySeedDial, &undo, "Undo Seed Change", "Redo Seed Change",
                                          static_cast<float>(old), static_cast<float>(seed), true));
    myHost->recompute();
    return 1;
}
