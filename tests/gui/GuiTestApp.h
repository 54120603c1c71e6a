#pragma once
// The one toolkit application of the GUI test program, opened on the display
// of DISPLAY (a virtual one under xvfb-run), and helpers that send the
// messages a user's keys and clicks produce.

#include <fx.h>
#include <fxkeys.h>

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
    FXEvent event; // a plain struct: every field a handler may read is set
    event.time = 0;
    event.win_x = event.win_y = event.root_x = event.root_y = 0;
    event.click_x = event.click_y = event.rootclick_x = event.rootclick_y = 0;
    event.last_x = event.last_y = 0;
    event.click_time = 0;
    event.click_button = 0;
    event.click_count = 0;
    event.moved = false;
    event.synthetic = true;
    event.target = 0;
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
