#include "GuiTestApp.h"

// clang-format off
FXDEFMAP(Poller) PollerMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, Poller::ID_TICK, Poller::onTick),
};
FXDEFMAP(Recorder) RecorderMap[] = {
    FXMAPTYPE(SEL_COMMAND, Recorder::onMessage),
    FXMAPTYPE(SEL_CHANGED, Recorder::onMessage),
    FXMAPTYPE(SEL_REPLACED, Recorder::onMessage),
    FXMAPTYPE(SEL_CLICKED, Recorder::onClicked),
};
// clang-format on

FXIMPLEMENT(Poller, FXObject, PollerMap, ARRAYNUMBER(PollerMap))
FXIMPLEMENT(Recorder, FXObject, RecorderMap, ARRAYNUMBER(RecorderMap))
