#pragma once
// The Coloring tab: per symbol, one material, or a palette used by index, at
// random or in turn.

#include "gui/panels/SymbolShapes.h"

#include <fx.h>

class FXRealSpinDial;
class MFXMaterialWell;
class MFXMatPaletteWell;

class ColoringPanel : public FXVerticalFrame, public SymbolShapes::Editor {
    FXDECLARE(ColoringPanel)
public:
    enum { ID_ITEM = FXVerticalFrame::ID_LAST, ID_COLOR, ID_COLORINGTYPE, ID_LAST };

    ColoringPanel(FXComposite* parent, SymbolShapes& shapes);

    void showSymbols(const std::vector<std::string>& symbols, FXint chosen) override;
    void showShape(const ShapeDef& shape, FXint chosen) override;
    void readShape(ShapeDef& shape) const override;

    long onCmdItem(FXObject*, FXSelector, void*);
    long onCmdColor(FXObject*, FXSelector, void*);

protected:
    ColoringPanel() = default;

private:
    SymbolShapes* myShapes = nullptr;
    FXListBox* myItem = nullptr;
    FXListBox* myColoringType = nullptr;
    FXSwitcher* myColorPanels = nullptr;
    MFXMaterialWell* myMaterialWell = nullptr;
    MFXMatPaletteWell* myPaletteWell = nullptr;
    FXRealSpinDial* myOffsetDial = nullptr;
    FXRealSpinDial* myStartDial = nullptr;
    FXRealSpinDial* myEndDial = nullptr;
    FXSwitcher* myPaletteRange = nullptr;
};
