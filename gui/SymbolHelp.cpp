#include "gui/SymbolHelp.h"

#include "interpretation/TurtleSymbols.h"

#include <algorithm>

FXIMPLEMENT(SymbolHelpTable, FXTable, nullptr, 0)

namespace {

// The narrowest the meaning column gets, however narrow the table.
constexpr FXint narrowestMeaning = 80;

} // namespace

SymbolHelpTable::SymbolHelpTable(FXComposite* parent, FXuint options)
    : FXTable(parent, nullptr, 0, options | TABLE_READONLY | TABLE_NO_COLSELECT | TABLE_NO_ROWSELECT | HSCROLLING_OFF) {
    setTableSize(static_cast<FXint>(turtleSymbols.size()), 3);
    setColumnText(SymbolColumn, "Symbol");
    setColumnText(MeaningColumn, "Meaning");
    setColumnText(DefaultColumn, "Default");
    setRowHeaderWidth(0);
    for (FXint row = 0; row < getNumRows(); ++row) {
        const TurtleSymbol& symbol = turtleSymbols[row];
        setItemText(row, SymbolColumn, symbol.symbol);
        setItemText(row, MeaningColumn, symbol.meaning);
        setItemText(row, DefaultColumn, defaultText(symbol).c_str());
        for (FXint col = 0; col < 3; ++col)
            getItem(row, col)->setJustify(FXTableItem::LEFT |
                                          (col == MeaningColumn ? FXTableItem::TOP : FXTableItem::CENTER_Y));
    }
    setEditable(false);
}

void SymbolHelpTable::create() {
    FXTable::create();
    fitColumn(SymbolColumn);
    fitColumn(DefaultColumn);
    wrappedFor = -1;
}

void SymbolHelpTable::fitColumn(FXint col) {
    FXint widest = getColumnHeader()->getFont()->getTextWidth(getColumnText(col));
    for (FXint row = 0; row < getNumRows(); ++row) widest = std::max(widest, font->getTextWidth(getItemText(row, col)));
    setColumnWidth(col, widest + marginleft + marginright + 8);
}

void SymbolHelpTable::layout() {
    FXTable::layout();
    wrapMeanings();
}

void SymbolHelpTable::wrapMeanings() {
    if (!id()) return;
    // The vertical scroll bar is counted as if shown, so that its coming or
    // going never wraps the texts anew.
    const FXint available = getWidth() - vertical->getDefaultWidth() - 2;
    const FXint width =
        std::max(narrowestMeaning, available - getColumnWidth(SymbolColumn) - getColumnWidth(DefaultColumn));
    if (width == wrappedFor) return;
    wrappedFor = width;
    setColumnWidth(MeaningColumn, width);
    const FXint textWidth = width - marginleft - marginright - 2;
    for (FXint row = 0; row < getNumRows(); ++row) {
        const FXString text = wrap(turtleSymbols[row].meaning, font, textWidth);
        setItemText(row, MeaningColumn, text);
        setRowHeight(row, (text.contains('\n') + 1) * font->getFontHeight() + margintop + marginbottom + 2);
    }
}

FXString SymbolHelpTable::wrap(const FXString& text, FXFont* font, FXint width) {
    FXString result;
    FXString line;
    for (FXint i = 0; i < text.contains(' ') + 1; ++i) {
        const FXString word = text.section(' ', i);
        const FXString longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && font->getTextWidth(longer) > width) {
            result += line + "\n";
            line = word;
        } else {
            line = longer;
        }
    }
    return result + line;
}
