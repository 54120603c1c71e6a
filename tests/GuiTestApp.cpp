#include "GuiTestApp.h"

// clang-format off
FXDEFMAP(Poller) PollerMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, Poller::ID_TICK, Poller::onTick),
};
// clang-format on

FXIMPLEMENT(Poller, FXObject, PollerMap, ARRAYNUMBER(PollerMap))
