#pragma once
// The widgets the tab panels are built of, made the same way on every tab,
// and the values a new document starts from.

#include "records/ShapeEnums.h"

#include <fx.h>

#include <initializer_list>
#include <string>

class FXRealSpinDial;
class MFXAddEditTypedTable;
class MFXUndoHolder;

// The dials' values of a new document, and the special variables of the
// default rotations and the initial direction.
inline constexpr double defaultIterations = 3;
inline constexpr double defaultSeed = 42;
inline constexpr const char* rotationVariables[] = {"_rotX", "_rotY", "_rotZ"};
inline constexpr const char* directionVariables[] = {"_idirX", "_idirY", "_idirZ"};

struct DialRange {
    const char* format;
    double low, high;
    double fine, normal, coarse;
    double initial;
};

FXRealSpinDial* makeDial(FXComposite* parent, FXObject* target, FXSelector selector, const DialRange& range);
// Shows a number of the document. The dial's range limits what dragging
// reaches, never what the file holds: a value beyond it widens the range.
void showNumber(FXRealSpinDial* dial, double value);

FXListBox* makeChoice(FXComposite* parent, FXObject* target, FXSelector selector);

template <class Enum>
FXListBox* makeEnumChoice(FXComposite* parent, FXObject* target, FXSelector selector) {
    FXListBox* box = makeChoice(parent, target, selector);
    for (const char* label : EnumTexts<Enum>::labels) box->appendItem(label);
    box->setNumVisible(enumCount<Enum>());
    return box;
}

// Two columns: labels and what they name.
FXMatrix* makeGrid(FXComposite* parent);

// A table in a sunken frame with the columns' titles and one empty row.
MFXAddEditTypedTable* makeTable(FXComposite* parent, MFXUndoHolder* holder, FXObject* target, FXSelector selector,
                                std::initializer_list<const char*> columns);
// Makes the column titles as high as the normal font needs; once created.
void fitColumnHeader(FXTable* table);

// A cell's text read from the left, as it is typed.
void setCell(FXTable* table, int row, int column, const char* text);
std::string cellText(FXTable* table, int row, int column);
