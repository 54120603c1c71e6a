#include "gui/KLADODialog_Computing.h"

#include <string>

// clang-format off
FXDEFMAP(KLADODialog_Computing) KLADODialog_ComputingMap[] = {
    FXMAPFUNC(SEL_COMMAND, FXDialogBox::ID_CANCEL, KLADODialog_Computing::onCmdCancel),
    // Closed by the window manager: the same as "Cancel".
    FXMAPFUNC(SEL_CLOSE, 0, KLADODialog_Computing::onCmdCancel),
    FXMAPFUNC(SEL_TIMEOUT, KLADODialog_Computing::ID_REFRESH, KLADODialog_Computing::onRefresh),
};
// clang-format on

FXIMPLEMENT(KLADODialog_Computing, FXDialogBox, KLADODialog_ComputingMap, ARRAYNUMBER(KLADODialog_ComputingMap))

KLADODialog_Computing::KLADODialog_Computing(FXWindow* owner, FXObject* target, FXSelector selector)
    : FXDialogBox(owner, "Computing", DECOR_TITLE) {
    setTarget(target);
    setSelector(selector);
    if (owner->getShell()->isMemberOf(FXMETACLASS(FXTopWindow)))
        setIcon(static_cast<FXTopWindow*>(owner->getShell())->getIcon());
    FXVerticalFrame* outer = new FXVerticalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXVerticalFrame* inner = new FXVerticalFrame(outer, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    myLabel = new FXLabel(inner, "Computing step #1", nullptr, LAYOUT_FILL_X | JUSTIFY_LEFT);
    myProgressBar =
        new FXProgressBar(inner, nullptr, 0, PROGRESSBAR_PERCENTAGE | LAYOUT_FIX_WIDTH | FRAME_SUNKEN, 0, 0, 200, 0);
    myProgressBar->setTotal(100);
    myProgressBar->setProgress(0);
    new FXHorizontalSeparator(outer, SEPARATOR_GROOVE | LAYOUT_FILL_X);
    new FXHorizontalSeparator(outer, SEPARATOR_GROOVE | LAYOUT_FILL_X);
    FXHorizontalFrame* buttons = new FXHorizontalFrame(outer, LAYOUT_FILL_X);
    myCancelButton = new FXButton(buttons, "Cancel", nullptr, this, FXDialogBox::ID_CANCEL,
                                  BUTTON_NORMAL | LAYOUT_CENTER_X | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 70, 34);
}

KLADODialog_Computing::~KLADODialog_Computing() { getApp()->removeTimeout(this, ID_REFRESH); }

void KLADODialog_Computing::setStep(int step) {
    myStep = step;
    myInterpreting = false;
}

void KLADODialog_Computing::restart(const FXString& task, bool followed) {
    myPercent = 0;
    myStep = 1;
    myInterpreting = false;
    myTask = task;
    myFollowed = task.empty() || followed;
    if (myFollowed) {
        myProgressBar->show();
        myCancelButton->enable();
    } else {
        myProgressBar->hide();
        myCancelButton->disable();
    }
}

FXString KLADODialog_Computing::progressText() const {
    if (!myTask.empty())
        return myFollowed ? FXStringFormat("%s %d%%", myTask.text(), myPercent.load()) : myTask;
    const std::string phase = myInterpreting ? "Interpreting" : "Computing step #" + std::to_string(myStep);
    return FXStringFormat("%s... %d%%", phase.c_str(), myPercent.load());
}

void KLADODialog_Computing::show(FXuint placement) {
    refresh();
    FXDialogBox::show(placement);
    getApp()->addTimeout(this, ID_REFRESH, refreshInterval);
}

void KLADODialog_Computing::hide() {
    getApp()->removeTimeout(this, ID_REFRESH);
    FXDialogBox::hide();
}

long KLADODialog_Computing::onCmdCancel(FXObject*, FXSelector, void*) {
    // The dialog stays until the worker has stopped and the result is in.
    if (myFollowed && target) target->handle(this, FXSEL(SEL_COMMAND, message), nullptr);
    return 1;
}

long KLADODialog_Computing::onRefresh(FXObject*, FXSelector, void*) {
    refresh();
    getApp()->addTimeout(this, ID_REFRESH, refreshInterval);
    return 1;
}

void KLADODialog_Computing::refresh() {
    const FXString text = !myTask.empty()  ? myTask
                          : myInterpreting ? FXString("Interpreting")
                                           : FXString(("Computing step #" + std::to_string(myStep)).c_str());
    if (text != myLabel->getText()) myLabel->setText(text);
    myProgressBar->setProgress(static_cast<FXuint>(myPercent));
    if (shown()) repaint();
}
