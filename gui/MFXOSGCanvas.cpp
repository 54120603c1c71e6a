#include "gui/MFXOSGCanvas.h"

// clang-format off
FXDEFMAP(MFXOSGCanvas) MFXOSGCanvasMap[] = {
    FXMAPFUNC(SEL_KEYPRESS, 0, MFXOSGCanvas::onKeyPress),
    FXMAPFUNC(SEL_KEYRELEASE, 0, MFXOSGCanvas::onKeyRelease),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, 0, MFXOSGCanvas::onButtonPress),
    FXMAPFUNC(SEL_MIDDLEBUTTONPRESS, 0, MFXOSGCanvas::onButtonPress),
    FXMAPFUNC(SEL_RIGHTBUTTONPRESS, 0, MFXOSGCanvas::onButtonPress),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, 0, MFXOSGCanvas::onButtonRelease),
    FXMAPFUNC(SEL_MIDDLEBUTTONRELEASE, 0, MFXOSGCanvas::onButtonRelease),
    FXMAPFUNC(SEL_RIGHTBUTTONRELEASE, 0, MFXOSGCanvas::onButtonRelease),
    FXMAPFUNC(SEL_MOTION, 0, MFXOSGCanvas::onMotion),
    FXMAPFUNC(SEL_CONFIGURE, 0, MFXOSGCanvas::onConfigure),
    FXMAPFUNC(SEL_COMMAND, MFXOSGCanvas::ID_CENTER, MFXOSGCanvas::onCmdCenter),
};
// clang-format on

FXIMPLEMENT(MFXOSGCanvas, FXGLCanvas, MFXOSGCanvasMap, ARRAYNUMBER(MFXOSGCanvasMap))

namespace {

// The viewer's button number of a toolkit button message: 1 left, 2 middle,
// 3 right.
int buttonOf(FXSelector selector) {
    switch (FXSELTYPE(selector)) {
    case SEL_MIDDLEBUTTONPRESS:
    case SEL_MIDDLEBUTTONRELEASE:
        return 2;
    case SEL_RIGHTBUTTONPRESS:
    case SEL_RIGHTBUTTONRELEASE:
        return 3;
    default:
        return 1;
    }
}

} // namespace

MFXOSGCanvas::MFXOSGCanvas(FXComposite* parent, FXGLVisual* visual, SceneView& view, FXObject* target,
                           FXSelector selector, FXuint options, FXint x, FXint y, FXint width, FXint height)
    : FXGLCanvas(parent, visual, target, selector, options, x, y, width, height), myView(&view),
      myCrossCursor(new FXCursor(getApp(), CURSOR_CROSS)) {
    // The toolkit deletes its widgets itself: the reference held here keeps
    // the viewer's camera from deleting the canvas when it lets go of it.
    ref();
    _traits = new osg::GraphicsContext::Traits;
    _traits->width = 400;
    _traits->height = 400;
    setState(new osg::State);
    getState()->setGraphicsContext(this);
    getState()->setContextID(osg::GraphicsContext::createNewContextID());
    myView->viewer()->getCamera()->setGraphicsContext(this);
}

MFXOSGCanvas::~MFXOSGCanvas() {
    if (myView && myView->viewer()->getCamera()->getGraphicsContext() == this)
        myView->viewer()->getCamera()->setGraphicsContext(nullptr);
    delete myCrossCursor;
    unref_nodelete();
}

bool MFXOSGCanvas::renderFrame() {
    if (!FXGLCanvas::makeCurrent()) return false;
    myView->frame();
    FXGLCanvas::makeNonCurrent();
    return true;
}

bool MFXOSGCanvas::makeCurrentImplementation() { return FXGLCanvas::makeCurrent(); }

bool MFXOSGCanvas::releaseContextImplementation() { return FXGLCanvas::makeNonCurrent(); }

void MFXOSGCanvas::setCursor(MouseCursor cursor) {
    if (cursor == NoCursor)
        setDefaultCursor(getApp()->getDefaultCursor(DEF_ARROW_CURSOR));
    else
        setDefaultCursor(myCrossCursor);
}

long MFXOSGCanvas::onKeyPress(FXObject* sender, FXSelector selector, void* data) {
    myView->viewer()->getEventQueue()->keyPress(static_cast<FXEvent*>(data)->code);
    return FXGLCanvas::onKeyPress(sender, selector, data);
}

long MFXOSGCanvas::onKeyRelease(FXObject* sender, FXSelector selector, void* data) {
    myView->viewer()->getEventQueue()->keyRelease(static_cast<FXEvent*>(data)->code);
    return FXGLCanvas::onKeyRelease(sender, selector, data);
}

long MFXOSGCanvas::onButtonPress(FXObject* sender, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    setFocus();
    myView->viewer()->getEventQueue()->mouseButtonPress(event->win_x, event->win_y, buttonOf(selector));
    return onButtonDefault(sender, selector, data);
}

long MFXOSGCanvas::onButtonRelease(FXObject* sender, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    myView->viewer()->getEventQueue()->mouseButtonRelease(event->win_x, event->win_y, buttonOf(selector));
    return onButtonDefault(sender, selector, data);
}

long MFXOSGCanvas::onButtonDefault(FXObject* sender, FXSelector selector, void* data) {
    switch (FXSELTYPE(selector)) {
    case SEL_LEFTBUTTONPRESS:
        return FXGLCanvas::onLeftBtnPress(sender, selector, data);
    case SEL_LEFTBUTTONRELEASE:
        return FXGLCanvas::onLeftBtnRelease(sender, selector, data);
    case SEL_MIDDLEBUTTONPRESS:
        return FXGLCanvas::onMiddleBtnPress(sender, selector, data);
    case SEL_MIDDLEBUTTONRELEASE:
        return FXGLCanvas::onMiddleBtnRelease(sender, selector, data);
    case SEL_RIGHTBUTTONPRESS:
        return FXGLCanvas::onRightBtnPress(sender, selector, data);
    default:
        return FXGLCanvas::onRightBtnRelease(sender, selector, data);
    }
}

long MFXOSGCanvas::onMotion(FXObject* sender, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    myView->viewer()->getEventQueue()->mouseMotion(event->win_x, event->win_y);
    return FXGLCanvas::onMotion(sender, selector, data);
}

long MFXOSGCanvas::onConfigure(FXObject* sender, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    myView->resize(event->rect.w, event->rect.h);
    const long handled = FXGLCanvas::onConfigure(sender, selector, data);
    renderFrame();
    return handled;
}

long MFXOSGCanvas::onCmdCenter(FXObject*, FXSelector, void*) {
    myView->manipulator()->home(1.0);
    return 1;
}
