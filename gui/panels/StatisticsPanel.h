#pragma once
// The Statistics tab: what the last interpretation drew, symbol by symbol.

#include <fx.h>

class TextTree;

class StatisticsPanel : public FXVerticalFrame {
    FXDECLARE(StatisticsPanel)
public:
    explicit StatisticsPanel(FXComposite* parent);

    // Shows the statistics, every item expanded.
    void showStatistics(const TextTree& statistics);
    void clear();

    FXTreeList* tree() const { return myTree; }

protected:
    StatisticsPanel() = default;

private:
    FXTreeList* myTree = nullptr;
};
