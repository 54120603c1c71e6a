#include "gui/panels/StatisticsPanel.h"

#include "interpretation/TextTree.h"

#include <functional>

FXIMPLEMENT(StatisticsPanel, FXVerticalFrame, nullptr, 0)

StatisticsPanel::StatisticsPanel(FXComposite* parent)
    : FXVerticalFrame(parent, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y) {
    auto* frame =
        new FXVerticalFrame(this, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    myTree = new FXTreeList(frame, nullptr, 0,
                            TREELIST_SHOWS_LINES | TREELIST_SHOWS_BOXES | TREELIST_ROOT_BOXES | LAYOUT_FILL_X |
                                LAYOUT_FILL_Y);
}

void StatisticsPanel::showStatistics(const TextTree& statistics) {
    myTree->clearItems();
    const std::function<void(FXTreeItem*, const std::vector<TextTreeItem>&)> add =
        [&](FXTreeItem* parent, const std::vector<TextTreeItem>& items) {
            for (const TextTreeItem& item : items) {
                FXTreeItem* shown = myTree->appendItem(parent, item.text.c_str());
                add(shown, item.children);
                myTree->expandTree(shown);
            }
        };
    add(nullptr, statistics.items());
}

void StatisticsPanel::clear() { myTree->clearItems(); }
