#include "gui/MFXUndoCommand.h"
#include "gui/MFXUndoHolder.h"

#include "../GuiTestApp.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// A window that records its text edits the way the workbench's main window
// does: a non-final command on every change, a final one on commit, and
// nothing for a replay by undo or redo.
class EditWindow : public FXMainWindow, public MFXUndoHolder {
    FXDECLARE(EditWindow)
public:
    enum { ID_NAME = FXMainWindow::ID_LAST, ID_AXIOM, ID_LAST };

    explicit EditWindow(FXApp* app)
        : FXMainWindow(app, "edit", nullptr, nullptr, DECOR_ALL, 0, 0, 400, 300), MFXUndoHolder(30, 10) {
        name = new FXTextField(this, 20, this, ID_NAME);
        axiom = new FXTextField(this, 20, this, ID_AXIOM);
    }

    long onText(FXObject* sender, FXSelector sel, void* ptr) {
        FXTextField* field = FXSELID(sel) == ID_NAME ? name : axiom;
        const std::string text = static_cast<const char*>(ptr);
        if (!dynamic_cast<MFXUndoCommand*>(sender)) {
            const char* what = field == name ? "Name" : "Axiom";
            add(new MFXUndoCommand_String(field, this, FXString("Undo ") + what + " Change",
                                          FXString("Redo ") + what + " Change", texts[field], text,
                                          FXSELTYPE(sel) == SEL_COMMAND));
        }
        texts[field] = text;
        return 1;
    }
    void undoChanged() override {}

    FXTextField* name;
    FXTextField* axiom;
    std::map<FXTextField*, std::string> texts; // the "document"

protected:
    EditWindow() : MFXUndoHolder(30, 10) {}
};

FXDEFMAP(EditWindow)
EditWindowMap[] = {
    FXMAPFUNCS(SEL_CHANGED, EditWindow::ID_NAME, EditWindow::ID_AXIOM, EditWindow::onText),
    FXMAPFUNCS(SEL_COMMAND, EditWindow::ID_NAME, EditWindow::ID_AXIOM, EditWindow::onText),
};
FXIMPLEMENT(EditWindow, FXMainWindow, EditWindowMap, ARRAYNUMBER(EditWindowMap))

class Undo : public ::testing::Test {
protected:
    void SetUp() override {
        window = new EditWindow(guiApp());
        window->create();
        window->show();
        runUntilIdle();
    }
    void TearDown() override { delete window; }

    void type(FXTextField* field, const std::string& text) {
        typeText(field, text);
        pressKey(field, KEY_Return);
        runUntilIdle();
    }

    EditWindow* window = nullptr;
};

// A command that counts its instances, to see which are destroyed.
struct Counted : MFXUndoCommand {
    explicit Counted(MFXUndoHolder* holder) : MFXUndoCommand(holder, "Undo Counted", "Redo Counted") { ++alive; }
    ~Counted() override { --alive; }
    static int alive;
};
int Counted::alive = 0;

TEST_F(Undo, AClosedEntryIsNotContinuedAndFieldsNeverMerge) {
    type(window->name, "ab");
    type(window->name, "c");
    EXPECT_EQ(2, window->undoList.undoCount());

    type(window->axiom, "F");
    type(window->name, "d");
    type(window->axiom, "X");
    EXPECT_EQ(5, window->undoList.undoCount());
    window->undoList.undo();
    EXPECT_EQ("F", window->texts[window->axiom]);
    EXPECT_EQ("abcd", window->texts[window->name]);
    window->undoList.undo();
    EXPECT_EQ("abc", window->texts[window->name]);
    EXPECT_STREQ("Undo Axiom Change", window->undoList.undoName().text());
}

TEST_F(Undo, NullBusyAndAbsorbedCommandsAreDestroyed) {
    window->add(nullptr);
    EXPECT_EQ(0, window->undoList.undoCount());

    window->add(new Counted(window));
    window->add(new Counted(window)); // the base never absorbs
    EXPECT_EQ(2, Counted::alive);
    EXPECT_EQ(2, window->undoList.undoCount());

    // A command arriving while an undo runs is destroyed without effect.
    struct Recording : Counted {
        using Counted::Counted;
        void undo() override { holder->add(new Counted(holder)); }
    };
    window->add(new Recording(window));
    window->undoList.undo();
    EXPECT_EQ(3, Counted::alive);
    EXPECT_EQ(2, window->undoList.undoCount());
    window->undoList.clear();
    EXPECT_EQ(0, Counted::alive);
}

} // namespace
