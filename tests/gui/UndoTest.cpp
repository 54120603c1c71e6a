#include "gui/MFXUndoCommand.h"

#include "WindowFixture.h"

#include <map>
#include <string>

namespace {

// Two fields whose edits are recorded the way the workbench's main window
// records them: a non-final command on every change, a final one on commit,
// and nothing for a replay by undo or redo.
class Undo : public GuiTest {
protected:
    void SetUp() override {
        window = new FXMainWindow(app, "edit", nullptr, nullptr, DECOR_ALL, 0, 0, 400, 300);
        name = new FXTextField(window, 20, &recorder, 1);
        axiom = new FXTextField(window, 20, &recorder, 2);
        recorder.hook = [this](FXObject* sender, FXSelector sel, void* ptr) {
            FXTextField* field = FXSELID(sel) == 1 ? name : axiom;
            const std::string text = static_cast<const char*>(ptr);
            if (!dynamic_cast<MFXUndoCommand*>(sender)) {
                const char* what = field == name ? "Name" : "Axiom";
                undo.add(new MFXUndoCommand_String(field, &undo, FXString("Undo ") + what + " Change",
                                                   FXString("Redo ") + what + " Change", texts[field], text,
                                                   FXSELTYPE(sel) == SEL_COMMAND));
            }
            texts[field] = text;
        };
        show();
    }

    void type(FXTextField* field, const std::string& text) {
        typeText(field, text);
        pressKey(field, KEY_Return);
        runUntilIdle();
    }

    UndoStack undo;
    FXTextField* name = nullptr;
    FXTextField* axiom = nullptr;
    std::map<FXTextField*, std::string> texts; // the "document"
};

// A command that counts its instances, to see which are destroyed.
struct Counted : MFXUndoCommand {
    explicit Counted(MFXUndoHolder* holder) : MFXUndoCommand(holder, "Undo Counted", "Redo Counted") { ++alive; }
    ~Counted() override { --alive; }
    static int alive;
};
int Counted::alive = 0;

TEST_F(Undo, AClosedEntryIsNotContinuedAndFieldsNeverMerge) {
    type(name, "ab");
    type(name, "c");
    EXPECT_EQ(2, undo.undoList.undoCount());

    type(axiom, "F");
    type(name, "d");
    type(axiom, "X");
    EXPECT_EQ(5, undo.undoList.undoCount());
    undo.undoList.undo();
    EXPECT_EQ("F", texts[axiom]);
    EXPECT_EQ("abcd", texts[name]);
    undo.undoList.undo();
    EXPECT_EQ("abc", texts[name]);
    EXPECT_STREQ("Undo Axiom Change", undo.undoList.undoName().text());
}

TEST_F(Undo, NullBusyAndAbsorbedCommandsAreDestroyed) {
    undo.add(nullptr);
    EXPECT_EQ(0, undo.undoList.undoCount());

    undo.add(new Counted(&undo));
    undo.add(new Counted(&undo)); // the base never absorbs
    EXPECT_EQ(2, Counted::alive);
    EXPECT_EQ(2, undo.undoList.undoCount());

    // A command arriving while an undo runs is destroyed without effect.
    struct Recording : Counted {
        using Counted::Counted;
        void undo() override { holder->add(new Counted(holder)); }
    };
    undo.add(new Recording(&undo));
    undo.undoList.undo();
    EXPECT_EQ(3, Counted::alive);
    EXPECT_EQ(2, undo.undoList.undoCount());
    undo.undoList.clear();
    EXPECT_EQ(0, Counted::alive);
}

} // namespace
