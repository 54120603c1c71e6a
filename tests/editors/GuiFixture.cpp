#include "GuiFixture.h"

#include "editors/SphereTable.h"

FXApp* GuiTest::app = nullptr;
FXMainWindow* GuiTest::window = nullptr;

void GuiTest::SetUpTestSuite() {
    app = guiApp();
    buildSphereTables();
}

void GuiTest::TearDown() {
    delete window;
    window = nullptr;
}

void GuiTest::show() {
    if (!window) return;
    window->create();
    window->show(PLACEMENT_SCREEN);
    settle();
}

FXDEFMAP(Recorder)
RecorderMap[] = {FXMAPFUNC(SEL_COMMAND, 1, Recorder::onMessage), FXMAPFUNC(SEL_CHANGED, 1, Recorder::onMessage)};
FXIMPLEMENT(Recorder, FXObject, RecorderMap, ARRAYNUMBER(RecorderMap))

long Recorder::onMessage(FXObject*, FXSelector sel, void* ptr) {
    (FXSELTYPE(sel) == SEL_COMMAND ? commands : changes) += 1;
    if (onValue) onValue(ptr);
    return 1;
}
