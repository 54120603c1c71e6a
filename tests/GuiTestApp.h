#pragma once
// The one toolkit application of a GUI test program, opened on the display
// of DISPLAY (a virtual one under xvfb-run) with HOME in a scratch folder, so
// that settings are read from and written to ~/.foxrc/TOVA/KLADO there and
// never to the user's own; helpers that send the messages a user's keys and
// clicks produce; a target that records what widgets tell it; a poller that
// drives modal loops; and a fixture with a window to show widgets in.

#include "TempDir.h"

#include <fx.h>
#include <fxkeys.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// The scratch home of the test program.
inline const TempDir& guiHome() {
    static TempDir home;
    return home;
}

inline FXApp* guiApp() {
    static FXApp* app = [] {
        setenv("HOME", guiHome().path("").c_str(), 1);
        static int argc = 1;
        static char name[] = "klado-test";
        static char* argv[] = {name, nullptr};
        auto* created = new FXApp("KLADO", "TOVA");
        created->init(argc, argv);
        created->create();
        return created;
    }();
    return app;
}

// Presses and releases one key on the widget.
inline void pressKey(FXWindow* widget, FXint code, const char* text = "") {
    FXEvent event{}; // every field a handler may read starts at zero
    event.synthetic = true;
    event.code = code;
    event.text = text;
    for (FXuint type : {SEL_KEYPRESS, SEL_KEYRELEASE}) {
        event.type = type;
        widget->handle(widget, FXSEL(type, 0), &event);
    }
}

inline void typeText(FXWindow* widget, const std::string& text) {
    for (char c : text) {
        const char letter[2] = {c, 0};
        pressKey(widget, static_cast<unsigned char>(c), letter);
    }
}

// A click (or double click) of the left button at a point of a window, by
// default its middle.
inline void click(FXWindow* widget, int count = 1, int x = -1, int y = -1) {
    FXEvent event{};
    event.win_x = x < 0 ? widget->getWidth() / 2 : x;
    event.win_y = y < 0 ? widget->getHeight() / 2 : y;
    event.click_button = LEFTBUTTON;
    event.click_count = count;
    widget->handle(guiApp(), FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
    widget->handle(guiApp(), FXSEL(SEL_LEFTBUTTONRELEASE, 0), &event);
}

// The first label, button or check below a window that shows this text.
inline FXLabel* findLabel(FXWindow* root, const FXString& text) {
    for (FXWindow* child = root->getFirst(); child; child = child->getNext()) {
        FXLabel* label = dynamic_cast<FXLabel*>(child);
        if (label && label->getText() == text) return label;
        if (FXLabel* found = findLabel(child, text)) return found;
    }
    return nullptr;
}

// Runs the event loop until nothing is left, the update pass and the
// repaints included.
inline void settle() {
    guiApp()->flush(true);
    guiApp()->refresh();
    guiApp()->runWhileEvents();
    guiApp()->forceRefresh();
    guiApp()->runWhileEvents();
    guiApp()->repaint();
}

// Stands for a widget's target: counts the commands and changes it hears of
// and passes them, the replacements and the timer's calls to `hook`. Clicks
// go on to the widget unless `takeClicks` says otherwise.
class Recorder : public FXObject {
    FXDECLARE(Recorder)

public:
    long onMessage(FXObject* sender, FXSelector sel, void* ptr) {
        if (FXSELTYPE(sel) == SEL_COMMAND) ++commands;
        if (FXSELTYPE(sel) == SEL_CHANGED) ++changes;
        if (hook) hook(sender, sel, ptr);
        return 1;
    }
    long onClicked(FXObject*, FXSelector, void*) { return takeClicks; }

    int commands = 0;
    int changes = 0;
    long takeClicks = 0;
    std::function<void(FXObject*, FXSelector, void*)> hook;
};

// Runs the step every millisecond from the event loop until it says it is done.
class Poller : public Recorder {
public:
    explicit Poller(std::function<bool()> step) {
        hook = [this, step = std::move(step)](FXObject*, FXSelector, void*) {
            if (!step()) guiApp()->addTimeout(this, 1, 1);
        };
        guiApp()->addTimeout(this, 1, 1);
    }
    ~Poller() override { guiApp()->removeTimeout(this, 1); }
};

// Runs `action` on the modal dialog of the class once one is running; the
// action ends the dialog's loop itself.
template <class Dialog>
void whenModal(std::function<void(Dialog*)> action) {
    static std::unique_ptr<Poller> poller;
    poller = std::make_unique<Poller>([action = std::move(action)] {
        auto* dialog = dynamic_cast<Dialog*>(guiApp()->getModalWindow());
        if (dialog) action(dialog);
        return dialog != nullptr;
    });
}

// Runs the event loop until the condition holds or ten seconds have passed.
inline bool runUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        guiApp()->runOneEvent(false);
    }
    return true;
}

// A main window for the test's widgets, deleted after the test.
class GuiTest : public ::testing::Test {
protected:
    void TearDown() override { delete window; }
    // Creates and shows what was added to the window and lets it settle.
    void show() {
        window->create();
        window->show(PLACEMENT_SCREEN);
        settle();
    }

    FXApp* app = guiApp();
    FXMainWindow* window = nullptr;
    Recorder recorder;
};
