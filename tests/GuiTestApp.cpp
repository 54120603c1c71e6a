#include "GuiTestApp.h"

// clang-format off
FXDEFMAP(Recorder) RecorderMap[] = {
    FXMAPTYPE(SEL_COMMAND, Recorder::onMessage),
    FXMAPTYPE(SEL_CHANGED, Recorder::onMessage),
    FXMAPTYPE(SEL_REPLACED, Recorder::onMessage),
    FXMAPTYPE(SEL_TIMEOUT, Recorder::onMessage),
    FXMAPTYPE(SEL_CLICKED, Recorder::onClicked),
};
// clang-format on

FXIMPLEMENT(Recorder, FXObject, RecorderMap, ARRAYNUMBER(RecorderMap))
