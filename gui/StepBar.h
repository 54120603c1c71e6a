#pragma once
// The bar under the 3-D view that plays the growth of the model: a slider
// from step 0 to the last step derived, a Play/Pause button and the rate in
// steps a second. A step is shown by interpreting the string the derivation
// kept for it, through the window's scheduler as a live request (no progress
// dialog, the newest step asked for is the next one drawn); the camera stays
// where it is, framed after the last step, so that the plant grows in place.
// Nothing of it is saved with the document.

#include <fx.h>

class Workbench;
class WindowScheduler;

class StepBar : public FXHorizontalFrame {
    FXDECLARE(StepBar)
public:
    enum { ID_PLAY = FXHorizontalFrame::ID_LAST, ID_STEP, ID_LABEL, ID_TICK, ID_LAST };
    // Steps a second that Play shows unless the rate is changed.
    static constexpr FXint defaultRate = 2;

    StepBar(FXComposite* parent, Workbench& workbench, WindowScheduler& scheduler);
    ~StepBar() override;

    // The step shown: the last one derived unless another was chosen.
    int shownStep() const;
    // The last step derived.
    int lastStep() const;
    bool playing() const { return myPlaying; }
    FXSlider* slider() const { return mySlider; }
    FXSpinner* rate() const { return myRate; }

    long onCmdPlay(FXObject*, FXSelector, void*);
    long onUpdPlay(FXObject*, FXSelector, void*);
    long onCmdStep(FXObject*, FXSelector, void*);
    long onUpdStep(FXObject*, FXSelector, void*);
    long onUpdLabel(FXObject*, FXSelector, void*);
    long onTick(FXObject*, FXSelector, void*);

protected:
    StepBar() = default;

private:
    // A derived string is there and the picture is not out of date.
    bool usable() const;
    void show(int step);
    void stop();

    Workbench* myWorkbench = nullptr;
    WindowScheduler* myScheduler = nullptr;
    FXButton* myPlay = nullptr;
    FXSlider* mySlider = nullptr;
    FXLabel* myLabel = nullptr;
    FXSpinner* myRate = nullptr;
    bool myPlaying = false;
};
