#include "gui/panels/ConstantSliders.h"

#include "gui/MFXAddEditTypedTable.h"
#include "gui/MFXUndoHolder.h"
#include "gui/panels/PanelKit.h"
#include "lsys/LSystemDefinition.h"
#include "options/TextConvert.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>

// clang-format off
FXDEFMAP(ConstantSliders) ConstantSlidersMap[] = {
    FXMAPFUNC(SEL_CHANGED, ConstantSliders::ID_SLIDER, ConstantSliders::onSlider),
    FXMAPFUNC(SEL_COMMAND, ConstantSliders::ID_SLIDER, ConstantSliders::onSlider),
    FXMAPFUNC(SEL_COMMAND, ConstantSliders::ID_LOW, ConstantSliders::onRange),
    FXMAPFUNC(SEL_COMMAND, ConstantSliders::ID_HIGH, ConstantSliders::onRange),
};
// clang-format on

FXIMPLEMENT(ConstantSliders, FXVerticalFrame, ConstantSlidersMap, ARRAYNUMBER(ConstantSlidersMap))

namespace {

// Fixed-point text without the zeros that end its fraction ("0.54", "45").
std::string shortNumber(double value, int digits) {
    std::string text = TextConvert::toString(value, digits);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

bool isName(const std::string& text) {
    if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_')) return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// The slider's steps: a thousand across its range.
constexpr double stepsPerRange = 1000;

} // namespace

ConstantSliders::ConstantSliders(FXComposite* parent, MFXAddEditTypedTable* table, MFXUndoHolder* holder,
                                 FXObject* target, FXSelector selector)
    : FXVerticalFrame(parent, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0), myTable(table), myHolder(holder) {
    setTarget(target);
    setSelector(selector);
    myGrid = new FXMatrix(this, 5, MATRIX_BY_COLUMNS | LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    myComputedTitle = new FXLabel(this, "Computed:");
    myComputedList = new FXVerticalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
}

bool ConstantSliders::plainNumber(const std::string& formula, double& value) {
    static const std::regex number(R"([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
    const std::string text = TextConvert::trim(formula);
    if (!std::regex_match(text, number)) return false;
    value = std::strtod(text.c_str(), nullptr);
    return std::isfinite(value);
}

std::vector<std::string> ConstantSliders::turnParameters(const LSystemDefinition& definition) {
    std::vector<std::string> texts{definition.getAxiom()};
    for (const RuleRow& rule : definition.getRules()) texts.push_back(rule.successor);
    std::vector<std::string> names;
    for (const std::string& text : texts) {
        // Only symbols count: a "-" inside a parameter is a subtraction.
        int depth = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                --depth;
            } else if (depth == 0 && c != '\0' && std::strchr("+-&^\\/", c)) {
                const std::size_t open = text.find_first_not_of(" \t", i + 1);
                if (open == std::string::npos || text[open] != '(') continue;
                const std::size_t close = text.find(')', open);
                if (close == std::string::npos) continue;
                const std::string parameter = TextConvert::trim(text.substr(open + 1, close - open - 1));
                if (isName(parameter)) names.push_back(parameter);
            }
        }
    }
    return names;
}

void ConstantSliders::showConstants(const LSystemDefinition& definition) {
    struct Plain {
        std::string name;
        std::string formula;
        double value;
    };
    std::vector<Plain> plain;
    std::vector<std::string> computed;
    // The special variables have dials of their own.
    for (const auto& [name, constant] : definition.getConstants()) {
        if (definition.isReserved(name)) continue;
        double value = 0;
        if (constant.arguments.empty() && plainNumber(constant.value, value))
            plain.push_back({name, TextConvert::trim(constant.value), value});
        else if (constant.arguments.empty())
            computed.push_back(name + " = " + TextConvert::trim(constant.value));
        else
            computed.push_back(name + "(" + constant.arguments + ") = " + TextConvert::trim(constant.value));
    }

    const bool same = computed == myComputed && plain.size() == myRows.size() &&
                      std::equal(plain.begin(), plain.end(), myRows.begin(),
                                 [](const Plain& constant, const Row& row) { return constant.name == row.name; });
    if (!same) {
        while (myGrid->getFirst()) delete myGrid->getFirst();
        while (myComputedList->getFirst()) delete myComputedList->getFirst();
        myRows.clear();
        for (const Plain& constant : plain) {
            const FXuval index = myRows.size();
            new FXLabel(myGrid, constant.name.c_str(), nullptr, JUSTIFY_LEFT | LAYOUT_CENTER_Y);
            Row row;
            row.name = constant.name;
            row.low = new FXTextField(myGrid, 5, this, ID_LOW,
                                      TEXTFIELD_REAL | JUSTIFY_RIGHT | FRAME_SUNKEN | FRAME_THICK | LAYOUT_CENTER_Y);
            row.slider = new FXRealSlider(myGrid, this, ID_SLIDER,
                                          REALSLIDER_NORMAL | LAYOUT_FILL_X | LAYOUT_FILL_COLUMN | LAYOUT_CENTER_Y);
            row.high = new FXTextField(myGrid, 5, this, ID_HIGH,
                                       TEXTFIELD_REAL | JUSTIFY_RIGHT | FRAME_SUNKEN | FRAME_THICK | LAYOUT_CENTER_Y);
            row.value = new FXLabel(myGrid, FXString::null, nullptr, JUSTIFY_RIGHT | LAYOUT_CENTER_Y);
            for (FXWindow* widget : {static_cast<FXWindow*>(row.low), static_cast<FXWindow*>(row.slider),
                                     static_cast<FXWindow*>(row.high)})
                widget->setUserData(reinterpret_cast<void*>(index));
            myRows.push_back(row);
        }
        for (const std::string& line : computed) new FXLabel(myComputedList, line.c_str(), nullptr, JUSTIFY_LEFT);
        myComputed = computed;
        if (computed.empty())
            myComputedTitle->hide();
        else
            myComputedTitle->show();
        if (id()) create();
        recalc();
    }

    const std::vector<std::string> angles = turnParameters(definition);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        Row& row = myRows[i];
        const double value = plain[i].value;
        if (!myRanges.count(row.name)) {
            const bool angle = std::find(angles.begin(), angles.end(), row.name) != angles.end();
            if (angle)
                myRanges[row.name] = {-180, 180};
            else if (value == 0)
                myRanges[row.name] = {-1, 1};
            else
                myRanges[row.name] = {std::min(0.0, 2 * value), std::max(0.0, 2 * value)};
        }
        row.value->setText(plain[i].formula.c_str());
        showValue(row, value);
    }
}

void ConstantSliders::showValue(Row& row, double value) {
    row.number = value;
    // The range limits what dragging reaches, never what the constant holds.
    Range& range = myRanges[row.name];
    range = {std::min(range.first, value), std::max(range.second, value)};
    showRange(row);
}

void ConstantSliders::showRange(Row& row) {
    const Range& range = myRanges[row.name];
    row.low->setText(shortNumber(range.first, 6).c_str());
    row.high->setText(shortNumber(range.second, 6).c_str());
    row.slider->setRange(range.first, range.second);
    row.slider->setIncrement((range.second - range.first) / stepsPerRange);
    row.slider->setValue(row.number);
}

std::string ConstantSliders::numberText(const Row& row, double value) const {
    const Range& range = myRanges.at(row.name);
    const double step = (range.second - range.first) / stepsPerRange;
    const int digits = std::clamp(static_cast<int>(std::ceil(-std::log10(step))), 0, 6);
    return shortNumber(value, digits);
}

long ConstantSliders::onSlider(FXObject* sender, FXSelector selector, void*) {
    auto* slider = static_cast<FXRealSlider*>(sender);
    Row& row = myRows.at(reinterpret_cast<FXuval>(slider->getUserData()));
    FXint tableRow = 0;
    while (tableRow < myTable->getNumRows() && cellText(myTable, tableRow, 0) != row.name) ++tableRow;
    if (tableRow == myTable->getNumRows()) return 1;
    // The edit typing the number into the table would make: one entry for
    // the drag, closed when the slider is let go.
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    const FXString old = myTable->getItemText(tableRow, 1);
    const std::string text = numberText(row, slider->getValue());
    myHolder->record(
        new MFXAddEditTypedTable::MFXUndoCommand_CellChange(myTable, myHolder, tableRow, 1, old, text.c_str(), final),
        old != text.c_str());
    if (old == text.c_str()) return 1;
    setCell(myTable, tableRow, 1, text.c_str());
    row.number = std::strtod(text.c_str(), nullptr);
    row.value->setText(text.c_str());
    if (target) target->tryHandle(this, FXSEL(final ? SEL_COMMAND : SEL_CHANGED, message), nullptr);
    return 1;
}

long ConstantSliders::onRange(FXObject* sender, FXSelector selector, void*) {
    auto* field = static_cast<FXTextField*>(sender);
    Row& row = myRows.at(reinterpret_cast<FXuval>(field->getUserData()));
    Range& range = myRanges[row.name];
    Range wanted = range;
    double typed = 0;
    if (plainNumber(field->getText().text(), typed))
        (FXSELID(selector) == ID_LOW ? wanted.first : wanted.second) = typed;
    // A range that is empty or upside down is refused: the old one shows again.
    if (wanted.first < wanted.second) range = wanted;
    showRange(row);
    return 1;
}

const ConstantSliders::Row* ConstantSliders::findRow(const std::string& name) const {
    for (const Row& row : myRows)
        if (row.name == name) return &row;
    return nullptr;
}

FXRealSlider* ConstantSliders::slider(const std::string& name) const {
    const Row* found = findRow(name);
    return found ? found->slider : nullptr;
}

FXTextField* ConstantSliders::lowField(const std::string& name) const {
    const Row* found = findRow(name);
    return found ? found->low : nullptr;
}

FXTextField* ConstantSliders::highField(const std::string& name) const {
    const Row* found = findRow(name);
    return found ? found->high : nullptr;
}

FXLabel* ConstantSliders::valueLabel(const std::string& name) const {
    const Row* found = findRow(name);
    return found ? found->value : nullptr;
}

std::vector<std::string> ConstantSliders::computed() const { return myComputed; }
