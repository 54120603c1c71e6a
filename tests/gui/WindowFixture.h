// The workbench window driven in-process on the virtual display, its
// questions, messages and file dialogs scripted; and an undo list for the
// tests of single widgets.

#pragma once

#include "gui/KLADO_StandaloneMW.h"
#include "gui/MFXUndoHolder.h"
#include "gui/WindowScheduler.h"
#include "lsys/String2IDManager.h"

#include "../GuiTestApp.h"
#include "../TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class ScriptedWindow : public KLADO_StandaloneMW {
public:
    explicit ScriptedWindow(FXApp* app) : KLADO_StandaloneMW(app) {}

    std::deque<FXuint> answers;
    std::deque<std::pair<bool, FXString>> files; // (chosen, name); no name takes the one offered
    std::vector<FXString> offered;
    std::vector<FXString> questions;
    std::vector<FXString> messages;

protected:
    FXuint askQuestion(const FXString& title, const FXString& text, FXuint) override {
        questions.push_back(title + "|" + text);
        if (answers.empty()) return MBOX_CLICKED_CANCEL;
        const FXuint answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showMessage(bool, const FXString& title, const FXString& text) override {
        messages.push_back(title + "|" + text);
    }
    bool chooseFile(bool, FXString& fileName) override {
        offered.push_back(fileName);
        if (files.empty()) return false;
        const auto [chosen, name] = files.front();
        files.pop_front();
        if (!name.empty()) fileName = name;
        return chosen;
    }
};

class WindowFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { String2IDManager::instance().registerBuiltins(); }

    void SetUp() override {
        window = new ScriptedWindow(guiApp());
        window->create();
        settle();
    }
    void TearDown() override { delete window; }

    void command(FXSelector id) { window->handle(nullptr, FXSEL(SEL_COMMAND, id), nullptr); }
    // Writes the file, opens it and waits for its picture.
    void load(const std::string& name, const std::string& text) {
        dir.write(name, text);
        ASSERT_TRUE(window->load(dir.path(name)));
        computed();
    }
    // Runs the event loop until the window's computations are done.
    void computed(ScriptedWindow* which = nullptr) {
        WindowScheduler& scheduler = (which ? which : window)->scheduler();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (scheduler.computing() || scheduler.waiting()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            guiApp()->runOneEvent(false);
        }
        settle();
    }
    // The widgets of a kind that send the target the selector (all of the
    // kind without a target), in the order they were built.
    template <class Widget>
    std::vector<Widget*> widgets(FXObject* target = nullptr, FXSelector id = 0) const {
        std::vector<Widget*> found;
        const std::function<void(FXWindow*)> visit = [&](FXWindow* parent) {
            for (FXWindow* child = parent->getFirst(); child; child = child->getNext()) {
                auto* widget = dynamic_cast<Widget*>(child);
                if (widget && (!target || (child->getTarget() == target && child->getSelector() == id)))
                    found.push_back(widget);
                visit(child);
            }
        };
        visit(window);
        return found;
    }
    // A slider or dial moved by the hand: SEL_CHANGED while dragged,
    // SEL_COMMAND let go.
    template <class Valuator>
    static void move(Valuator* widget, double value, FXuint type) {
        widget->setValue(value);
        widget->getTarget()->handle(widget, FXSEL(type, widget->getSelector()), &value);
    }
    // The enabled state the update pass gives a widget.
    static bool enabled(FXWindow* widget) {
        settle();
        return widget->isEnabled();
    }

    ScriptedWindow* window = nullptr;
    TempDir dir;
};

struct UndoStack : MFXUndoHolder {
    UndoStack() : MFXUndoHolder(30, 10) {}
    void undoChanged() override {}
};
