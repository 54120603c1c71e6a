#pragma once
// A shown main window to put the editors' widgets in, on the test program's
// one application.

#include "../GuiTestApp.h"

#include <gtest/gtest.h>

class GuiTest : public ::testing::Test {
protected:
    static FXApp* app;
    static FXMainWindow* window;

    static void SetUpTestSuite();
    void TearDown() override;

    // Creates and shows what was added to the window and lets it settle.
    void show();
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
