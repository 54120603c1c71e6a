#include "gui/panels/SymbolShapes.h"

#include "gui/MFXUndoCommand.h"
#include "gui/MFXUndoHolder.h"
#include "gui/panels/PanelHost.h"
#include "lsys/String2IDManager.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <set>

// Writes the records back into the document and shows them.
class SymbolShapes::Command : public MFXUndoCommand_Record<std::map<std::string, ShapeDef>, std::string> {
public:
    Command(SymbolShapes* shapes, MFXUndoHolder* holder, const std::map<std::string, ShapeDef>& before,
            const std::map<std::string, ShapeDef>& after, const std::string& symbol, bool final)
        : MFXUndoCommand_Record(holder, "Undo Shape Definition Change", "Redo Shape Definition Change", before, after,
                                symbol, final),
          shapes(shapes) {}

protected:
    void apply(const std::map<std::string, ShapeDef>& records) override { shapes->apply(records, key); }

private:
    SymbolShapes* shapes;
};

void SymbolShapes::fillSymbols() {
    std::set<std::string> symbols;
    String2IDManager& registry = String2IDManager::instance();
    for (std::int32_t id = firstUserSymbolID; id < registry.getNextID(); ++id) {
        try {
            symbols.insert(registry.getName(id));
        } catch (const std::exception&) {}
    }
    for (const auto& shape : myHost.workbench().definition().getShapeDefs())
        if (!shape.first.empty()) symbols.insert(shape.first);
    const std::string chosen = chosenSymbol();
    mySymbols.assign(symbols.begin(), symbols.end());
    const auto found = std::find(mySymbols.begin(), mySymbols.end(), chosen);
    if (found != mySymbols.end())
        myChosen = static_cast<FXint>(found - mySymbols.begin());
    else
        myChosen = mySymbols.empty() ? -1 : 0;
    for (Editor* editor : myEditors) editor->showSymbols(mySymbols, myChosen);
    showShape();
}

void SymbolShapes::clear() {
    mySymbols.clear();
    myChosen = -1;
    for (Editor* editor : myEditors) editor->showSymbols(mySymbols, myChosen);
}

void SymbolShapes::choose(FXint index) {
    if (index >= 0 && index < static_cast<FXint>(mySymbols.size())) myChosen = index;
    showShape();
}

std::string SymbolShapes::chosenSymbol() const { return myChosen < 0 ? "" : mySymbols[myChosen]; }

void SymbolShapes::showShape() {
    const std::string symbol = chosenSymbol();
    const auto& shapes = myHost.workbench().definition().getShapeDefs();
    const auto found = shapes.find(symbol);
    const ShapeDef shape = found != shapes.end() ? found->second : ShapeDef::forNewSymbol(symbol);
    for (Editor* editor : myEditors) editor->showShape(shape, myChosen);
}

void SymbolShapes::edit(bool final) {
    const std::string symbol = chosenSymbol();
    if (symbol.empty()) return;
    LSystemDefinition& definition = myHost.workbench().definition();
    const std::map<std::string, ShapeDef> before = definition.getShapeDefs();
    const auto found = before.find(symbol);
    const ShapeDef old = found != before.end() ? found->second : ShapeDef::forNewSymbol(symbol);
    ShapeDef shape = old;
    for (const Editor* editor : myEditors) editor->readShape(shape);
    MFXUndoHolder& undo = myHost.undoHolder();
    // A dial or swatch that is still moving merges into one entry until it
    // settles; the picture follows it.
    if (found != before.end() && shape == old) {
        if (final) undo.record(new Command(this, &undo, before, before, symbol, true), false);
        return;
    }
    std::map<std::string, ShapeDef> after = before;
    after[symbol] = shape;
    definition.setShapeDefs(after);
    showShape();
    undo.add(new Command(this, &undo, before, after, symbol, final));
    if (final)
        myHost.reinterpret();
    else
        myHost.reinterpretLive();
}

void SymbolShapes::apply(const std::map<std::string, ShapeDef>& shapes, const std::string& symbol) {
    myHost.workbench().definition().setShapeDefs(shapes);
    const auto found = std::find(mySymbols.begin(), mySymbols.end(), symbol);
    if (found != mySymbols.end()) myChosen = static_cast<FXint>(found - mySymbols.begin());
    showShape();
    myHost.reinterpret();
}
