#include "gui/panels/ColoringPanel.h"

#include "editors/MFXMatPaletteWell.h"
#include "editors/MFXMaterialWell.h"
#include "gui/FXRealSpinDial.h"
#include "gui/panels/PanelKit.h"

#include <algorithm>
#include <cmath>

// clang-format off
FXDEFMAP(ColoringPanel) ColoringPanelMap[] = {
    FXMAPFUNC(SEL_COMMAND, ColoringPanel::ID_ITEM, ColoringPanel::onCmdItem),
    FXMAPFUNC(SEL_COMMAND, ColoringPanel::ID_COLOR, ColoringPanel::onCmdColor),
    FXMAPFUNC(SEL_CHANGED, ColoringPanel::ID_COLOR, ColoringPanel::onCmdColor),
    FXMAPFUNC(SEL_COMMAND, ColoringPanel::ID_COLORINGTYPE, ColoringPanel::onCmdColor),
};
// clang-format on

FXIMPLEMENT(ColoringPanel, FXVerticalFrame, ColoringPanelMap, ARRAYNUMBER(ColoringPanelMap))

ColoringPanel::ColoringPanel(FXComposite* parent, SymbolShapes& shapes)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y), myShapes(&shapes) {
    FXMatrix* top = makeGrid(this);
    new FXLabel(top, "Item:");
    myItem = makeChoice(top, this, ID_ITEM);
    new FXLabel(top, "Coloring type:");
    myColoringType = makeEnumChoice<ColoringMode>(top, this, ID_COLORINGTYPE);
    myColorPanels = new FXSwitcher(this, LAYOUT_FILL_X | FRAME_GROOVE);

    FXMatrix* single = makeGrid(new FXVerticalFrame(myColorPanels, LAYOUT_FILL_X));
    new FXLabel(single, "Material:");
    myMaterialWell = new MFXMaterialWell(single, GLMaterial::shapeDefault(), this, ID_COLOR,
                                         FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 64);

    auto* palettes = new FXVerticalFrame(myColorPanels, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    FXMatrix* paletteGrid = makeGrid(palettes);
    new FXLabel(paletteGrid, "Palette:");
    myPaletteWell = new MFXMatPaletteWell(paletteGrid, this, ID_COLOR,
                                          FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 128, 64);
    myPaletteRange = new FXSwitcher(palettes, LAYOUT_FILL_X);
    const DialRange index{"%.0f", 0, 255, 1, 1, 10, 0};
    FXMatrix* offset = makeGrid(new FXVerticalFrame(myPaletteRange, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0));
    new FXLabel(offset, "Offset:");
    myOffsetDial = makeDial(offset, this, ID_COLOR, index);
    FXMatrix* range = makeGrid(new FXVerticalFrame(myPaletteRange, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0));
    new FXLabel(range, "Starting Index:");
    myStartDial = makeDial(range, this, ID_COLOR, index);
    new FXLabel(range, "Ending Index:");
    myEndDial = makeDial(range, this, ID_COLOR, {"%.0f", 0, 255, 1, 1, 10, 255});
    shapes.addEditor(this);
}

void ColoringPanel::showSymbols(const std::vector<std::string>& symbols, FXint chosen) {
    myItem->clearItems();
    for (const std::string& symbol : symbols) myItem->appendItem(symbol.c_str());
    myItem->setNumVisible(std::max<FXint>(1, std::min<FXint>(12, static_cast<FXint>(symbols.size()))));
    if (chosen >= 0) myItem->setCurrentItem(chosen);
}

void ColoringPanel::showShape(const ShapeDef& shape, FXint chosen) {
    myItem->setCurrentItem(chosen);
    myColoringType->setCurrentItem(static_cast<int>(shape.coloringType));
    myColorPanels->setCurrent(shape.coloringType == ColoringMode::Single ? 0 : 1);
    myPaletteRange->setCurrent(shape.coloringType == ColoringMode::PaletteIndex ? 0 : 1);
    myMaterialWell->setMaterial(shape.material);
    myPaletteWell->setPalette(shape.palette);
    myOffsetDial->setValue(shape.indexOffset);
    myStartDial->setValue(shape.minColor);
    myEndDial->setValue(shape.maxColor);
}

void ColoringPanel::readShape(ShapeDef& shape) const {
    shape.coloringType = static_cast<ColoringMode>(myColoringType->getCurrentItem());
    shape.material = myMaterialWell->getMaterial();
    shape.palette = myPaletteWell->getPalette();
    shape.indexOffset = static_cast<std::int32_t>(std::lround(myOffsetDial->getValue()));
    shape.minColor = static_cast<std::int32_t>(std::lround(myStartDial->getValue()));
    shape.maxColor = static_cast<std::int32_t>(std::lround(myEndDial->getValue()));
}

long ColoringPanel::onCmdItem(FXObject*, FXSelector, void*) {
    myShapes->choose(myItem->getCurrentItem());
    return 1;
}

long ColoringPanel::onCmdColor(FXObject*, FXSelector selector, void*) {
    myShapes->edit(FXSELTYPE(selector) == SEL_COMMAND);
    return 1;
}
