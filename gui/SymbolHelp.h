#pragma once
// The "Symbol interpretations:" table of the help tab: one read-only row per
// turtle symbol with its meaning and what it takes without a parameter, as
// the interpreter's symbol table says. The symbol and default columns fit
// their texts; the meanings wrap at the width left to them, each row as tall
// as its meaning, so that every text shows whole at any panel width.

#include <fx.h>

class SymbolHelpTable : public FXTable {
    FXDECLARE(SymbolHelpTable)
public:
    enum { SymbolColumn, MeaningColumn, DefaultColumn };

    SymbolHelpTable(FXComposite* parent, FXuint options = LAYOUT_FILL_X | LAYOUT_FILL_Y);

    void create() override;
    void layout() override;

    // The text broken into lines (at blanks) no wider than the width; a word
    // wider than that stands on a line of its own.
    static FXString wrap(const FXString& text, FXFont* font, FXint width);

protected:
    SymbolHelpTable() = default;

private:
    void fitColumn(FXint col);
    // Wraps the meanings for the width the table has now.
    void wrapMeanings();

    FXint wrappedFor = -1; // the meaning column width the texts are wrapped for
};
