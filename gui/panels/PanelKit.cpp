#include "gui/panels/PanelKit.h"

#include "gui/FXRealSpinDial.h"
#include "gui/MFXAddEditTypedTable.h"
#include "options/TextConvert.h"

#include <algorithm>

FXRealSpinDial* makeDial(FXComposite* parent, FXObject* target, FXSelector selector, const DialRange& range) {
    auto* dial = new FXRealSpinDial(parent, 4, target, selector,
                                    REALSPIN_NORMAL | FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_COLUMN);
    dial->setFormatString(range.format);
    dial->setRange(range.low, range.high);
    dial->setIncrements(range.fine, range.normal, range.coarse);
    dial->setValue(range.initial);
    return dial;
}

void showNumber(FXRealSpinDial* dial, double value) {
    FXdouble low = 0;
    FXdouble high = 0;
    dial->getRange(low, high);
    dial->setRange(std::min(value, low), std::max(value, high));
    dial->setValue(value);
}

FXListBox* makeChoice(FXComposite* parent, FXObject* target, FXSelector selector) {
    auto* box =
        new FXListBox(parent, target, selector, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_COLUMN);
    box->setNumVisible(0);
    return box;
}

FXMatrix* makeGrid(FXComposite* parent) {
    return new FXMatrix(parent, 2, MATRIX_BY_COLUMNS | LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
}

MFXAddEditTypedTable* makeTable(FXComposite* parent, MFXUndoHolder* holder, FXObject* target, FXSelector selector,
                                std::initializer_list<const char*> columns) {
    auto* frame =
        new FXVerticalFrame(parent, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    auto* table = new MFXAddEditTypedTable(frame, holder, target, selector,
                                           TABLE_COL_SIZABLE | TABLE_NO_COLSELECT | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    table->setTableSize(1, static_cast<FXint>(columns.size()));
    int column = 0;
    for (const char* text : columns) table->setColumnText(column++, text);
    table->setRowHeaderWidth(0);
    return table;
}

void fitColumnHeader(FXTable* table) {
    FXFont* font = table->getApp()->getNormalFont();
    table->setColumnHeaderHeight(font->getFontHeight() + font->getFontAscent() + 6);
}

void setCell(FXTable* table, int row, int column, const char* text) {
    table->setItemText(row, column, text);
    if (FXTableItem* item = table->getItem(row, column)) item->setJustify(FXTableItem::LEFT | FXTableItem::CENTER_Y);
}

std::string cellText(FXTable* table, int row, int column) {
    return TextConvert::trim(table->getItemText(row, column).text());
}
