#pragma once
// The column and row headers of MFXAddEditTypedTable: a click on an item
// selects its column or row through the table's own selectors. A column of
// zero width is hidden.

#include <fx.h>

class MFXHeader : public FXHeader {
    FXDECLARE(MFXHeader)
public:
    // The column header (horizontal, 20 pixels high) or the row header
    // (vertical, 100 pixels wide) of the table.
    MFXHeader(FXTable* table, bool columns);

protected:
    MFXHeader() = default;
};
