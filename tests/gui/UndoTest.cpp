#include "gui/FXRealSpinDial.h"
#include "gui/MFXUndoCommand.h"
#include "gui/MFXUndoHolder.h"

#include "../GuiTestApp.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// A window that records its edits the way the workbench's main window does:
// a non-final text command on every change, a final one on commit, a float
// command per settled dial value and a bool command per check, and nothing
// for a replay by undo or redo.
class EditWindow : public FXMainWindow, public MFXUndoHolder {
    FXDECLARE(EditWindow)
public:
    enum { ID_NAME = FXMainWindow::ID_LAST, ID_AXIOM, ID_SEED, ID_MULTICHAR, ID_LAST };

    explicit EditWindow(FXApp* app)
        : FXMainWindow(app, "edit", nullptr, nullptr, DECOR_ALL, 0, 0, 400, 300), MFXUndoHolder(30, 10) {
        name = new FXTextField(this, 20, this, ID_NAME);
        axiom = new FXTextField(this, 20, this, ID_AXIOM);
        seed = new FXRealSpinDial(this, 6, this, ID_SEED);
        seed->setFormatString("%.0f");
        seed->setRange(0, 1000);
        seed->setValue(42);
        multichar = new FXCheckButton(this, "Using multi-char words", this, ID_MULTICHAR);
        names[name] = "";
        names[axiom] = "";
        seedValue = 42;
        undoList.mark();
    }

    long onText(FXObject* sender, FXSelector sel, void* ptr) {
        FXTextField* field = FXSELID(sel) == ID_NAME ? name : axiom;
        const std::string text = static_cast<const char*>(ptr);
        if (!dynamic_cast<MFXUndoCommand*>(sender)) {
            const char* what = field == name ? "Name" : "Axiom";
            add(new MFXUndoCommand_String(field, this, FXString("Undo ") + what + " Change",
                                          FXString("Redo ") + what + " Change", names[field], text,
                                          FXSELTYPE(sel) == SEL_COMMAND));
        }
        names[field] = text;
        ++applied;
        return 1;
    }
    long onSeed(FXObject* sender, FXSelector, void*) {
        const float value = static_cast<float>(seed->getValue());
        if (!dynamic_cast<MFXUndoCommand*>(sender) && sender != restoringWidget && value != seedValue)
            add(new MFXUndoCommand_Float(seed, this, "Undo Seed Change", "Redo Seed Change", seedValue, value, true));
        seedValue = value;
        ++applied;
        return 1;
    }
    long onMultichar(FXObject* sender, FXSelector, void*) {
        if (!dynamic_cast<MFXUndoCommand*>(sender))
            add(new MFXUndoCommand_Bool(multichar, this, "Undo Switch Multichar", "Redo Switch Multichar",
                                        multichar->getCheck()));
        ++applied;
        return 1;
    }
    void undoChanged() override { ++undoChanges; }

    FXTextField* name;
    FXTextField* axiom;
    FXRealSpinDial* seed;
    FXCheckButton* multichar;
    std::map<FXTextField*, std::string> names; // the "document"
    float seedValue;
    int applied = 0;
    int undoChanges = 0;

protected:
    EditWindow() : MFXUndoHolder(30, 10) {}
};

FXDEFMAP(EditWindow)
EditWindowMap[] = {
    FXMAPFUNCS(SEL_CHANGED, EditWindow::ID_NAME, EditWindow::ID_AXIOM, EditWindow::onText),
    FXMAPFUNCS(SEL_COMMAND, EditWindow::ID_NAME, EditWindow::ID_AXIOM, EditWindow::onText),
    FXMAPFUNC(SEL_COMMAND, EditWindow::ID_SEED, EditWindow::onSeed),
    FXMAPFUNC(SEL_COMMAND, EditWindow::ID_MULTICHAR, EditWindow::onMultichar),
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

TEST_F(Undo, TypingIntoAFieldIsOneEntryUndoneAtOnce) {
    window->name->setText("Bush");
    window->names[window->name] = "Bush";
    type(window->name, "abc");
    EXPECT_EQ("Bushabc", window->names[window->name]);
    EXPECT_EQ(1, window->undoList.undoCount());
    EXPECT_STREQ("Undo Name Change", window->undoList.undoName().text());
    EXPECT_FALSE(window->undoList.marked());

    window->undoList.undo();
    EXPECT_TRUE(window->undoList.marked()); // back at the saved state
    EXPECT_EQ("Bush", window->names[window->name]);
    EXPECT_STREQ("Bush", window->name->getText().text());
    EXPECT_EQ(1, window->undoChanges);

    window->undoList.redo();
    EXPECT_EQ("Bushabc", window->names[window->name]);
    EXPECT_EQ(0, window->undoList.redoCount()); // the replay recorded nothing
    EXPECT_EQ(1, window->undoList.undoCount());
}

TEST_F(Undo, AClosedEntryIsNotContinuedAndFieldsNeverMerge) {
    type(window->name, "ab");
    type(window->name, "c");
    EXPECT_EQ(2, window->undoList.undoCount());

    type(window->axiom, "F");
    type(window->name, "d");
    type(window->axiom, "X");
    EXPECT_EQ(5, window->undoList.undoCount());
    window->undoList.undo();
    EXPECT_EQ("F", window->names[window->axiom]);
    EXPECT_EQ("abcd", window->names[window->name]);
    window->undoList.undo();
    EXPECT_EQ("abc", window->names[window->name]);
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

TEST_F(Undo, DialAndCheckValuesAreReplayedWithoutNewCommands) {
    window->seed->setValue(7, true);
    EXPECT_STREQ("Undo Seed Change", window->undoList.undoName().text());
    window->multichar->setCheck(true, true);
    EXPECT_STREQ("Undo Switch Multichar", window->undoList.undoName().text());

    window->undoList.undo();
    EXPECT_FALSE(window->multichar->getCheck());
    window->undoList.undo();
    EXPECT_EQ(42.0, window->seed->getValue());
    EXPECT_EQ(42.0f, window->seedValue);
    EXPECT_EQ(nullptr, window->restoringWidget);
    window->undoList.redo();
    window->undoList.redo();
    EXPECT_EQ(7.0f, window->seedValue);
    EXPECT_TRUE(window->multichar->getCheck());
    EXPECT_EQ(2, window->undoList.undoCount());
    EXPECT_EQ(4, window->undoChanges);

    // After a replay the dial's own edits are recorded again.
    window->seed->setValue(8, true);
    EXPECT_EQ(3, window->undoList.undoCount());
}

TEST_F(Undo, UndoOfAWidgetThatIsGoneLeavesItAlone) {
    type(window->axiom, "F");
    window->forgetWidget(window->axiom);
    delete window->axiom;
    window->axiom = nullptr;
    window->undoList.undo();
    window->undoList.redo();
    EXPECT_EQ(2, window->undoChanges);
}

// The record commands chain per class and merge key.
struct Light : MFXUndoCommand_Record<int, int> {
    Light(MFXUndoHolder* holder, int before, int after, int key, bool final, int* document)
        : MFXUndoCommand_Record(holder, "Undo Light Change", "Redo Light Change", before, after, key, final),
          document(document) {}
    void apply(const int& record) override { *document = record; }
    int* document;
};
struct Tweak : Light {
    using Light::Light;
};

TEST_F(Undo, RecordCommandsChainByClassAndKey) {
    int document = 0;
    window->add(new Light(window, 0, 1, 1, false, &document));
    window->add(new Light(window, 1, 2, 1, true, &document));  // closes the entry
    window->add(new Light(window, 2, 3, 1, false, &document)); // a new entry
    window->add(new Light(window, 3, 4, 2, false, &document)); // another light
    window->add(new Tweak(window, 4, 5, 2, false, &document)); // another class
    EXPECT_EQ(4, window->undoList.undoCount());
    for (int expected : {4, 3, 2, 0}) {
        window->undoList.undo();
        EXPECT_EQ(expected, document);
    }
}

} // namespace
