#pragma once
// The one toolkit application of the GUI test program, opened on the display
// of DISPLAY (a virtual one under xvfb-run), helpers that send the messages a
// user's keys and clicks produce, and a poller that drives modal loops: it
// runs a step every millisecond from the event loop until the step says it is
// done.

#include <fx.h>
#include <fxkeys.h>

#include <chrono>
#include <functional>
#include <string>

inline FXApp* guiApp() {
    static FXApp* app = [] {
        static int argc = 1;
        static char name[] = "klado-gui-test";
        static char* argv[] = {name, nullptr};
        auto* created = new FXApp("KLADO-gui-test", "TOVA-test");
        created->init(argc, argv);
        created->create();
        return created;
    }();
    return app;
}

inline FXEvent keyEvent(FXuint type, FXint code, const char* text = "", FXuint state = 0) {
    FXEvent event{}; // every field a handler may read starts at zero
    event.synthetic = true;
    event.type = type;
    event.code = code;
    event.text = text;
    event.state = state;
    return event;
}

// Presses and releases one key on the widget.
inline void pressKey(FXWindow* widget, FXint code, const char* text = "", FXuint state = 0) {
    FXEvent press = keyEvent(SEL_KEYPRESS, code, text, state);
    widget->handle(widget, FXSEL(SEL_KEYPRESS, 0), &press);
    FXEvent release = keyEvent(SEL_KEYRELEASE, code, text, state);
    widget->handle(widget, FXSEL(SEL_KEYRELEASE, 0), &release);
}

inline void typeText(FXWindow* widget, const std::string& text) {
    for (char c : text) {
        const char letter[2] = {c, 0};
        pressKey(widget, static_cast<unsigned char>(c), letter);
    }
}

inline void runUntilIdle() {
    guiApp()->runWhileEvents();
    guiApp()->refresh();
    guiApp()->runWhileEvents();
}

class Poller : public FXObject {
    FXDECLARE(Poller)

public:
    enum { ID_TICK = 1 };

    explicit Poller(std::function<bool()> step) : myStep(std::move(step)) { guiApp()->addTimeout(this, ID_TICK, 1); }
    ~Poller() override { guiApp()->removeTimeout(this, ID_TICK); }

    long onTick(FXObject*, FXSelector, void*) {
        if (!myStep()) guiApp()->addTimeout(this, ID_TICK, 1);
        return 1;
    }

protected:
    Poller() = default;

private:
    std::function<bool()> myStep;
};

// Runs the event loop until the condition holds or ten seconds have passed.
inline bool runUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        guiApp()->runOneEvent(false);
    }
    return true;
}
