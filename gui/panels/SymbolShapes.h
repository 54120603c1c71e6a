#pragma once
// The symbol whose shape definition the Shaping and Coloring tabs edit, and
// the edits of that record. Each of the two tabs is an editor of its part of
// the record (the geometry, the colouring); both choose among the same
// symbols and always show the same one.

#include "records/ShapeDef.h"

#include <fx.h>

#include <map>
#include <string>
#include <vector>

class PanelHost;

class SymbolShapes {
public:
    class Editor {
    public:
        virtual ~Editor() = default;
        // The symbols to choose from, and the chosen one (-1: none).
        virtual void showSymbols(const std::vector<std::string>& symbols, FXint chosen) = 0;
        virtual void showShape(const ShapeDef& shape, FXint chosen) = 0;
        // Writes the editor's part of the record.
        virtual void readShape(ShapeDef& shape) const = 0;
    };

    explicit SymbolShapes(PanelHost& host) : myHost(host) {}

    void addEditor(Editor* editor) { myEditors.push_back(editor); }
    // Every user symbol known by now and the shaped built-in ones; the chosen
    // symbol stays chosen while it is among them, else the first is.
    void fillSymbols();
    // Forgets the symbols of the document before.
    void clear();
    void choose(FXint index);
    // The editors' widgets changed the chosen symbol's record; a widget that
    // is still moving (final false) merges into one undo entry until it settles.
    void edit(bool final);
    // Writes the records back (undo and redo) and shows the symbol.
    void apply(const std::map<std::string, ShapeDef>& shapes, const std::string& symbol);

private:
    class Command;

    std::string chosenSymbol() const;
    void showShape();

    PanelHost& myHost;
    std::vector<Editor*> myEditors;
    std::vector<std::string> mySymbols;
    FXint myChosen = -1;
};
