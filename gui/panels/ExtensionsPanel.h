#pragma once
// The Processor Extensions tab: the symbols ignored when matching contexts,
// and the constants and functions.

#include <fx.h>

class MFXAddEditTypedTable;
class PanelHost;

class ExtensionsPanel : public FXVerticalFrame {
    FXDECLARE(ExtensionsPanel)
public:
    enum { ID_IGNORE = FXVerticalFrame::ID_LAST, ID_CONSTANTS, ID_LAST };

    ExtensionsPanel(FXComposite* parent, PanelHost& host);

    void create() override;
    // Shows the document.
    void showDocument();

    MFXAddEditTypedTable* constantsTable() const { return myConstantsTable; }

    long onIgnoredChanged(FXObject*, FXSelector, void*);
    long onConstantsChanged(FXObject*, FXSelector, void*);

protected:
    ExtensionsPanel() = default;

private:
    PanelHost* myHost = nullptr;
    MFXAddEditTypedTable* myIgnoreTable = nullptr;
    MFXAddEditTypedTable* myConstantsTable = nullptr;
};
