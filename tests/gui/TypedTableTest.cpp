#include "gui/MFXAddEditTypedTable.h"
#include "gui/MFXUndoCommand.h"

#include "WindowFixture.h"

namespace {

class TypedTable : public GuiTest {
protected:
    void SetUp() override {
        window = new FXMainWindow(app, "table", nullptr, nullptr, DECOR_ALL, 0, 0, 700, 300);
        table = new MFXAddEditTypedTable(window, &undo, &recorder, 1, LAYOUT_FILL_X | LAYOUT_FILL_Y);
        table->setTableSize(1, 6);
        // The table tells its changes with its own selector.
        recorder.hook = [this](FXObject*, FXSelector sel, void*) { changes += FXSELTYPE(sel) == SEL_REPLACED; };
        show();
    }

    // A click on the cell as the user's button press and release make it,
    // at a point of the table that lies in the cell.
    void click(FXint row, FXint col) {
        FXEvent event{};
        event.type = SEL_LEFTBUTTONPRESS;
        event.code = LEFTBUTTON;
        event.click_count = 1;
        event.win_x = 0;
        while (event.win_x < table->getWidth() && table->colAtX(event.win_x) != col) ++event.win_x;
        event.win_y = 0;
        while (event.win_y < table->getHeight() && table->rowAtY(event.win_y) != row) ++event.win_y;
        ASSERT_LT(event.win_x, table->getWidth());
        ASSERT_LT(event.win_y, table->getHeight());
        event.click_x = ++event.win_x;
        event.click_y = ++event.win_y;
        table->handle(table, FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
        event.type = SEL_LEFTBUTTONRELEASE;
        table->handle(table, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &event);
        settle();
    }
    FXWindow* editor() {
        for (FXWindow* child = table->getFirst(); child; child = child->getNext())
            if ((dynamic_cast<FXTextField*>(child) || dynamic_cast<FXCheckButton*>(child)) && child->shown())
                return child;
        return nullptr;
    }
    // Types into the cell and, unless told otherwise, leaves the table.
    void typeIntoCell(FXint row, FXint col, const std::string& text, bool leaving = true) {
        click(row, col);
        ASSERT_NE(nullptr, editor());
        typeText(editor(), text);
        if (leaving) leave();
    }
    void leave() {
        table->handle(table, FXSEL(SEL_FOCUSOUT, 0), nullptr);
        settle();
    }

    UndoStack undo;
    MFXAddEditTypedTable* table = nullptr;
    int changes = 0;
};

TEST_F(TypedTable, AnEditOfOneCellIsOneEntryAndAddsAnEmptyRowAndTheNextCellIsAShownOne) {
    typeIntoCell(0, 2, "FF");
    EXPECT_STREQ("FF", table->getItemText(0, 2).text());
    // Typed text reads from the left.
    EXPECT_EQ(FXTableItem::LEFT, table->getItem(0, 2)->getJustify() & (FXTableItem::LEFT | FXTableItem::RIGHT));
    EXPECT_EQ(1, undo.undoList.undoCount());
    EXPECT_STREQ("Undo Text Change", undo.undoList.undoName().text());
    EXPECT_EQ(1, changes);
    EXPECT_EQ(2, table->getNumRows());

    undo.undoList.undo();
    EXPECT_STREQ("", table->getItemText(0, 2).text());
    EXPECT_EQ(1, table->getNumRows());
    undo.undoList.redo();

    // The next edit of the same cell is an entry of its own.
    typeIntoCell(0, 2, "X");
    EXPECT_EQ(2, undo.undoList.undoCount());
    // A letter typed and taken back leaves none.
    click(0, 2);
    pressKey(editor(), KEY_End);
    typeText(editor(), "Y");
    pressKey(editor(), KEY_BackSpace);
    leave();
    EXPECT_STREQ("X", table->getItemText(0, 2).text());
    EXPECT_EQ(2, undo.undoList.undoCount());

    // The next cell skips hidden columns and stops at the last cell.
    table->setColumnWidth(1, 0);
    click(0, 0);
    const auto current = [&] { return std::make_pair(table->getCurrentRow(), table->getCurrentColumn()); };
    table->handle(table, FXSEL(SEL_COMMAND, FXTable::ID_MOVE_RIGHT), nullptr);
    EXPECT_EQ(std::make_pair(0, 2), current());
    EXPECT_NE(nullptr, editor());

    table->setColumnWidth(5, 0);
    const FXint last = table->getNumRows() - 1;
    table->setCurrentItem(last, 4);
    table->handle(table, FXSEL(SEL_COMMAND, FXTable::ID_MOVE_RIGHT), nullptr);
    EXPECT_EQ(std::make_pair(last, 4), current());

    // A target that takes the click keeps the cell closed.
    recorder.takeClicks = 1;
    click(0, 0);
    EXPECT_EQ(nullptr, editor());
}

TEST_F(TypedTable, TypedColumnsStoreTheirOwnText) {
    table->setColumnType(1, MFXAddEditTypedTable::CHECK);
    table->setColumnType(0, MFXAddEditTypedTable::REAL);
    table->setColumnType(3, MFXAddEditTypedTable::INTEGER);

    click(0, 1);
    auto* check = dynamic_cast<FXCheckButton*>(editor());
    ASSERT_NE(nullptr, check);
    check->setCheck(true, true);
    settle();
    EXPECT_STREQ("t", table->getItemText(0, 1).text());
    click(0, 1);
    dynamic_cast<FXCheckButton*>(editor())->setCheck(false, true);
    EXPECT_STREQ("f", table->getItemText(0, 1).text());

    const struct {
        FXint col;
        const char* typed;
        const char* stored;
    } cases[] = {
        {0, "0.5", "0.500"}, {0, "2e3", "2000.000"}, {0, "1e400", "2000.000"}, // refused: old text stays
        {3, "12", "12"},     {3, "-7", "-7"},
    };
    for (const auto& c : cases) {
        click(0, c.col);
        auto* field = dynamic_cast<FXTextField*>(editor());
        ASSERT_NE(nullptr, field) << c.typed;
        field->setText(c.typed);
        // Enter closes the editor: the key's release goes elsewhere.
        FXEvent enter{};
        enter.code = KEY_Return;
        field->handle(field, FXSEL(SEL_KEYPRESS, 0), &enter);
        EXPECT_STREQ(c.stored, table->getItemText(0, c.col).text()) << c.typed;
    }
}

TEST_F(TypedTable, UndoOfACellThatIsGoneDoesNothing) {
    typeIntoCell(0, 2, "F");
    table->setTableSize(0, 6);
    undo.undoList.undo();
    undo.undoList.redo();
    EXPECT_EQ(0, table->getNumRows());

    table->setTableSize(1, 6);
    typeIntoCell(0, 0, "G", false);
    delete table;
    undo.undoList.undo();
}

TEST_F(TypedTable, DeleteRemovesTheRowsWhoseShownCellsAreSelected) {
    table->setTableSize(4, 6);
    for (FXint r = 0; r < 3; ++r) table->setItemText(r, 2, FXStringVal(r));
    // The default rule layout: only the middle and the last column show.
    for (FXint c : {0, 1, 3, 4}) table->setColumnWidth(c, 0);
    table->setCurrentItem(1, 2);
    table->selectRange(1, 1, 2, 5);
    pressKey(table, KEY_Delete);
    ASSERT_EQ(3, table->getNumRows());
    EXPECT_STREQ("2", table->getItemText(1, 2).text());
    undo.undoList.undo();
    EXPECT_STREQ("1", table->getItemText(1, 2).text());
    // It comes back as an ordinary row, not drawn as selected.
    EXPECT_FALSE(table->getItem(1, 2)->isSelected());

    // One selected cell of a row is no selected row.
    table->killSelection();
    table->selectRange(0, 0, 5, 5);
    pressKey(table, KEY_Delete);
    EXPECT_EQ(4, table->getNumRows());
    // Two whole rows go together.
    table->selectRange(0, 1, 2, 5);
    pressKey(table, KEY_Delete);
    ASSERT_EQ(2, table->getNumRows());
    EXPECT_STREQ("2", table->getItemText(0, 2).text());
}

TEST_F(TypedTable, InsertRowAddsAnEmptyRowAboveAndEditsItAndUndoTakesItAway) {
    table->setTableSize(3, 6);
    table->setItemText(0, 2, "F");
    table->setItemText(1, 2, "G");
    table->setColumnWidth(0, 0);
    table->selectWholeRow(1);
    table->handle(app, FXSEL(SEL_COMMAND, MFXAddEditTypedTable::ID_INSERT_ROW), nullptr);
    ASSERT_EQ(4, table->getNumRows());
    EXPECT_STREQ("", table->getItemText(1, 2).text());
    EXPECT_STREQ("G", table->getItemText(2, 2).text());
    // Editing starts in the first shown cell of the new row.
    ASSERT_NE(nullptr, editor());
    EXPECT_EQ(std::make_pair(1, 1), std::make_pair(table->getCurrentRow(), table->getCurrentColumn()));
    typeText(editor(), "H");
    leave();
    EXPECT_STREQ("H", table->getItemText(1, 1).text());

    undo.undoList.undo(); // the text
    undo.undoList.undo(); // the row
    ASSERT_EQ(3, table->getNumRows());
    EXPECT_STREQ("G", table->getItemText(1, 2).text());
    undo.undoList.redo();
    EXPECT_EQ(4, table->getNumRows());

    // Delete Row removes the current row; the empty last row cannot go.
    table->selectWholeRow(0);
    table->handle(app, FXSEL(SEL_COMMAND, MFXAddEditTypedTable::ID_DELETE_ROW), nullptr);
    EXPECT_STREQ("", table->getItemText(0, 2).text());
    EXPECT_STREQ("Undo Remove Row", undo.undoList.undoName().text());
    table->selectWholeRow(table->getNumRows() - 1);
    const FXint rows = table->getNumRows();
    table->handle(app, FXSEL(SEL_COMMAND, MFXAddEditTypedTable::ID_DELETE_ROW), nullptr);
    EXPECT_EQ(rows, table->getNumRows());
}

TEST_F(TypedTable, ShownColumnsShowTheirHeadersAndTheLastTakesTheRest) {
    const char* const headers[] = {"Probability", "Left", "Middle", "Right", "Constraints", "Conclusion"};
    for (FXint c = 0; c < 6; ++c) table->setColumnText(c, headers[c]);
    FXFont* font = table->getColumnHeader()->getFont();
    for (FXint c = 0; c < 5; ++c) {
        table->showColumn(c, true);
        EXPECT_GT(table->getColumnWidth(c), font->getTextWidth(headers[c])) << headers[c];
    }
    table->layout();
    FXint total = table->getRowHeader()->getWidth();
    for (FXint c = 0; c < 6; ++c) total += table->getColumnWidth(c);
    // Filled to the right edge, with no column beyond it.
    EXPECT_LE(total, table->getWidth());
    EXPECT_GE(total, table->getWidth() - 10);
    table->showColumn(0, false);
    EXPECT_EQ(0, table->getColumnWidth(0));
}

// A command that counts its instances, to see which are destroyed.
struct Counted : MFXUndoCommand {
    explicit Counted(MFXUndoHolder* holder) : MFXUndoCommand(holder, "Undo Counted", "Redo Counted") { ++alive; }
    ~Counted() override { --alive; }
    static int alive;
};
int Counted::alive = 0;

TEST(Undo, NullBusyAndAbsorbedCommandsAreDestroyed) {
    UndoStack undo;
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
