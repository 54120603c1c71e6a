#include "gui/ViewCanvas.h"

// clang-format off
FXDEFMAP(ViewCanvas) ViewCanvasMap[] = {
    FXMAPFUNC(SEL_PAINT, 0, ViewCanvas::onPaint),
    FXMAPFUNC(SEL_CONFIGURE, 0, ViewCanvas::onConfigure),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, 0, ViewCanvas::onButtonPress),
    FXMAPFUNC(SEL_MIDDLEBUTTONPRESS, 0, ViewCanvas::onButtonPress),
    FXMAPFUNC(SEL_RIGHTBUTTONPRESS, 0, ViewCanvas::onButtonPress),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, 0, ViewCanvas::onButtonRelease),
    FXMAPFUNC(SEL_MIDDLEBUTTONRELEASE, 0, ViewCanvas::onButtonRelease),
    FXMAPFUNC(SEL_RIGHTBUTTONRELEASE, 0, ViewCanvas::onButtonRelease),
    FXMAPFUNC(SEL_MOTION, 0, ViewCanvas::onMotion),
    FXMAPFUNC(SEL_MOUSEWHEEL, 0, ViewCanvas::onWheel),
};
// clang-format on

FXIMPLEMENT(ViewCanvas, FXGLCanvas, ViewCanvasMap, ARRAYNUMBER(ViewCanvasMap))

ViewCanvas::ViewCanvas(FXComposite* parent, FXGLVisual* visual, SceneView& view, FXuint options)
    : FXGLCanvas(parent, visual, static_cast<FXObject*>(nullptr), 0, options), myView(&view) {
    flags |= FLAG_ENABLED;
}

void ViewCanvas::create() {
    FXGLCanvas::create();
    // The viewer draws into this canvas only once it exists on the screen.
    if (!myWindow) {
        myWindow = myView->viewer()->setUpViewerAsEmbeddedInWindow(0, 0, 400, 400);
        // Window coordinates grow downwards, as the toolkit gives them.
        myWindow->getEventQueue()->getCurrentEventState()->setMouseYOrientation(
            osgGA::GUIEventAdapter::Y_INCREASING_DOWNWARDS);
    }
    resizeView();
}

void ViewCanvas::resizeView() {
    if (!myWindow) return;
    const int w = width > 0 ? width : 1;
    const int h = height > 0 ? height : 1;
    myWindow->resized(0, 0, w, h);
    myWindow->getEventQueue()->windowResize(0, 0, w, h);
    osg::Camera* camera = myView->viewer()->getCamera();
    camera->setViewport(0, 0, w, h);
    SceneView::setProjection(camera, static_cast<double>(w) / h);
    myNeedsRedraw = true;
}

void ViewCanvas::render() {
    if (!myWindow || !makeCurrent()) return;
    if (myView->takeOverPendingScene()) myNeedsRedraw = true;
    if (myView->applyBackground()) myNeedsRedraw = true;
    myView->viewer()->frame();
    swapBuffers();
    makeNonCurrent();
    myView->storeView();
    myNeedsRedraw = false;
}

long ViewCanvas::onPaint(FXObject*, FXSelector, void*) {
    render();
    return 1;
}

long ViewCanvas::onConfigure(FXObject* sender, FXSelector selector, void* data) {
    FXGLCanvas::onConfigure(sender, selector, data);
    resizeView();
    return 1;
}

int ViewCanvas::osgButton(FXSelector selector) const {
    switch (FXSELTYPE(selector)) {
    case SEL_LEFTBUTTONPRESS:
    case SEL_LEFTBUTTONRELEASE:
        return 1;
    case SEL_MIDDLEBUTTONPRESS:
    case SEL_MIDDLEBUTTONRELEASE:
        return 2;
    default:
        return 3;
    }
}

long ViewCanvas::onButtonPress(FXObject*, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    grab();
    myWindow->getEventQueue()->mouseButtonPress(event->win_x, event->win_y, osgButton(selector));
    myNeedsRedraw = true;
    return 1;
}

long ViewCanvas::onButtonRelease(FXObject*, FXSelector selector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    ungrab();
    myWindow->getEventQueue()->mouseButtonRelease(event->win_x, event->win_y, osgButton(selector));
    myNeedsRedraw = true;
    return 1;
}

long ViewCanvas::onMotion(FXObject*, FXSelector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    myWindow->getEventQueue()->mouseMotion(event->win_x, event->win_y);
    myNeedsRedraw = true;
    return 1;
}

long ViewCanvas::onWheel(FXObject*, FXSelector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    myWindow->getEventQueue()->mouseScroll(event->code > 0 ? osgGA::GUIEventAdapter::SCROLL_UP
                                                           : osgGA::GUIEventAdapter::SCROLL_DOWN);
    myNeedsRedraw = true;
    return 1;
}
