#pragma once
// The Processor Extensions tab: the symbols ignored when matching contexts,
// the constants and functions, and below their table the constants'
// sliders, so that a value moved shows in its row as it changes.

#include <fx.h>

#include <string>

class ConstantSliders;
class MFXAddEditTypedTable;
class PanelHost;

class ExtensionsPanel : public FXVerticalFrame {
    FXDECLARE(ExtensionsPanel)
public:
    enum { ID_IGNORE = FXVerticalFrame::ID_LAST, ID_CONSTANTS, ID_SLIDERS, ID_LAST };

    ExtensionsPanel(FXComposite* parent, PanelHost& host);

    void create() override;
    // Shows the document.
    void showDocument();

    MFXAddEditTypedTable* constantsTable() const { return myConstantsTable; }
    ConstantSliders* sliders() const { return mySliders; }

    long onIgnoredChanged(FXObject*, FXSelector, void*);
    long onConstantsChanged(FXObject*, FXSelector, void*);
    long onSliderMoved(FXObject*, FXSelector, void*);

protected:
    ExtensionsPanel() = default;

private:
    // Enters the table's constants into the definition and computes anew;
    // live while a slider is dragged.
    void applyConstants(FXint removedRow, bool live);

    PanelHost* myHost = nullptr;
    MFXAddEditTypedTable* myIgnoreTable = nullptr;
    MFXAddEditTypedTable* myConstantsTable = nullptr;
    ConstantSliders* mySliders = nullptr;
    // The file of the document shown.
    std::string myShownFile;
};
