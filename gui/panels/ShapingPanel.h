#pragma once
// The Shaping tab: per symbol, whether it is interpreted and visible, and
// its shape (line, tube, cone, ball or torus) with sizes, quality and caps.

#include "gui/panels/SymbolShapes.h"

#include <fx.h>

#include <array>

class FXRealSpinDial;

class ShapingPanel : public FXVerticalFrame, public SymbolShapes::Editor {
    FXDECLARE(ShapingPanel)
public:
    enum { ID_ITEM = FXVerticalFrame::ID_LAST, ID_SHAPE, ID_SHAPETYPE, ID_LAST };

    ShapingPanel(FXComposite* parent, SymbolShapes& shapes);

    void showSymbols(const std::vector<std::string>& symbols, FXint chosen) override;
    void showShape(const ShapeDef& shape, FXint chosen) override;
    void readShape(ShapeDef& shape) const override;

    long onCmdItem(FXObject*, FXSelector, void*);
    long onCmdShape(FXObject*, FXSelector, void*);

protected:
    ShapingPanel() = default;

private:
    static constexpr int shapeTypes = 5;

    SymbolShapes* myShapes = nullptr;
    FXListBox* myItem = nullptr;
    FXCheckButton* myInterpretedCheck = nullptr;
    FXCheckButton* myVisibleCheck = nullptr;
    FXListBox* myShapeType = nullptr;
    FXSwitcher* myShapePanels = nullptr;
    // Per shape type: length, width, second width.
    std::array<std::array<FXRealSpinDial*, 3>, shapeTypes> myShapeDials{};
    std::array<FXListBox*, shapeTypes> myQualityBoxes{};
    std::array<std::array<FXListBox*, 2>, shapeTypes> myCapBoxes{};
    std::array<FXCheckButton*, shapeTypes> myAddLineChecks{};
};
