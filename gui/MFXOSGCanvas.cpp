#include "gui/MFXOSGCanvas.h"

#include "interpretation/MOSGInstancedGeometry.h"

#include <cstdlib>

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
    FXMAPFUNC(SEL_MOUSEWHEEL, 0, MFXOSGCanvas::onMouseWheel),
    FXMAPFUNC(SEL_PAINT, 0, MFXOSGCanvas::onPaint),
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
    releaseSharedShaders(getState());
    if (myView && myView->viewer()->getCamera()->getGraphicsContext() == this)
        myView->viewer()->getCamera()->setGraphicsContext(nullptr);
    delete myCrossCursor;
    unref_nodelete();
}

bool MFXOSGCanvas::renderFrame(bool plain) {
    if (!FXGLCanvas::makeCurrent()) return false;
    myView->frame(plain);
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

void MFXOSGCanvas::viewChanged() {
    if (target) target->handle(this, FXSEL(SEL_CHANGED, message), nullptr);
}

long MFXOSGCanvas::onKeyPress(FXObject* sender, FXSelector selector, void* data) {
    myView->viewer()->getEventQueue()->keyPress(static_cast<FXEvent*>(data)->code);
    viewChanged();
    return FXGLCanvas::onKeyPress(sender, selector, data);
}

long MFXOSGCanvas::onKeyRelease(FXObject* sender, FXSelector selector, void* data) {
    myView->viewer()->getEventQueue()->keyRelease(static_cast<FXEvent*>(data)->code);
    viewChanged();
    return FXGLCanvas::onKeyRelease(sender, selector, data);
}

long MFXOSGCanvas::onButtonPress(FXObject* sender, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    setFocus();
    myView->viewer()->getEventQueue()->mouseButtonPress(event->win_x, event->win_y, buttonOf(selector));
    viewChanged();
    return onButtonDefault(sender, selector, data);
}

long MFXOSGCanvas::onButtonRelease(FXObject* sender, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    myView->viewer()->getEventQueue()->mouseButtonRelease(event->win_x, event->win_y, buttonOf(selector));
    viewChanged();
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
    // Only a drag moves the model; a pointer passing over draws nothing.
    if (event->state & (LEFTBUTTONMASK | MIDDLEBUTTONMASK | RIGHTBUTTONMASK)) viewChanged();
    return FXGLCanvas::onMotion(sender, selector, data);
}

long MFXOSGCanvas::onMouseWheel(FXObject*, FXSelector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    // One notch is 120; the trackball zooms by a tenth a notch. The wheel
    // turned away from the user brings the model nearer (the trackball's
    // own "down").
    const int notches = event->code / 120 != 0 ? std::abs(event->code / 120) : 1;
    for (int i = 0; i < notches; ++i)
        myView->viewer()->getEventQueue()->mouseScroll(event->code > 0 ? osgGA::GUIEventAdapter::SCROLL_DOWN
                                                                       : osgGA::GUIEventAdapter::SCROLL_UP);
    viewChanged();
    return 1;
}

long MFXOSGCanvas::onPaint(FXObject*, FXSelector, void*) {
    // The picture under a closed menu or dialog is drawn again.
    viewChanged();
    return 1;
}

long MFXOSGCanvas::onConfigure(FXObject* sender, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    myView->resize(event->rect.w, event->rect.h);
    const long handled = FXGLCanvas::onConfigure(sender, selector, data);
    viewChanged();
    return handled;
}

long MFXOSGCanvas::onCmdCenter(FXObject*, FXSelector, void*) {
    myView->manipulator()->home(1.0);
    viewChanged();
    return 1;
}
