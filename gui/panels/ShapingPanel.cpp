#include "gui/panels/ShapingPanel.h"

#include "gui/FXRealSpinDial.h"
#include "gui/panels/PanelKit.h"

#include <algorithm>

// clang-format off
FXDEFMAP(ShapingPanel) ShapingPanelMap[] = {
    FXMAPFUNC(SEL_COMMAND, ShapingPanel::ID_ITEM, ShapingPanel::onCmdItem),
    FXMAPFUNC(SEL_COMMAND, ShapingPanel::ID_SHAPE, ShapingPanel::onCmdShape),
    FXMAPFUNC(SEL_CHANGED, ShapingPanel::ID_SHAPE, ShapingPanel::onCmdShape),
    FXMAPFUNC(SEL_COMMAND, ShapingPanel::ID_SHAPETYPE, ShapingPanel::onCmdShape),
};
// clang-format on

FXIMPLEMENT(ShapingPanel, FXVerticalFrame, ShapingPanelMap, ARRAYNUMBER(ShapingPanelMap))

ShapingPanel::ShapingPanel(FXComposite* parent, SymbolShapes& shapes)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y), myShapes(&shapes) {
    FXMatrix* top = makeGrid(this);
    new FXLabel(top, "Item:");
    myItem = makeChoice(top, this, ID_ITEM);
    myInterpretedCheck = new FXCheckButton(this, "Interpreted", this, ID_SHAPE);
    myVisibleCheck = new FXCheckButton(this, "Visible", this, ID_SHAPE);
    FXMatrix* typeGrid = makeGrid(this);
    new FXLabel(typeGrid, "Shape:");
    myShapeType = makeEnumChoice<ShapeType>(typeGrid, this, ID_SHAPETYPE);
    myShapePanels = new FXSwitcher(this, LAYOUT_FILL_X | FRAME_GROOVE);

    const DialRange size{"%.2f", 0.01, 1000, 0.1, 0.1, 1, 1};
    const DialRange endWidth{"%.2f", 0, 1000, 0.01, 0.1, 1, 1};
    const auto panel = [&](ShapeType type, std::initializer_list<std::pair<const char*, DialRange>> dials, bool quality,
                           bool caps) {
        const int index = static_cast<int>(type);
        FXMatrix* grid = makeGrid(new FXVerticalFrame(myShapePanels, LAYOUT_FILL_X));
        int slot = 0;
        for (const auto& [label, range] : dials) {
            new FXLabel(grid, label);
            myShapeDials[index][slot++] = makeDial(grid, this, ID_SHAPE, range);
        }
        if (quality) {
            new FXLabel(grid, "Quality:");
            myQualityBoxes[index] = makeEnumChoice<ShapeQuality>(grid, this, ID_SHAPE);
        }
        if (caps) {
            new FXLabel(grid, "Begin cap:");
            myCapBoxes[index][0] = makeEnumChoice<CapKind>(grid, this, ID_SHAPE);
            new FXLabel(grid, "End cap:");
            myCapBoxes[index][1] = makeEnumChoice<CapKind>(grid, this, ID_SHAPE);
            new FXFrame(grid, 0);
            myAddLineChecks[index] = new FXCheckButton(grid, "Add line", this, ID_SHAPE);
        }
    };
    panel(ShapeType::Line, {{"Length:", size}, {"Width:", size}}, false, false);
    panel(ShapeType::Tube, {{"Length:", size}, {"Width:", size}}, true, true);
    panel(ShapeType::Cone, {{"Length:", size}, {"Begin Width:", endWidth}, {"End Width:", endWidth}}, true, true);
    panel(ShapeType::Ball, {{"Size:", size}}, true, false);
    panel(ShapeType::Torus, {{"Outer Width:", size}, {"Inner Width:", size}}, true, false);
    shapes.addEditor(this);
}

void ShapingPanel::showSymbols(const std::vector<std::string>& symbols, FXint chosen) {
    myItem->clearItems();
    for (const std::string& symbol : symbols) myItem->appendItem(symbol.c_str());
    myItem->setNumVisible(std::max<FXint>(1, std::min<FXint>(12, static_cast<FXint>(symbols.size()))));
    if (chosen >= 0) myItem->setCurrentItem(chosen);
}

void ShapingPanel::showShape(const ShapeDef& shape, FXint chosen) {
    if (chosen >= 0) myItem->setCurrentItem(chosen);
    const int type = static_cast<int>(shape.type);
    myInterpretedCheck->setCheck(shape.interpreted);
    myVisibleCheck->setCheck(shape.visible);
    myShapeType->setCurrentItem(type);
    myShapePanels->setCurrent(type);
    const double values[shapeTypes][3] = {{shape.length, shape.width, 0},
                                          {shape.length, shape.width, 0},
                                          {shape.length, shape.width, shape.width2},
                                          {shape.width, 0, 0},
                                          {shape.width, shape.innerWidth, 0}};
    for (int t = 0; t < shapeTypes; ++t) {
        for (int slot = 0; slot < 3; ++slot)
            if (myShapeDials[t][slot]) myShapeDials[t][slot]->setValue(values[t][slot]);
        if (myQualityBoxes[t]) myQualityBoxes[t]->setCurrentItem(static_cast<FXint>(shape.quality));
        if (myCapBoxes[t][0]) {
            myCapBoxes[t][0]->setCurrentItem(static_cast<FXint>(shape.closing1));
            myCapBoxes[t][1]->setCurrentItem(static_cast<FXint>(shape.closing2));
            myAddLineChecks[t]->setCheck(shape.addLine);
        }
    }
}

void ShapingPanel::readShape(ShapeDef& shape) const {
    shape.interpreted = myInterpretedCheck->getCheck();
    shape.visible = myVisibleCheck->getCheck();
    // The panel that shows is the one of the shape being edited.
    const int shown = myShapePanels->getCurrent();
    const auto dial = [&](int slot) { return myShapeDials[shown][slot]->getValue(); };
    switch (static_cast<ShapeType>(shown)) {
    case ShapeType::Line:
    case ShapeType::Tube:
        shape.length = dial(0);
        shape.width = dial(1);
        break;
    case ShapeType::Cone:
        shape.length = dial(0);
        shape.width = dial(1);
        shape.width2 = dial(2);
        break;
    case ShapeType::Ball:
        shape.width = dial(0);
        break;
    case ShapeType::Torus:
        shape.width = dial(0);
        shape.innerWidth = dial(1);
        break;
    }
    if (myQualityBoxes[shown]) shape.quality = static_cast<ShapeQuality>(myQualityBoxes[shown]->getCurrentItem());
    if (myCapBoxes[shown][0]) {
        shape.closing1 = static_cast<CapKind>(myCapBoxes[shown][0]->getCurrentItem());
        shape.closing2 = static_cast<CapKind>(myCapBoxes[shown][1]->getCurrentItem());
        shape.addLine = myAddLineChecks[shown]->getCheck();
    }
    shape.type = static_cast<ShapeType>(myShapeType->getCurrentItem());
}

long ShapingPanel::onCmdItem(FXObject*, FXSelector, void*) {
    myShapes->choose(myItem->getCurrentItem());
    return 1;
}

long ShapingPanel::onCmdShape(FXObject* sender, FXSelector selector, void*) {
    // A new type shows its own dials, which the record is read from.
    if (sender == myShapeType && myItem->getNumItems() > 0) myShapePanels->setCurrent(myShapeType->getCurrentItem());
    myShapes->edit(FXSELTYPE(selector) == SEL_COMMAND);
    return 1;
}
