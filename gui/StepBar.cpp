#include "gui/StepBar.h"

#include "gui/WindowScheduler.h"
#include "workbench/Workbench.h"

#include <algorithm>

// clang-format off
FXDEFMAP(StepBar) StepBarMap[] = {
    FXMAPFUNC(SEL_COMMAND, StepBar::ID_PLAY, StepBar::onCmdPlay),
    FXMAPFUNC(SEL_UPDATE, StepBar::ID_PLAY, StepBar::onUpdPlay),
    FXMAPFUNC(SEL_CHANGED, StepBar::ID_STEP, StepBar::onCmdStep),
    FXMAPFUNC(SEL_COMMAND, StepBar::ID_STEP, StepBar::onCmdStep),
    FXMAPFUNC(SEL_UPDATE, StepBar::ID_STEP, StepBar::onUpdStep),
    FXMAPFUNC(SEL_UPDATE, StepBar::ID_LABEL, StepBar::onUpdLabel),
    FXMAPFUNC(SEL_TIMEOUT, StepBar::ID_TICK, StepBar::onTick),
};
// clang-format on

FXIMPLEMENT(StepBar, FXHorizontalFrame, StepBarMap, ARRAYNUMBER(StepBarMap))

namespace {

// While the step before is still being drawn, Play looks again this soon, ms.
constexpr FXuint busyRetry = 20;

} // namespace

StepBar::StepBar(FXComposite* parent, Workbench& workbench, WindowScheduler& scheduler)
    : FXHorizontalFrame(parent, LAYOUT_FILL_X, 0, 0, 0, 0, 2, 2, 1, 1), myWorkbench(&workbench),
      myScheduler(&scheduler) {
    myPlay = new FXButton(
        this,
        "Play\tPlay the growth\tShow the steps one after another up to the last, from step 0 when the last one shows.",
        nullptr, this, ID_PLAY, BUTTON_NORMAL | LAYOUT_CENTER_Y | LAYOUT_FIX_WIDTH, 0, 0, 56, 0);
    mySlider =
        new FXSlider(this, this, ID_STEP, SLIDER_HORIZONTAL | SLIDER_TICKS_BOTTOM | LAYOUT_FILL_X | LAYOUT_CENTER_Y);
    mySlider->setRange(0, 0);
    mySlider->setTickDelta(1);
    mySlider->setTipText("The step shown");
    mySlider->setHelpText("Drag to show the model after another step of the derivation.");
    myLabel = new FXLabel(this, "Step 0 of 0", nullptr, LAYOUT_CENTER_Y | JUSTIFY_LEFT, 0, 0, 0, 0, 6, 6);
    myLabel->setTarget(this);
    myLabel->setSelector(ID_LABEL);
    myRate = new FXSpinner(this, 3, nullptr, 0, SPIN_NORMAL | FRAME_SUNKEN | FRAME_THICK | LAYOUT_CENTER_Y);
    myRate->setRange(1, 30);
    myRate->setValue(defaultRate);
    myRate->setTipText("Steps a second");
    myRate->setHelpText("How many steps a second Play shows.");
    new FXLabel(this, "steps/s", nullptr, LAYOUT_CENTER_Y);
}

StepBar::~StepBar() { getApp()->removeTimeout(this, ID_TICK); }

int StepBar::lastStep() const { return myWorkbench->reachedStep(); }

int StepBar::shownStep() const {
    const int step = myWorkbench->shownStep();
    return step < 0 ? lastStep() : std::min(step, lastStep());
}

bool StepBar::usable() const { return myWorkbench->lsystem() && !myWorkbench->pending(); }

void StepBar::show(int step) {
    if (step == shownStep()) return;
    // The last step is the one every recomputation shows.
    myWorkbench->setShownStep(step >= lastStep() ? -1 : step);
    myScheduler->reinterpret(true, true);
}

void StepBar::stop() {
    myPlaying = false;
    getApp()->removeTimeout(this, ID_TICK);
}

long StepBar::onCmdPlay(FXObject*, FXSelector, void*) {
    if (myPlaying) {
        stop();
        return 1;
    }
    if (!usable() || lastStep() == 0) return 1;
    myPlaying = true;
    // From the start again when the last step shows.
    if (shownStep() >= lastStep()) show(0);
    getApp()->addTimeout(this, ID_TICK, 1000 / myRate->getValue());
    return 1;
}

long StepBar::onUpdPlay(FXObject* sender, FXSelector, void*) {
    const bool enable = myPlaying || (usable() && lastStep() > 0);
    sender->handle(this, FXSEL(SEL_COMMAND, enable ? ID_ENABLE : ID_DISABLE), nullptr);
    const FXString text = myPlaying ? "Pause" : "Play";
    if (myPlay->getText() != text) myPlay->setText(text);
    return 1;
}

long StepBar::onCmdStep(FXObject*, FXSelector, void*) {
    if (usable()) show(mySlider->getValue());
    return 1;
}

long StepBar::onUpdStep(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, usable() ? ID_ENABLE : ID_DISABLE), nullptr);
    FXint low = 0, high = 0;
    mySlider->getRange(low, high);
    if (high != lastStep()) {
        mySlider->setRange(0, std::max(lastStep(), 0));
        // The ticks of the range before would otherwise stay where the head is not drawn.
        mySlider->update();
    }
    if (mySlider->getValue() != shownStep()) mySlider->setValue(shownStep());
    return 1;
}

long StepBar::onUpdLabel(FXObject*, FXSelector, void*) {
    const FXString text = FXStringFormat("Step %d of %d", shownStep(), lastStep());
    if (myLabel->getText() != text) myLabel->setText(text);
    return 1;
}

long StepBar::onTick(FXObject*, FXSelector, void*) {
    if (!myPlaying) return 1;
    if (!usable()) {
        stop();
        return 1;
    }
    // One step at a time: the next waits until the one before is drawn.
    if (myScheduler->computing() || myScheduler->waiting()) {
        getApp()->addTimeout(this, ID_TICK, busyRetry);
        return 1;
    }
    const int next = shownStep() + 1;
    show(next);
    if (next >= lastStep())
        stop();
    else
        getApp()->addTimeout(this, ID_TICK, 1000 / myRate->getValue());
    return 1;
}
