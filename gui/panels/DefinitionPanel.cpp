#include "gui/panels/DefinitionPanel.h"

#include "gui/FXRealSpinDial.h"
#include "gui/MFXAddEditTypedTable.h"
#include "gui/MFXUndoCommand.h"
#include "gui/MFXUndoHolder.h"
#include "gui/panels/PanelHost.h"
#include "gui/panels/PanelKit.h"
#include "options/TextConvert.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <sstream>

namespace {

// Rule table columns.
enum RuleColumn { Probability, Left, Middle, Right, Constraints, Conclusion, RuleColumns };
const char* const ruleHeaders[] = {"Probability", "Left", "Middle", "Right", "Constraints", "Conclusion"};
// The columns that the "Rule Table Options" checks show and hide.
constexpr std::array<int, 4> optionalRuleColumns{Probability, Left, Right, Constraints};

const char* const rotationLabels[] = {"Default X-Rotation Change", "Default Y-Rotation Change",
                                      "Default Z-Rotation Change"};
const char* const directionLabels[] = {"Initial X-Direction Change", "Initial Y-Direction Change",
                                       "Initial Z-Direction Change"};

} // namespace

// clang-format off
FXDEFMAP(DefinitionPanel) DefinitionPanelMap[] = {
    FXMAPFUNC(SEL_CHANGED, DefinitionPanel::ID_NAME, DefinitionPanel::onCmdName),
    FXMAPFUNC(SEL_COMMAND, DefinitionPanel::ID_NAME, DefinitionPanel::onCmdName),
    FXMAPFUNC(SEL_CHANGED, DefinitionPanel::ID_AXIOM, DefinitionPanel::onCmdAxiom),
    FXMAPFUNC(SEL_COMMAND, DefinitionPanel::ID_AXIOM, DefinitionPanel::onCmdAxiom),
    FXMAPFUNC(SEL_COMMAND, DefinitionPanel::ID_ITERATIONS, DefinitionPanel::onCmdIterations),
    FXMAPFUNCS(SEL_COMMAND, DefinitionPanel::ID_IDIRX, DefinitionPanel::ID_ROTZ, DefinitionPanel::onCmdRotation),
    FXMAPFUNCS(SEL_CHANGED, DefinitionPanel::ID_IDIRX, DefinitionPanel::ID_ROTZ, DefinitionPanel::onCmdRotation),
    FXMAPFUNC(SEL_COMMAND, DefinitionPanel::ID_MULTICHAR, DefinitionPanel::onCmdMultiChar),
    FXMAPFUNC(SEL_REPLACED, DefinitionPanel::ID_RULES, DefinitionPanel::onRulesChanged),
    FXMAPFUNC(SEL_INSERTED, DefinitionPanel::ID_RULES, DefinitionPanel::onRulesChanged),
    FXMAPFUNC(SEL_DELETED, DefinitionPanel::ID_RULES, DefinitionPanel::onRulesChanged),
    FXMAPFUNCS(SEL_COMMAND, DefinitionPanel::ID_SHOW_PROBABILITIES, DefinitionPanel::ID_SHOW_CONSTRAINTS, DefinitionPanel::onCmdRuleColumn),
    FXMAPFUNCS(SEL_UPDATE, DefinitionPanel::ID_SHOW_PROBABILITIES, DefinitionPanel::ID_SHOW_CONSTRAINTS, DefinitionPanel::onUpdRuleColumn),
};
// clang-format on

FXIMPLEMENT(DefinitionPanel, FXVerticalFrame, DefinitionPanelMap, ARRAYNUMBER(DefinitionPanelMap))

DefinitionPanel::DefinitionPanel(FXComposite* parent, PanelHost& host)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y), myHost(&host) {
    new FXLabel(this, "Name:");
    myNameField = new FXTextField(this, 20, this, ID_NAME, TEXTFIELD_NORMAL | LAYOUT_FILL_X);
    myMultiCharCheck = new FXCheckButton(this, "Using multi-char words", this, ID_MULTICHAR);
    new FXLabel(this, "Axiom:");
    myAxiomField = new FXTextField(this, 20, this, ID_AXIOM, TEXTFIELD_NORMAL | LAYOUT_FILL_X);
    new FXLabel(this, "Iterations:");
    myIterationsDial = makeDial(this, this, ID_ITERATIONS, {"%.0f", 0, 100, 1, 1, 1, defaultIterations});
    new FXLabel(this, "Rules:");
    myRuleTable = makeTable(this, &host.undoHolder(), this, ID_RULES,
                            {"Probability", "Left", "Middle", "Right", "Constraints", "Conclusion"});
    for (int column : optionalRuleColumns) myRuleTable->setColumnWidth(column, 0);
    new FXLabel(this, "Default rotation values (x, y, z):");
    auto* rotations = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 3; ++i)
        myRotationDials[i] = makeDial(rotations, this, ID_ROTX + i, {"%.2f", -3600, 3600, 1, 1, 10, 0});
    new FXLabel(this, "Initial direction (x, y, z):");
    auto* directions = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 3; ++i)
        myDirectionDials[i] = makeDial(directions, this, ID_IDIRX + i, {"%.2f", -1, 1, 0.01, 0.1, 0.5, 0});
}

void DefinitionPanel::create() {
    FXVerticalFrame::create();
    fitColumnHeader(myRuleTable);
}

void DefinitionPanel::showDocument() {
    Workbench& workbench = myHost->workbench();
    const LSystemDefinition& definition = workbench.definition();
    myNameField->setText(definition.getName().c_str());
    myAxiomField->setText(definition.getAxiom().c_str());
    showNumber(myIterationsDial, workbench.specialVariable("_steps", defaultIterations));
    myLastIterations = static_cast<int>(std::lround(myIterationsDial->getValue()));
    for (int i = 0; i < 3; ++i) {
        showNumber(myRotationDials[i], workbench.specialVariable(rotationVariables[i], 0));
        showNumber(myDirectionDials[i], workbench.specialVariable(directionVariables[i], 0));
    }
    // A definition without the switch keeps the one shown.
    if (definition.getConstants().count("_multichar"))
        myMultiCharCheck->setCheck(workbench.specialVariable("_multichar", 0) != 0);
    fillRuleTable();
}

void DefinitionPanel::showName() { myNameField->setText(myHost->workbench().definition().getName().c_str()); }

bool DefinitionPanel::multiCharWords() const { return myMultiCharCheck->getCheck(); }

void DefinitionPanel::setMultiCharWords(bool on) {
    myHost->workbench().setSpecialVariable("_multichar", on ? 1 : 0);
    myMultiCharCheck->setCheck(on);
}

void DefinitionPanel::fillRuleTable() {
    const std::vector<RuleRow>& rules = myHost->workbench().definition().getRules();
    myRuleTable->setTableSize(static_cast<FXint>(rules.size()) + 1, RuleColumns);
    for (int column = 0; column < RuleColumns; ++column) myRuleTable->setColumnText(column, ruleHeaders[column]);
    for (std::size_t row = 0; row < rules.size(); ++row) {
        const RuleRow& rule = rules[row];
        std::ostringstream probability;
        probability.imbue(std::locale::classic());
        probability << rule.probability;
        const std::string cells[] = {probability.str(), rule.leftContext, rule.predecessor,
                                     rule.rightContext, rule.condition,   rule.successor};
        for (int column = 0; column < RuleColumns; ++column)
            setCell(myRuleTable, static_cast<FXint>(row), column, cells[column].c_str());
    }
    // A definition that uses probabilities, contexts or conditions shows them.
    for (const RuleRow& rule : rules) {
        const bool used[] = {rule.probability != 1.0f, !rule.leftContext.empty(), !rule.rightContext.empty(),
                             !rule.condition.empty()};
        for (std::size_t i = 0; i < optionalRuleColumns.size(); ++i) myRuleColumnShown[i] |= used[i];
    }
    for (std::size_t i = 0; i < optionalRuleColumns.size(); ++i)
        myRuleTable->showColumn(optionalRuleColumns[i], myRuleColumnShown[i]);
    myRuleTable->showColumn(Middle, true);
}

long DefinitionPanel::onCmdName(FXObject* sender, FXSelector selector, void*) {
    LSystemDefinition& definition = myHost->workbench().definition();
    MFXUndoHolder& undo = myHost->undoHolder();
    const std::string old = definition.getName();
    const std::string name = myNameField->getText().text();
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    definition.setName(name);
    if (!undo.isReplay(sender) && (name != old || final))
        undo.record(
            new MFXUndoCommand_String(myNameField, &undo, "Undo Name Change", "Redo Name Change", old, name, final),
            name != old);
    return 1;
}

long DefinitionPanel::onCmdAxiom(FXObject* sender, FXSelector selector, void*) {
    LSystemDefinition& definition = myHost->workbench().definition();
    MFXUndoHolder& undo = myHost->undoHolder();
    const std::string old = definition.getAxiom();
    const std::string axiom = myAxiomField->getText().text();
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    definition.setAxiom(axiom);
    if (!undo.isReplay(sender) && (axiom != old || final))
        undo.record(
            new MFXUndoCommand_String(myAxiomField, &undo, "Undo Axiom Change", "Redo Axiom Change", old, axiom, final),
            axiom != old);
    if (final) myHost->recompute();
    return 1;
}

long DefinitionPanel::onCmdIterations(FXObject* sender, FXSelector, void*) {
    const int iterations = static_cast<int>(std::lround(myIterationsDial->getValue()));
    if (iterations == myLastIterations) return 1;
    MFXUndoHolder& undo = myHost->undoHolder();
    myHost->workbench().setSpecialVariable("_steps", iterations);
    if (!undo.isReplay(sender))
        undo.add(new MFXUndoCommand_Float(myIterationsDial, &undo, "Undo Iteration Change", "Redo Iteration Change",
                                          static_cast<float>(myLastIterations), static_cast<float>(iterations), true));
    myLastIterations = iterations;
    myHost->recompute();
    return 1;
}

long DefinitionPanel::onCmdRotation(FXObject* sender, FXSelector selector, void*) {
    const int id = FXSELID(selector);
    const bool rotation = id >= ID_ROTX;
    const int axis = rotation ? id - ID_ROTX : id - ID_IDIRX;
    FXRealSpinDial* dial = rotation ? myRotationDials[axis] : myDirectionDials[axis];
    const char* variable = rotation ? rotationVariables[axis] : directionVariables[axis];
    Workbench& workbench = myHost->workbench();
    MFXUndoHolder& undo = myHost->undoHolder();
    const double value = dial->getValue();
    const double old = workbench.specialVariable(variable, 0);
    // A drag is one entry, closed when the dial settles; the picture follows
    // the drag.
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    if (value == old && !final) return 1;
    if (value != old) workbench.setSpecialVariable(variable, value);
    if (!undo.isReplay(sender)) {
        const FXString what = rotation ? rotationLabels[axis] : directionLabels[axis];
        undo.record(new MFXUndoCommand_Float(dial, &undo, "Undo " + what, "Redo " + what, static_cast<float>(old),
                                             static_cast<float>(value), final),
                    value != old);
    }
    if (value == old) return 1;
    if (final)
        myHost->reinterpret();
    else
        myHost->reinterpretLive();
    return 1;
}

long DefinitionPanel::onCmdMultiChar(FXObject* sender, FXSelector, void*) {
    MFXUndoHolder& undo = myHost->undoHolder();
    myHost->workbench().setSpecialVariable("_multichar", myMultiCharCheck->getCheck() ? 1 : 0);
    if (!undo.isReplay(sender))
        undo.add(new MFXUndoCommand_Bool(myMultiCharCheck, &undo, "Undo Switch Multichar", "Redo Switch Multichar",
                                         myMultiCharCheck->getCheck()));
    myHost->recompute();
    return 1;
}

long DefinitionPanel::onRulesChanged(FXObject*, FXSelector selector, void* data) {
    // A row about to be removed is left out; the table records its own undo.
    // So is a row still without its predecessor: one such row would leave the
    // system without any rule.
    const FXint removedRow = FXSELTYPE(selector) == SEL_DELETED ? static_cast<FXTableRange*>(data)->fm.row : -1;
    std::vector<RuleRow> rules;
    for (int row = 0; row < myRuleTable->getNumRows(); ++row) {
        if (row == removedRow || cellText(myRuleTable, row, Middle).empty()) continue;
        RuleRow rule;
        const std::string probability = cellText(myRuleTable, row, Probability);
        if (!probability.empty()) {
            try {
                rule.probability = TextConvert::toFloat(probability);
            } catch (const std::exception&) {
                myHost->showError("Value error", "The probability must be a numeric value");
                continue;
            }
        }
        rule.leftContext = cellText(myRuleTable, row, Left);
        rule.predecessor = cellText(myRuleTable, row, Middle);
        rule.rightContext = cellText(myRuleTable, row, Right);
        rule.condition = cellText(myRuleTable, row, Constraints);
        rule.successor = cellText(myRuleTable, row, Conclusion);
        rules.push_back(rule);
    }
    myHost->workbench().definition().setRules(std::move(rules));
    myHost->recompute();
    return 1;
}

long DefinitionPanel::onCmdRuleColumn(FXObject*, FXSelector selector, void*) {
    const int option = FXSELID(selector) - ID_SHOW_PROBABILITIES;
    myRuleColumnShown[option] = !myRuleColumnShown[option];
    myRuleTable->showColumn(optionalRuleColumns[option], myRuleColumnShown[option]);
    return 1;
}

long DefinitionPanel::onUpdRuleColumn(FXObject* sender, FXSelector selector, void*) {
    const int option = FXSELID(selector) - ID_SHOW_PROBABILITIES;
    sender->handle(this, FXSEL(SEL_COMMAND, myRuleColumnShown[option] ? ID_CHECK : ID_UNCHECK), nullptr);
    return 1;
}
