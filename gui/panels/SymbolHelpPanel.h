#pragma once
// The Symbol Help tab: what each turtle symbol does.

#include <fx.h>

class MFXAddEditTypedTable;
class MFXUndoHolder;

class SymbolHelpPanel : public FXVerticalFrame {
    FXDECLARE(SymbolHelpPanel)
public:
    SymbolHelpPanel(FXComposite* parent, MFXUndoHolder& undo);

    void create() override;

    MFXAddEditTypedTable* table() const { return myTable; }

protected:
    SymbolHelpPanel() = default;

private:
    MFXAddEditTypedTable* myTable = nullptr;
};
