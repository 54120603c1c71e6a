#include "gui/MFXAddEditTypedTable.h"

#include "gui/FXRealSpinDial.h"
#include "gui/MFXHeader.h"
#include "gui/MFXUndoHolder.h"
#include "options/TextConvert.h"

#include <fxkeys.h>

#include <algorithm>
#include <climits>
#include <cmath>

// clang-format off
FXDEFMAP(MFXAddEditTypedTable) MFXAddEditTypedTableMap[] = {
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, 0, MFXAddEditTypedTable::onLeftBtnPress),
    FXMAPFUNC(SEL_CLICKED, 0, MFXAddEditTypedTable::onClicked),
    FXMAPFUNC(SEL_FOCUSOUT, 0, MFXAddEditTypedTable::onFocusOut),
    FXMAPFUNC(SEL_COMMAND, FXTable::ID_SELECT_ROW_INDEX, MFXAddEditTypedTable::onCmdSelectRowIndex),
    FXMAPFUNC(SEL_CHANGED, FXTable::ID_ACCEPT_INPUT, MFXAddEditTypedTable::onChgEditor),
    FXMAPFUNC(SEL_COMMAND, FXTable::ID_MOVE_RIGHT, MFXAddEditTypedTable::onCmdNextCell),
    FXMAPFUNC(SEL_KEYPRESS, 0, MFXAddEditTypedTable::onKeyPress),
    FXMAPFUNC(SEL_RIGHTBUTTONRELEASE, 0, MFXAddEditTypedTable::onRightBtnRelease),
    FXMAPFUNC(SEL_COMMAND, MFXAddEditTypedTable::ID_INSERT_ROW, MFXAddEditTypedTable::onCmdInsertRow),
    FXMAPFUNC(SEL_COMMAND, MFXAddEditTypedTable::ID_DELETE_ROW, MFXAddEditTypedTable::onCmdDeleteRow),
    FXMAPFUNC(SEL_UPDATE, MFXAddEditTypedTable::ID_DELETE_ROW, MFXAddEditTypedTable::onUpdDeleteRow),
};
// clang-format on

FXIMPLEMENT(MFXAddEditTypedTable, FXTable, MFXAddEditTypedTableMap, ARRAYNUMBER(MFXAddEditTypedTableMap))

MFXAddEditTypedTable::MFXAddEditTypedTable(FXComposite* parent, MFXUndoHolder* holder, FXObject* target,
                                           FXSelector selector, FXuint options)
    : FXTable(parent, target, selector, options), holder(holder) {
    delete colHeader;
    colHeader = new MFXHeader(this, true);
    delete rowHeader;
    rowHeader = new MFXHeader(this, false);
    if (holder) holder->addReference(&this->holder);
}

MFXAddEditTypedTable::~MFXAddEditTypedTable() {
    if (!holder) return;
    holder->forgetWidget(this);
    holder->removeReference(&this->holder);
}

void MFXAddEditTypedTable::setColumnType(FXint col, FXint type) {
    if (col < 0) return;
    if (static_cast<size_t>(col) >= columnTypes.size()) columnTypes.resize(col + 1, UNTYPED);
    columnTypes[col] = type;
}

FXint MFXAddEditTypedTable::getColumnType(FXint col) const {
    return 0 <= col && static_cast<size_t>(col) < columnTypes.size() ? columnTypes[col] : UNTYPED;
}

void MFXAddEditTypedTable::startInput(FXint row, FXint col) {
    if (!isCell(row, col)) return;
    const FXint type = getColumnType(col);
    if (type < UNTYPED || type > CHECK) {
        FXMessageBox::error(this, MBOX_OK, "Unknown entry type", "%s",
                            "MFXAddEditTypedTable tried to use an unknown cell type.");
        return;
    }
    FXTable::startInput(row, col);
}

// The control is created here, as the toolkit's own items do, before the
// table places it and gives it the focus.
FXWindow* MFXAddEditTypedTable::getControlForItem(FXint r, FXint c) {
    const FXString text = getItemText(r, c);
    const FXint type = getColumnType(c);
    if (type == CHECK) {
        auto* check = new FXCheckButton(this, FXString::null, this, ID_ACCEPT_INPUT, CHECKBUTTON_NORMAL);
        check->setBackColor(getBackColor());
        check->setCheck(!text.empty() && TextConvert::toBool(text.text()));
        check->create();
        return check;
    }
    FXuint options = FRAME_NORMAL | TEXTFIELD_ENTER_ONLY;
    if (type == REAL) options |= TEXTFIELD_REAL;
    if (type == INTEGER) options |= TEXTFIELD_INTEGER;
    auto* field = new FXTextField(this, 1, this, ID_ACCEPT_INPUT, options, 0, 0, 0, 0, marginleft, marginright,
                                  margintop, marginbottom);
    field->create();
    field->setFont(getFont());
    field->setText(text);
    field->selectAll();
    return field;
}

void MFXAddEditTypedTable::setItemFromControl(FXint r, FXint c, FXWindow* control) {
    const FXString oldText = getItemText(r, c);
    FXString text = oldText;
    FXdouble number;
    if (auto* check = dynamic_cast<FXCheckButton*>(control)) {
        text = check->getCheck() ? "t" : "f";
    } else if (auto* field = dynamic_cast<FXTextField*>(control)) {
        // A number that cannot be read leaves the old text in the cell.
        switch (getColumnType(c)) {
        case REAL:
            if (FXRealSpinDial::readNumber(field->getText(), number) && std::isfinite(number))
                text = TextConvert::toString(number, 3).c_str();
            break;
        case INTEGER:
            if (FXRealSpinDial::readNumber(field->getText(), number) && std::fabs(number) < INT_MAX + 1.0)
                text = FXStringVal(static_cast<FXint>(number));
            break;
        default:
            text = field->getText();
            break;
        }
    }
    if (holder) {
        // The final command closes the entry of this edit; with nothing
        // changed and no entry open there is nothing to record.
        auto* command = new MFXUndoCommand_CellChange(this, holder, r, c, oldText, text, true);
        auto* top = dynamic_cast<MFXUndoCommand*>(holder->undoList.current());
        if (text != oldText || (top && top->canAbsorb(command)))
            holder->add(command);
        else
            delete command;
    }
    if (text == oldText) return;
    setItemText(r, c, text);
    notifyCellChanged(r, c);
    keepEmptyLastRow();
}

long MFXAddEditTypedTable::onChgEditor(FXObject*, FXSelector, void*) {
    auto* field = dynamic_cast<FXTextField*>(editor);
    const FXint r = input.fm.row, c = input.fm.col;
    if (holder && field && isCell(r, c))
        holder->add(new MFXUndoCommand_CellChange(this, holder, r, c, getItemText(r, c), field->getText(), false));
    return 1;
}

long MFXAddEditTypedTable::onLeftBtnPress(FXObject* sender, FXSelector sel, void* ptr) {
    auto* event = static_cast<FXEvent*>(ptr);
    const FXint r = rowAtY(event->win_y), c = colAtX(event->win_x);
    FXTableItem* item = isCell(r, c) ? getItem(r, c) : nullptr;
    if (item && !item->isEnabled()) return 1;
    return FXTable::onLeftBtnPress(sender, sel, ptr);
}

long MFXAddEditTypedTable::onClicked(FXObject* sender, FXSelector sel, void* ptr) {
    const FXint r = selection.fm.row, c = selection.fm.col;
    if (!isCell(r, c) || selection.to.row != r || selection.to.col != c) return FXTable::onClicked(sender, sel, ptr);
    // An open editor is accepted rather than discarded, so that a click into
    // another cell does not lose what was typed.
    acceptInput(true);
    if (target && target->tryHandle(this, FXSEL(SEL_CLICKED, message), ptr)) return 1;
    startInput(r, c);
    return 1;
}

long MFXAddEditTypedTable::onFocusOut(FXObject* sender, FXSelector sel, void* ptr) {
    acceptInput(true);
    return FXTable::onFocusOut(sender, sel, ptr);
}

long MFXAddEditTypedTable::onCmdSelectRowIndex(FXObject* sender, FXSelector sel, void* ptr) {
    acceptInput(true);
    return FXTable::onCmdSelectRowIndex(sender, sel, ptr);
}

long MFXAddEditTypedTable::onCmdNextCell(FXObject*, FXSelector, void*) {
    acceptInput(true);
    FXint r = current.row, c = current.col;
    if (!isCell(r, c)) r = 0, c = -1;
    do {
        if (++c >= ncols) c = 0, ++r;
        if (r >= nrows) return 1;
    } while (getColumnWidth(c) == 0);
    setCurrentItem(r, c, true);
    killSelection(true);
    selectRange(r, r, c, c, true);
    makePositionVisible(r, c);
    startInput(r, c);
    return 1;
}

long MFXAddEditTypedTable::onKeyPress(FXObject* sender, FXSelector sel, void* ptr) {
    const auto* event = static_cast<FXEvent*>(ptr);
    const bool deleting = event->code == KEY_Delete || event->code == KEY_KP_Delete;
    if (!deleting || editor || !isEditable()) return FXTable::onKeyPress(sender, sel, ptr);
    if (target && target->tryHandle(this, FXSEL(SEL_KEYPRESS, message), ptr)) return 1;
    const std::vector<FXint> rows = selectedRows();
    if (rows.empty()) return FXTable::onKeyPress(sender, sel, ptr);
    // From the last row up, so that the rows above keep their numbers.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) removeRow(*row);
    return 1;
}

long MFXAddEditTypedTable::onRightBtnRelease(FXObject* sender, FXSelector sel, void* ptr) {
    const auto* event = static_cast<FXEvent*>(ptr);
    FXTable::onRightBtnRelease(sender, sel, ptr);
    const FXint row = rowAtY(event->win_y);
    if (!isEditable() || event->moved || !isCell(row, 0)) return 1;
    acceptInput(true);
    selectWholeRow(row);
    FXMenuPane menu(this);
    new FXMenuCommand(&menu, "&Insert Row", nullptr, this, ID_INSERT_ROW);
    new FXMenuCommand(&menu, "&Delete Row\tDel", nullptr, this, ID_DELETE_ROW);
    menu.create();
    menu.popup(nullptr, event->root_x, event->root_y);
    getApp()->runModalWhileShown(&menu);
    return 1;
}

long MFXAddEditTypedTable::onCmdInsertRow(FXObject*, FXSelector, void*) {
    const FXint row = current.row;
    if (!isCell(row, 0)) return 1;
    acceptInput(true);
    // The empty last row already is the place for a new one.
    if (row < nrows - 1 || !isRowEmpty(row)) insertRow(row);
    const FXint col = firstShownColumn();
    setCurrentItem(row, col, true);
    killSelection(true);
    selectRange(row, row, col, col, true);
    makePositionVisible(row, col);
    startInput(row, col);
    return 1;
}

long MFXAddEditTypedTable::onCmdDeleteRow(FXObject*, FXSelector, void*) {
    removeRow(current.row);
    return 1;
}

long MFXAddEditTypedTable::onUpdDeleteRow(FXObject* sender, FXSelector, void*) {
    const FXint row = current.row;
    const bool removable = isCell(row, 0) && !(row == nrows - 1 && isRowEmpty(row));
    sender->handle(this, FXSEL(SEL_COMMAND, removable ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}

std::vector<FXint> MFXAddEditTypedTable::selectedRows() const {
    std::vector<FXint> rows;
    if (!isCell(selection.fm.row, selection.fm.col) || !isCell(selection.to.row, selection.to.col)) return rows;
    // Hidden columns need not be selected: a row whose every shown cell is
    // selected counts as selected.
    for (FXint c = 0; c < ncols; ++c)
        if (getColumnWidth(c) > 0 && (c < selection.fm.col || c > selection.to.col)) return rows;
    for (FXint r = selection.fm.row; r <= selection.to.row; ++r) rows.push_back(r);
    return rows;
}

void MFXAddEditTypedTable::selectWholeRow(FXint row) {
    if (!isCell(row, 0)) return;
    setCurrentItem(row, firstShownColumn(), true);
    killSelection(true);
    selectRange(row, row, 0, ncols - 1, true);
}

FXint MFXAddEditTypedTable::firstShownColumn() const {
    for (FXint c = 0; c < ncols; ++c)
        if (getColumnWidth(c) > 0) return c;
    return 0;
}

FXint MFXAddEditTypedTable::headerWidth(FXint col) const {
    const FXString text = getColumnText(col);
    FXFont* font = colHeader->getFont();
    // Before the font exists on the display, an estimate.
    const FXint textWidth = font->id() ? font->getTextWidth(text) : 8 * text.length();
    return textWidth + colHeader->getPadLeft() + colHeader->getPadRight() + 6;
}

void MFXAddEditTypedTable::showColumn(FXint col, bool shown) {
    if (col < 0 || col >= ncols) return;
    if (static_cast<size_t>(col) >= fittedColumns.size()) fittedColumns.resize(col + 1, false);
    fittedColumns[col] = true;
    setColumnWidth(col, shown ? headerWidth(col) : 0);
}

void MFXAddEditTypedTable::create() {
    FXTable::create();
    for (FXint c = 0; c < ncols && static_cast<size_t>(c) < fittedColumns.size(); ++c)
        if (fittedColumns[c] && getColumnWidth(c) > 0) setColumnWidth(c, headerWidth(c));
}

void MFXAddEditTypedTable::insertRow(FXint row) {
    if (row < 0 || row > nrows) return;
    insertRows(row, 1);
    if (holder) holder->add(new MFXUndoCommand_RowInserted(this, holder, row));
}

void MFXAddEditTypedTable::removeRow(FXint row) {
    if (!isCell(row, 0) || (row == nrows - 1 && isRowEmpty(row))) return;
    acceptInput(true);
    notifyRow(SEL_DELETED, row);
    auto* command = new MFXUndoCommand_RowRemoved(this, holder, row);
    removeRows(row, 1);
    keepEmptyLastRow();
    if (holder)
        holder->add(command);
    else
        delete command;
}

bool MFXAddEditTypedTable::isRowEmpty(FXint row) const {
    for (FXint c = 0; c < ncols; ++c)
        if (!getItemText(row, c).empty()) return false;
    return true;
}

void MFXAddEditTypedTable::keepEmptyLastRow() {
    if (ncols == 0) return;
    if (nrows == 0 || !isRowEmpty(nrows - 1)) {
        insertRows(nrows, 1);
        return;
    }
    while (nrows >= 2 && isRowEmpty(nrows - 2)) removeRows(nrows - 1, 1);
}

void MFXAddEditTypedTable::replayText(FXint row, FXint col, const FXString& text) {
    cancelInput();
    if (!isCell(row, col)) return;
    setItemText(row, col, text);
    notifyCellChanged(row, col);
    keepEmptyLastRow();
}

void MFXAddEditTypedTable::acceptInput(FXbool) { FXTable::acceptInput(false); }

FXTableItem* MFXAddEditTypedTable::createItem(const FXString& text, FXIcon* icon, void* ptr) {
    FXTableItem* item = FXTable::createItem(text, icon, ptr);
    item->setJustify(FXTableItem::LEFT | FXTableItem::CENTER_Y);
    return item;
}

void MFXAddEditTypedTable::notifyCellChanged(FXint row, FXint col) {
    FXTableRange range;
    range.fm.row = range.to.row = row;
    range.fm.col = range.to.col = col;
    if (target) target->tryHandle(this, FXSEL(SEL_REPLACED, message), &range);
}

void MFXAddEditTypedTable::notifyRow(FXuint type, FXint row) {
    FXTableRange range;
    range.fm.row = range.to.row = row;
    range.fm.col = 0;
    range.to.col = ncols - 1;
    if (target) target->tryHandle(this, FXSEL(type, message), &range);
}

void MFXAddEditTypedTable::layout() {
    FXTable::layout();
    if (ncols == 0 || getColumnWidth(ncols - 1) == 0) return;
    // The last column takes what the others leave of the table's width, so
    // that the table is filled to its right edge and never scrolls sideways
    // for it; at the least it shows its header.
    FXint space = getParent()->getWidth() - 3;
    if (auto* packer = dynamic_cast<FXPacker*>(getParent()))
        space -= packer->getPadLeft() + packer->getPadRight() + packer->getBorderWidth();
    if (rowHeader->shown()) space -= rowHeader->getWidth();
    if (vertical->shown()) space -= vertical->getWidth();
    FXint others = 0;
    for (FXint c = 0; c < ncols - 1; ++c) others += getColumnWidth(c);
    const FXint last = std::max(space - others, headerWidth(ncols - 1));
    if (space > 1 && last != getColumnWidth(ncols - 1)) setColumnWidth(ncols - 1, last);
}

MFXAddEditTypedTable::MFXUndoCommand_CellChange::MFXUndoCommand_CellChange(MFXAddEditTypedTable* table,
                                                                           MFXUndoHolder* holder, FXint row, FXint col,
                                                                           const FXString& oldText,
                                                                           const FXString& newText, bool final)
    : MFXUndoCommand(holder, "Undo Text Change", "Redo Text Change"), table(table), row(row), col(col),
      oldText(oldText), newText(newText), final(final) {}

void MFXAddEditTypedTable::MFXUndoCommand_CellChange::undo() {
    if (table) table->replayText(row, col, oldText);
    changed();
}

void MFXAddEditTypedTable::MFXUndoCommand_CellChange::redo() {
    if (table) table->replayText(row, col, newText);
    changed();
}

bool MFXAddEditTypedTable::MFXUndoCommand_CellChange::canAbsorb(const MFXUndoCommand* newer) const {
    auto* change = dynamic_cast<const MFXUndoCommand_CellChange*>(newer);
    return change && !final && change->table == table && change->row == row && change->col == col;
}

void MFXAddEditTypedTable::MFXUndoCommand_CellChange::absorb(const MFXUndoCommand* newer) {
    auto* change = static_cast<const MFXUndoCommand_CellChange*>(newer);
    newText = change->newText;
    final = change->final;
}

void MFXAddEditTypedTable::MFXUndoCommand_CellChange::forgetWidget(FXObject* widget) {
    if (widget == table) table = nullptr;
}

MFXAddEditTypedTable::MFXUndoCommand_RowRemoved::MFXUndoCommand_RowRemoved(MFXAddEditTypedTable* table,
                                                                           MFXUndoHolder* holder, FXint row)
    : MFXUndoCommand(holder, "Undo Remove Row", "Redo Remove Row"), table(table), row(row) {
    FXHeader* header = table->getRowHeader();
    headerText = header->getItemText(row);
    headerIcon = header->getItemIcon(row);
    headerSize = header->getItemSize(row);
    headerData = header->getItemData(row);
    headerJustify = header->getItemJustify(row);
    takeItems();
}

MFXAddEditTypedTable::MFXUndoCommand_RowRemoved::~MFXUndoCommand_RowRemoved() {
    for (FXTableItem* item : items) delete item;
}

void MFXAddEditTypedTable::MFXUndoCommand_RowRemoved::takeItems() {
    // An item taken out of a selected row would come back drawn as selected
    // (light text) in a row that is not.
    for (FXint c = 0; c < table->ncols; ++c) {
        FXTableItem* item = table->extractItem(row, c);
        if (item) item->setSelected(false);
        items.push_back(item);
    }
}

void MFXAddEditTypedTable::MFXUndoCommand_RowRemoved::undo() {
    if (table && 0 <= row && row <= table->nrows) {
        table->cancelInput();
        table->insertRows(row, 1);
        for (FXint c = 0; c < static_cast<FXint>(items.size()); ++c) {
            if (c < table->ncols) {
                table->setItem(row, c, items[c]);
            } else {
                delete items[c];
            }
        }
        items.clear();
        FXHeader* header = table->getRowHeader();
        header->setItemText(row, headerText);
        header->setItemIcon(row, headerIcon);
        header->setItemSize(row, headerSize);
        header->setItemData(row, headerData);
        header->setItemJustify(row, headerJustify);
        table->notifyRow(SEL_INSERTED, row);
        table->keepEmptyLastRow();
    }
    changed();
}

void MFXAddEditTypedTable::MFXUndoCommand_RowRemoved::redo() {
    if (table && 0 <= row && row < table->nrows) {
        table->cancelInput();
        table->notifyRow(SEL_DELETED, row);
        takeItems();
        table->removeRows(row, 1);
        table->keepEmptyLastRow();
    }
    changed();
}

void MFXAddEditTypedTable::MFXUndoCommand_RowRemoved::forgetWidget(FXObject* widget) {
    if (widget == table) table = nullptr;
}

MFXAddEditTypedTable::MFXUndoCommand_RowInserted::MFXUndoCommand_RowInserted(MFXAddEditTypedTable* table,
                                                                             MFXUndoHolder* holder, FXint row)
    : MFXUndoCommand(holder, "Undo Insert Row", "Redo Insert Row"), table(table), row(row) {}

// The inserted row is empty when this is undone (the edits made in it are
// undone first): it goes without telling the target.
void MFXAddEditTypedTable::MFXUndoCommand_RowInserted::undo() {
    if (table && 0 <= row && row < table->nrows) {
        table->cancelInput();
        table->removeRows(row, 1);
        table->keepEmptyLastRow();
    }
    changed();
}

void MFXAddEditTypedTable::MFXUndoCommand_RowInserted::redo() {
    if (table && 0 <= row && row <= table->nrows) {
        table->cancelInput();
        table->insertRows(row, 1);
    }
    changed();
}

void MFXAddEditTypedTable::MFXUndoCommand_RowInserted::forgetWidget(FXObject* widget) {
    if (widget == table) table = nullptr;
}
