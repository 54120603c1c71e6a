#include "gui/panels/SymbolHelpPanel.h"

#include "gui/SymbolHelp.h"
#include "gui/panels/PanelKit.h"

FXIMPLEMENT(SymbolHelpPanel, FXVerticalFrame, nullptr, 0)

SymbolHelpPanel::SymbolHelpPanel(FXComposite* parent)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y) {
    new FXLabel(this, "Symbol interpretations:");
    auto* frame =
        new FXVerticalFrame(this, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    myTable = new SymbolHelpTable(frame);
    new FXLabel(this, "Default: what a symbol takes without a parameter.", nullptr, JUSTIFY_LEFT);
}

void SymbolHelpPanel::create() {
    FXVerticalFrame::create();
    fitColumnHeader(myTable);
}
