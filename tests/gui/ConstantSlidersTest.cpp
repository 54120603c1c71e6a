// The constants' sliders in the window: what they show, the edit a drag
// makes, and the computations a burst of moves asks for.

#include "gui/panels/ConstantSliders.h"
#include "gui/MFXAddEditTypedTable.h"
#include "gui/panels/ExtensionsPanel.h"
#include "lsys/LSystem.h"

#include "WindowFixture.h"

namespace {

class ConstantSlidersTest : public WindowFixture {
protected:
    void load(const char* text) { WindowFixture::load("model.kld", text); }
    ConstantSliders* sliders() const { return window->extensionsPanel()->sliders(); }
    MFXAddEditTypedTable* table() const { return window->extensionsPanel()->constantsTable(); }
    void move(const std::string& name, double value, FXuint type) {
        ASSERT_NE(sliders()->slider(name), nullptr) << name;
        WindowFixture::move(sliders()->slider(name), value, type);
    }
    // The range the fields at the slider's ends show, as "low..high".
    std::string range(const std::string& name) const {
        return (sliders()->lowField(name)->getText() + ".." + sliders()->highField(name)->getText()).text();
    }
    // Typed into the field at one end, Enter included.
    static void enter(FXTextField* field, const char* text) {
        field->setText(text);
        field->getTarget()->handle(field, FXSEL(SEL_COMMAND, field->getSelector()), nullptr);
    }
    std::string constant(const std::string& name) const {
        return window->workbench().definition().getConstants().at(name).value;
    }
    std::string cell(const std::string& name) const {
        for (FXint row = 0; row < table()->getNumRows(); ++row)
            if (table()->getItemText(row, 0) == name.c_str()) return table()->getItemText(row, 1).text();
        return "?";
    }
    // Types into the constant's definition cell as the user does, Enter included.
    void type(const std::string& name, const char* text) {
        FXint row = 0;
        while (table()->getItemText(row, 0) != name.c_str()) ++row;
        table()->startInput(row, 1);
        FXTextField* editor = nullptr;
        for (FXWindow* child = table()->getFirst(); child; child = child->getNext())
            if (auto* field = dynamic_cast<FXTextField*>(child); field && field->shown()) editor = field;
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        table()->handle(table(), FXSEL(SEL_COMMAND, FXTable::ID_ACCEPT_INPUT), nullptr);
    }
};

// r1 and wr scale lengths ("-" inside a parameter is no turn); a0 and d turn.
const char* const tree = "Axiom:A(1)\n"
                         "Rule::::A(l)::F(l)[&(a0)A(l*r1)]/( d )A(l-(wr))\n"
                         "Def:r1:0.9\n"
                         "Def:a0:45\n"
                         "Def:d:137.5\n"
                         "Def:wr:0.25\n"
                         "Def:z:0\n"
                         "Def:n:-2\n"
                         "Def:h:r1*2\n"
                         "Def:f(x):x*2\n"
                         "Def:_steps:3\n";

TEST_F(ConstantSlidersTest, PlainNumbersHaveSlidersWithTheirRangesAndFormulasAreListedAsComputed) {
    load(tree);
    std::string ranges;
    for (const char* name : {"r1", "wr", "a0", "d", "z", "n"}) ranges += std::string(name) + " " + range(name) + ", ";
    EXPECT_EQ(ranges, "r1 0..1.8, wr 0..0.5, a0 -180..180, d -180..180, z -1..1, n -4..0, ");
    EXPECT_EQ(sliders()->valueLabel("d")->getText(), FXString("137.5"));
    EXPECT_DOUBLE_EQ(sliders()->slider("r1")->getValue(), 0.9);
    EXPECT_EQ(sliders()->slider("h"), nullptr);
    EXPECT_EQ(sliders()->slider("_steps"), nullptr);
    EXPECT_EQ(sliders()->computed(), (std::vector<std::string>{"f(x) = x*2", "h = r1*2"}));

    // The fields at the ends set the range; an empty or upside-down one is
    // refused.
    enter(sliders()->highField("r1"), "3");
    enter(sliders()->lowField("r1"), "4");
    enter(sliders()->lowField("r1"), "");
    EXPECT_EQ(range("r1"), "0..3");
    FXdouble from = 0, to = 0;
    sliders()->slider("r1")->getRange(from, to);
    EXPECT_EQ(to, 3);

    // The range stays while the document is open, also when the table turns
    // a formula into a number; a value beyond it widens it.
    type("h", "5");
    EXPECT_NE(sliders()->slider("h"), nullptr);
    // The table gave the function back whole, its argument list included.
    EXPECT_EQ(cell("f(x)"), "x*2");
    EXPECT_EQ(window->workbench().definition().getConstants().at("f").arguments, "x");
    EXPECT_EQ(window->workbench().definition().getConstants().count("fx"), 0u);
    EXPECT_EQ(range("r1"), "0..3");
    type("r1", "7");
    EXPECT_EQ(range("r1"), "0..7");
    computed();
    // The file read again keeps them; another document starts from the
    // defaults.
    load(tree);
    EXPECT_EQ(range("r1"), "0..7");
    WindowFixture::load("other.kld", tree);
    EXPECT_EQ(range("r1"), "0..1.8");
    EXPECT_TRUE(window->messages.empty());
}

TEST_F(ConstantSlidersTest, ADragIsOneTableEditTheTableMovesTheSliderAndABurstComputesTheLastValueLive) {
    load(tree);
    move("r1", 1.0, SEL_CHANGED);
    EXPECT_EQ(cell("r1"), "1");
    EXPECT_EQ(constant("r1"), "1");
    move("r1", 1.2346, SEL_CHANGED);
    move("r1", 1.2346, SEL_COMMAND);
    // To the slider's precision: a thousandth of its range is 0.0018.
    EXPECT_EQ(cell("r1"), "1.235");
    EXPECT_EQ(constant("r1"), "1.235");
    EXPECT_EQ(sliders()->valueLabel("r1")->getText(), FXString("1.235"));
    computed();
    // A second drag is an entry of its own; typing the value is the same
    // kind of entry.
    move("r1", 0.5, SEL_CHANGED);
    move("r1", 0.5, SEL_COMMAND);
    type("r1", "0.75");
    EXPECT_DOUBLE_EQ(sliders()->slider("r1")->getValue(), 0.75);
    EXPECT_EQ(window->undoList.undoName(), "Undo Text Change");
    window->undoList.undo();
    EXPECT_EQ(window->undoList.undoName(), "Undo Text Change");
    EXPECT_DOUBLE_EQ(sliders()->slider("r1")->getValue(), 0.5);
    window->undoList.undo();
    EXPECT_EQ(cell("r1"), "1.235");
    window->undoList.undo();
    EXPECT_EQ(cell("r1"), "0.9");
    EXPECT_EQ(constant("r1"), "0.9");
    EXPECT_DOUBLE_EQ(sliders()->slider("r1")->getValue(), 0.9);
    EXPECT_FALSE(window->undoList.canUndo());
    window->undoList.redo();
    EXPECT_DOUBLE_EQ(sliders()->slider("r1")->getValue(), 1.235);
    computed();

    // A burst of moves computes the last value live, without the dialog.
    load("Axiom:A\nRule::::A::F(s)\nDef:s:1\nDef:_steps:1\n");
    for (int i = 1; i <= 30; ++i) {
        move("s", 1 + i * 0.02, SEL_CHANGED);
        // One computation runs; the rest is one waiting request.
        EXPECT_TRUE(window->scheduler().computing());
        guiApp()->runWhileEvents();
    }
    for (int i = 0; i < 10; ++i) move("s", 1.7 + i * 0.01, SEL_CHANGED);
    EXPECT_FALSE(window->scheduler().dialog()->shown());
    computed();
    EXPECT_EQ(constant("s"), "1.79");
    EXPECT_DOUBLE_EQ(window->workbench().lsystem()->getStep(1, nullptr)->getValue(0, 0), 1.79);
    EXPECT_EQ(window->undoList.undoName(), "Undo Text Change");
    window->undoList.undo();
    EXPECT_FALSE(window->undoList.canUndo());
}

} // namespace
