#include "gui/panels/SymbolHelpPanel.h"

#include "gui/MFXAddEditTypedTable.h"
#include "gui/SymbolHelp.h"
#include "gui/panels/PanelKit.h"

FXIMPLEMENT(SymbolHelpPanel, FXVerticalFrame, nullptr, 0)

SymbolHelpPanel::SymbolHelpPanel(FXComposite* parent, MFXUndoHolder& undo)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y) {
    new FXLabel(this, "Symbol interpretations:");
    myTable = makeTable(this, &undo, nullptr, 0, {"Symbol", "Meaning"});
    myTable->setTableSize(static_cast<FXint>(symbolHelpRows.size()), 2);
    myTable->setColumnText(0, "Symbol");
    myTable->setColumnText(1, "Meaning");
    for (std::size_t row = 0; row < symbolHelpRows.size(); ++row) {
        setCell(myTable, static_cast<FXint>(row), 0, symbolHelpRows[row].symbol);
        setCell(myTable, static_cast<FXint>(row), 1, symbolHelpRows[row].meaning);
    }
    myTable->setColumnWidth(0, 60);
    myTable->setColumnWidth(1, 260);
    myTable->setEditable(false);
}

void SymbolHelpPanel::create() {
    FXVerticalFrame::create();
    fitColumnHeader(myTable);
}
