#pragma once
// The Symbol Help tab: what each turtle symbol does.

#include <fx.h>

class SymbolHelpTable;

class SymbolHelpPanel : public FXVerticalFrame {
    FXDECLARE(SymbolHelpPanel)
public:
    explicit SymbolHelpPanel(FXComposite* parent);

    void create() override;

    SymbolHelpTable* table() const { return myTable; }

protected:
    SymbolHelpPanel() = default;

private:
    SymbolHelpTable* myTable = nullptr;
};
