#pragma once
// The constants by hand: a slider for every constant whose definition is a
// plain number, with its name and value and two fields at its ends that set
// its range; the other constants and the functions are listed as computed.
//
// A slider edits the constant's row of the constants table as typing the
// number there would: the same undo command, one entry per drag. Then it
// tells its target, with its own selector, SEL_CHANGED while it is dragged
// and SEL_COMMAND when it is let go; the target applies the table.
//
// A range starts from 0 to twice the value (-1 to 1 for 0), or -180 to 180
// for a constant that is the whole parameter of a turn, pitch or roll in the
// axiom or a rule (an angle); a value beyond it widens it. The ranges are
// kept by name until the document is replaced; they are not saved.

#include <fx.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class LSystemDefinition;
class MFXAddEditTypedTable;
class MFXUndoHolder;

class ConstantSliders : public FXVerticalFrame {
    FXDECLARE(ConstantSliders)
public:
    enum { ID_SLIDER = FXVerticalFrame::ID_LAST, ID_LOW, ID_HIGH, ID_LAST };

    ConstantSliders(FXComposite* parent, MFXAddEditTypedTable* table, MFXUndoHolder* holder, FXObject* target,
                    FXSelector selector);

    // Shows the definition's constants. While the same constants are plain
    // numbers only the values change, so that a slider being dragged stays.
    void showConstants(const LSystemDefinition& definition);
    // A new document: its constants start from their default ranges.
    void forgetRanges() { myRanges.clear(); }

    // The constant's widgets; null when it has no slider.
    FXRealSlider* slider(const std::string& name) const;
    FXTextField* lowField(const std::string& name) const;
    FXTextField* highField(const std::string& name) const;
    FXLabel* valueLabel(const std::string& name) const;
    // "NAME = FORMULA" of each constant shown as computed.
    std::vector<std::string> computed() const;

    // Whether the formula is one number and nothing else ("0.9", "-2", "1e-3").
    static bool plainNumber(const std::string& formula, double& value);
    // The names that stand alone as the parameter of a turn, pitch or roll
    // ("+(a)", "&( a )") in the axiom or a rule's successor.
    static std::vector<std::string> turnParameters(const LSystemDefinition& definition);

    long onSlider(FXObject*, FXSelector, void*);
    long onRange(FXObject*, FXSelector, void*);

protected:
    ConstantSliders() = default;

private:
    struct Row {
        std::string name;
        double number = 0;
        FXLabel* value = nullptr;
        FXTextField* low = nullptr;
        FXRealSlider* slider = nullptr;
        FXTextField* high = nullptr;
    };
    using Range = std::pair<double, double>;

    const Row* findRow(const std::string& name) const;
    void showValue(Row& row, double value);
    void showRange(Row& row);
    // The constant's number as the table stores it, to the slider's precision.
    std::string numberText(const Row& row, double value) const;

    MFXAddEditTypedTable* myTable = nullptr;
    MFXUndoHolder* myHolder = nullptr;
    FXMatrix* myGrid = nullptr;
    FXLabel* myComputedTitle = nullptr;
    FXVerticalFrame* myComputedList = nullptr;
    std::vector<Row> myRows;
    std::vector<std::string> myComputed;
    std::map<std::string, Range> myRanges;
};
