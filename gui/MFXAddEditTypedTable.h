#pragma once
// An editable table with typed columns: each column's editor and the text it
// stores follow the column's type. Editing starts on a single click and ends
// when the focus leaves; the next-cell command moves to the next visible
// cell. Cell edits, row insertions and row removals are recorded as undoable
// commands, and a column is hidden by giving it zero width. The table keeps
// one empty last row: text entered there adds a row, and a new empty one
// follows. An editable table removes its selected rows on the Delete key and
// offers "Insert Row" and "Delete Row" on a right click. Texts read from the
// left, as they are typed; the last column takes the width the others leave.
//
// The target is told of every change with the table's own selector and the
// toolkit's message types, each with the cells concerned as an FXTableRange:
// SEL_REPLACED after a cell's text was changed from its editor or by undo
// and redo (once, and only when the text changed), SEL_INSERTED after a
// removed row came back and SEL_DELETED before a row is removed.

#include <fx.h>

#include "gui/MFXUndoCommand.h"

#include <vector>

class MFXUndoHolder;

class MFXAddEditTypedTable : public FXTable {
    FXDECLARE(MFXAddEditTypedTable)
public:
    enum ColumnType { UNTYPED = -1, REAL = 0, TEXT = 1, INTEGER = 2, CHECK = 3 };

    class MFXUndoCommand_CellChange;
    class MFXUndoCommand_RowRemoved;
    class MFXUndoCommand_RowInserted;

    enum { ID_INSERT_ROW = FXTable::ID_LAST, ID_DELETE_ROW, ID_LAST };

    MFXAddEditTypedTable(FXComposite* parent, MFXUndoHolder* holder, FXObject* target = nullptr,
                         FXSelector selector = 0, FXuint options = 0);
    ~MFXAddEditTypedTable() override;

    long onLeftBtnPress(FXObject*, FXSelector, void*);
    long onClicked(FXObject*, FXSelector, void*);
    long onFocusOut(FXObject*, FXSelector, void*);
    long onCmdSelectRowIndex(FXObject*, FXSelector, void*);
    long onChgEditor(FXObject*, FXSelector, void*);
    long onCmdNextCell(FXObject*, FXSelector, void*);
    long onKeyPress(FXObject*, FXSelector, void*);
    long onRightBtnRelease(FXObject*, FXSelector, void*);
    // The row of the current cell: a new empty row above it, whose first
    // shown cell is then edited; or its removal.
    long onCmdInsertRow(FXObject*, FXSelector, void*);
    long onCmdDeleteRow(FXObject*, FXSelector, void*);
    long onUpdDeleteRow(FXObject*, FXSelector, void*);

    // Grows the type list with untyped columns as needed; a negative column
    // is ignored.
    void setColumnType(FXint col, FXint type);
    FXint getColumnType(FXint col) const;

    // An unknown column type stops the edit with an error box.
    void startInput(FXint row, FXint col) override;
    // Records the removal and removes the row; the empty last row stays.
    void removeRow(FXint row);
    // Records the insertion of an empty row before the row.
    void insertRow(FXint row);
    // The rows whose shown cells are all selected, in ascending order.
    std::vector<FXint> selectedRows() const;
    // Selects the shown cells of the row and makes its first one current.
    void selectWholeRow(FXint row);

    // Shows the column as wide as its header needs (measured again when the
    // table is created on the display), or hides it.
    void showColumn(FXint col, bool shown);
    bool isColumnShown(FXint col) const { return getColumnWidth(col) > 0; }
    // The width that shows the column's header text whole.
    FXint headerWidth(FXint col) const;

    void create() override;
    void layout() override;

protected:
    MFXAddEditTypedTable() = default;
    FXWindow* getControlForItem(FXint r, FXint c) override;
    void setItemFromControl(FXint r, FXint c, FXWindow* control) override;
    // The toolkit's own SEL_REPLACED would come for every accepted editor,
    // changed or not: the table tells its target itself.
    void acceptInput(FXbool notify = false) override;
    FXTableItem* createItem(const FXString& text, FXIcon* icon, void* ptr) override;

private:
    bool isRowEmpty(FXint row) const;
    FXint firstShownColumn() const;
    bool isCell(FXint row, FXint col) const { return 0 <= row && row < nrows && 0 <= col && col < ncols; }
    // Adds or drops rows at the end so that exactly one empty row ends it.
    void keepEmptyLastRow();
    // Sets a cell's text as undo and redo do, and tells the target.
    void replayText(FXint row, FXint col, const FXString& text);
    void notifyCellChanged(FXint row, FXint col);
    void notifyRow(FXuint type, FXint row);

    MFXUndoHolder* holder = nullptr;
    std::vector<FXint> columnTypes;
    std::vector<bool> fittedColumns;
};

class MFXAddEditTypedTable::MFXUndoCommand_CellChange : public MFXUndoCommand {
public:
    MFXUndoCommand_CellChange(MFXAddEditTypedTable* table, MFXUndoHolder* holder, FXint row, FXint col,
                              const FXString& oldText, const FXString& newText, bool final);

    void undo() override;
    void redo() override;
    bool canAbsorb(const MFXUndoCommand* newer) const override;
    void absorb(const MFXUndoCommand* newer) override;
    void close() override { final = true; }
    bool changesNothing() const override { return final && oldText == newText; }
    void forgetWidget(FXObject* widget) override;

private:
    MFXAddEditTypedTable* table;
    FXint row;
    FXint col;
    FXString oldText;
    FXString newText;
    bool final;
};

class MFXAddEditTypedTable::MFXUndoCommand_RowRemoved : public MFXUndoCommand {
public:
    // Takes the row's items out of the table; the caller removes the row.
    MFXUndoCommand_RowRemoved(MFXAddEditTypedTable* table, MFXUndoHolder* holder, FXint row);
    ~MFXUndoCommand_RowRemoved() override;

    void undo() override;
    void redo() override;
    void forgetWidget(FXObject* widget) override;

private:
    // Takes the items out of the table into this command.
    void takeItems();

    MFXAddEditTypedTable* table;
    FXint row;
    std::vector<FXTableItem*> items; // owned while the row is removed
    FXString headerText;
    FXIcon* headerIcon;
    FXint headerSize;
    void* headerData;
    FXuint headerJustify;
};

class MFXAddEditTypedTable::MFXUndoCommand_RowInserted : public MFXUndoCommand {
public:
    MFXUndoCommand_RowInserted(MFXAddEditTypedTable* table, MFXUndoHolder* holder, FXint row);

    void undo() override;
    void redo() override;
    void forgetWidget(FXObject* widget) override;

private:
    MFXAddEditTypedTable* table;
    FXint row;
};
