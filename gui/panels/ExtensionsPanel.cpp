#include "gui/panels/ExtensionsPanel.h"

#include "gui/MFXAddEditTypedTable.h"
#include "gui/panels/ConstantSliders.h"
#include "gui/panels/PanelHost.h"
#include "gui/panels/PanelKit.h"
#include "workbench/Workbench.h"

#include <cctype>

namespace {

// A row about to be removed is left out; the table records its own undo.
FXint removedRow(FXSelector selector, void* data) {
    return FXSELTYPE(selector) == SEL_DELETED ? static_cast<FXTableRange*>(data)->fm.row : -1;
}

} // namespace

// clang-format off
FXDEFMAP(ExtensionsPanel) ExtensionsPanelMap[] = {
    FXMAPFUNC(SEL_REPLACED, ExtensionsPanel::ID_IGNORE, ExtensionsPanel::onIgnoredChanged),
    FXMAPFUNC(SEL_INSERTED, ExtensionsPanel::ID_IGNORE, ExtensionsPanel::onIgnoredChanged),
    FXMAPFUNC(SEL_DELETED, ExtensionsPanel::ID_IGNORE, ExtensionsPanel::onIgnoredChanged),
    FXMAPFUNC(SEL_REPLACED, ExtensionsPanel::ID_CONSTANTS, ExtensionsPanel::onConstantsChanged),
    FXMAPFUNC(SEL_INSERTED, ExtensionsPanel::ID_CONSTANTS, ExtensionsPanel::onConstantsChanged),
    FXMAPFUNC(SEL_DELETED, ExtensionsPanel::ID_CONSTANTS, ExtensionsPanel::onConstantsChanged),
    FXMAPFUNC(SEL_CHANGED, ExtensionsPanel::ID_SLIDERS, ExtensionsPanel::onSliderMoved),
    FXMAPFUNC(SEL_COMMAND, ExtensionsPanel::ID_SLIDERS, ExtensionsPanel::onSliderMoved),
};
// clang-format on

FXIMPLEMENT(ExtensionsPanel, FXVerticalFrame, ExtensionsPanelMap, ARRAYNUMBER(ExtensionsPanelMap))

ExtensionsPanel::ExtensionsPanel(FXComposite* parent, PanelHost& host)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y), myHost(&host) {
    new FXLabel(this, "Ignore on computation:");
    myIgnoreTable = makeTable(this, &host.undoHolder(), this, ID_IGNORE, {"Symbol", "Ignore"});
    myIgnoreTable->setColumnType(1, MFXAddEditTypedTable::CHECK);
    new FXLabel(this, "Constants and functions:");
    myConstantsTable = makeTable(this, &host.undoHolder(), this, ID_CONSTANTS, {"Name", "Definition"});
    new FXLabel(this, "Sliders of the constants:");
    mySliders = new ConstantSliders(this, myConstantsTable, &host.undoHolder(), this, ID_SLIDERS);
}

void ExtensionsPanel::create() {
    FXVerticalFrame::create();
    fitColumnHeader(myIgnoreTable);
    fitColumnHeader(myConstantsTable);
}

void ExtensionsPanel::showDocument() {
    const LSystemDefinition& definition = myHost->workbench().definition();
    const std::vector<std::string>& ignored = definition.getIgnoreList();
    myIgnoreTable->setTableSize(static_cast<FXint>(ignored.size()) + 1, 2);
    myIgnoreTable->setColumnText(0, "Symbol");
    myIgnoreTable->setColumnText(1, "Ignore");
    for (std::size_t row = 0; row < ignored.size(); ++row) {
        setCell(myIgnoreTable, static_cast<FXint>(row), 0, ignored[row].c_str());
        setCell(myIgnoreTable, static_cast<FXint>(row), 1, "t");
    }

    // The special variables have dials of their own.
    std::vector<const ConstantDef*> shown;
    for (const auto& [name, constant] : definition.getConstants())
        if (!definition.isReserved(name)) shown.push_back(&constant);
    myConstantsTable->setTableSize(static_cast<FXint>(shown.size()) + 1, 2);
    myConstantsTable->setColumnText(0, "Name");
    myConstantsTable->setColumnText(1, "Definition");
    for (std::size_t row = 0; row < shown.size(); ++row) {
        const ConstantDef& constant = *shown[row];
        // A function as it is entered: its argument list in parentheses.
        const std::string name =
            constant.arguments.empty() ? constant.name : constant.name + "(" + constant.arguments + ")";
        setCell(myConstantsTable, static_cast<FXint>(row), 0, name.c_str());
        setCell(myConstantsTable, static_cast<FXint>(row), 1, constant.value.c_str());
    }
    // The file read again keeps the sliders' ranges; another document starts
    // from the defaults.
    const std::string& file = myHost->workbench().fileName();
    if (file.empty() || file != myShownFile) mySliders->forgetRanges();
    myShownFile = file;
    mySliders->showConstants(definition);
}

long ExtensionsPanel::onIgnoredChanged(FXObject*, FXSelector selector, void* data) {
    const FXint removed = removedRow(selector, data);
    std::vector<std::string> ignored;
    for (int row = 0; row < myIgnoreTable->getNumRows(); ++row) {
        const std::string symbol = cellText(myIgnoreTable, row, 0);
        if (row != removed && !symbol.empty() && cellText(myIgnoreTable, row, 1) == "t") ignored.push_back(symbol);
    }
    myHost->workbench().definition().setIgnoreList(std::move(ignored));
    myHost->recompute();
    return 1;
}

long ExtensionsPanel::onConstantsChanged(FXObject*, FXSelector selector, void* data) {
    applyConstants(removedRow(selector, data), false);
    return 1;
}

long ExtensionsPanel::onSliderMoved(FXObject*, FXSelector selector, void*) {
    applyConstants(-1, FXSELTYPE(selector) == SEL_CHANGED);
    return 1;
}

void ExtensionsPanel::applyConstants(FXint removed, bool live) {
    LSystemDefinition& definition = myHost->workbench().definition();
    std::vector<std::string> gone;
    for (const auto& entry : definition.getConstants())
        if (!definition.isReserved(entry.first)) gone.push_back(entry.first);
    for (const std::string& name : gone) definition.removeConstant(name);
    for (int row = 0; row < myConstantsTable->getNumRows(); ++row) {
        const std::string name = cellText(myConstantsTable, row, 0);
        if (row == removed || name.empty()) continue;
        // A drag does not stop for the other rows' faults: they are told when
        // the slider is let go.
        if (!std::isalpha(static_cast<unsigned char>(name[0]))) {
            if (!live) myHost->showError("Name error", "The name must begin with a letter");
            continue;
        }
        try {
            definition.addConstant(name, cellText(myConstantsTable, row, 1));
        } catch (const std::exception&) {
            // A special variable holds numbers only.
            if (!live)
                myHost->showError("Value error", ("The value of '" + name + "' must be a numeric value").c_str());
        }
    }
    // A removed row is still in the table: the sliders follow the definition.
    mySliders->showConstants(definition);
    if (live)
        myHost->recomputeLive();
    else
        myHost->recompute();
}
