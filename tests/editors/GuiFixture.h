#pragma once
// One FOX application on the (virtual) display for all GUI tests of the
// editors, a shown main window to put widgets in, and helpers that drive
// widgets with the messages mouse clicks produce.

#include <fx.h>
#include <gtest/gtest.h>

#include <functional>

class GuiTest : public ::testing::Test {
protected:
    static FXApp* app;
    static FXMainWindow* window;

    static void SetUpTestSuite();
    void TearDown() override;

    // Creates and shows what was added to the window and lets it settle.
    void show();
    void settle();

    // A click (or double click) of the left button at a point of a window,
    // by default its middle.
    void click(FXWindow* widget, int count = 1, int x = -1, int y = -1);

    // The first label, button or check below a window that shows this text.
    static FXLabel* findLabel(FXWindow* root, const FXString& text);

    // Runs `action` on the modal window once one is running, repeating until
    // the action returns true (it ends the modal loop itself).
    void whenModal(std::function<bool(FXWindow*)> action);
};

// Receives a widget's messages and records the last one.
class Recorder : public FXObject {
    FXDECLARE(Recorder)

public:
    long onMessage(FXObject*, FXSelector sel, void* ptr);

    int commands = 0;
    int changes = 0;
    std::function<void(void*)> onValue;
};
