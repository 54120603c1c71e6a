#include "gui/MFXHeader.h"

FXIMPLEMENT(MFXHeader, FXHeader, nullptr, 0)

namespace {
const FXuint headerStyle = HEADER_TRACKING | HEADER_BUTTON | HEADER_RESIZE | FRAME_RAISED | FRAME_THICK;
}

MFXHeader::MFXHeader(FXTable* table, bool columns)
    : FXHeader(table, table, columns ? FXTable::ID_SELECT_COLUMN_INDEX : FXTable::ID_SELECT_ROW_INDEX,
               columns ? HEADER_HORIZONTAL | headerStyle | LAYOUT_FIX_HEIGHT
                       : HEADER_VERTICAL | headerStyle | LAYOUT_FIX_WIDTH,
               0, 0, columns ? 0 : 100, columns ? 20 : 0) {}
