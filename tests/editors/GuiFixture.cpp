#include "GuiFixture.h"

#include "editors/SphereTable.h"

FXApp* GuiTest::app = nullptr;
FXMainWindow* GuiTest::window = nullptr;

void GuiTest::SetUpTestSuite() {
    if (app) return;
    static int argc = 1;
    static char name[] = "editors-test";
    static char* argv[] = {name, nullptr};
    app = new FXApp("KLADO-editors-test", "TOVA-test");
    app->init(argc, argv);
    app->create();
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

void GuiTest::settle() {
    app->flush(true);
    app->forceRefresh();
    app->runWhileEvents();
    app->repaint();
}

void GuiTest::click(FXWindow* widget, int count, int x, int y) {
    FXEvent event;
    event.win_x = x < 0 ? widget->getWidth() / 2 : x;
    event.win_y = y < 0 ? widget->getHeight() / 2 : y;
    event.click_button = LEFTBUTTON;
    event.click_count = count;
    widget->handle(app, FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
    widget->handle(app, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &event);
}

FXLabel* GuiTest::findLabel(FXWindow* root, const FXString& text) {
    for (FXWindow* child = root->getFirst(); child; child = child->getNext()) {
        FXLabel* label = dynamic_cast<FXLabel*>(child);
        if (label && label->getText() == text) return label;
        if (FXLabel* found = findLabel(child, text)) return found;
    }
    return nullptr;
}

namespace {

// Polls from an idle chore for the modal window and hands it to the action.
class ModalDriver : public FXObject {
    FXDECLARE(ModalDriver)

public:
    ModalDriver() {}
    ModalDriver(FXApp* app, std::function<bool(FXWindow*)> action) : app(app), action(std::move(action)) {}
    long onChore(FXObject*, FXSelector, void*) {
        FXWindow* modal = app->getModalWindow();
        if (!modal || !action(modal)) app->addChore(this, 1);
        return 1;
    }

    FXApp* app = nullptr;
    std::function<bool(FXWindow*)> action;
};

FXDEFMAP(ModalDriver) ModalDriverMap[] = {FXMAPFUNC(SEL_CHORE, 1, ModalDriver::onChore)};
FXIMPLEMENT(ModalDriver, FXObject, ModalDriverMap, ARRAYNUMBER(ModalDriverMap))

std::unique_ptr<ModalDriver> driver;

} // namespace

void GuiTest::whenModal(std::function<bool(FXWindow*)> action) {
    driver = std::make_unique<ModalDriver>(app, std::move(action));
    app->addChore(driver.get(), 1);
}

FXDEFMAP(Recorder)
RecorderMap[] = {FXMAPFUNC(SEL_COMMAND, 1, Recorder::onMessage), FXMAPFUNC(SEL_CHANGED, 1, Recorder::onMessage)};
FXIMPLEMENT(Recorder, FXObject, RecorderMap, ARRAYNUMBER(RecorderMap))

long Recorder::onMessage(FXObject*, FXSelector sel, void* ptr) {
    (FXSELTYPE(sel) == SEL_COMMAND ? commands : changes) += 1;
    if (onValue) onValue(ptr);
    return 1;
}
