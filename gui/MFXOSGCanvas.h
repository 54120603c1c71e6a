#pragma once
// The 3-D view of the main window: a toolkit OpenGL canvas that is at the same
// time the graphics window of the scene view's embedded viewer. It forwards
// keys, buttons, motion and the wheel to the viewer, renders a frame when
// asked, follows resizes and centres the view on command; the scene view does
// the rest. Whenever the picture may have to change (input the viewer acts
// on, an exposure, a resize) it tells its target with SEL_CHANGED, which
// decides when to render.

#include "workbench/SceneView.h"

#include <fx.h>
#include <fx3d.h>
#include <osgViewer/GraphicsWindow>

class MFXOSGCanvas : public FXGLCanvas, public osgViewer::GraphicsWindow {
    FXDECLARE(MFXOSGCanvas)

public:
    enum { ID_CENTER = FXGLCanvas::ID_LAST, ID_LAST };

    MFXOSGCanvas(FXComposite* parent, FXGLVisual* visual, SceneView& view, FXObject* target = nullptr,
                 FXSelector selector = 0, FXuint options = 0, FXint x = 0, FXint y = 0, FXint width = 0,
                 FXint height = 0);
    ~MFXOSGCanvas() override;

    // Renders one frame of the view (plain: not anti-aliased) when the
    // canvas's context can be made current; false otherwise (not created
    // yet, or hidden).
    bool renderFrame(bool plain = false);

    long onKeyPress(FXObject*, FXSelector, void*);
    long onKeyRelease(FXObject*, FXSelector, void*);
    long onButtonPress(FXObject*, FXSelector, void*);
    long onButtonRelease(FXObject*, FXSelector, void*);
    long onMotion(FXObject*, FXSelector, void*);
    long onMouseWheel(FXObject*, FXSelector, void*);
    long onPaint(FXObject*, FXSelector, void*);
    long onConfigure(FXObject*, FXSelector, void*);
    long onCmdCenter(FXObject*, FXSelector, void*);

    // The graphics window's side: the toolkit canvas provides the context.
    bool valid() const override { return true; }
    bool realizeImplementation() override { return id() != 0; }
    bool isRealizedImplementation() const override { return id() != 0; }
    void closeImplementation() override {}
    bool makeCurrentImplementation() override;
    bool makeContextCurrentImplementation(osg::GraphicsContext*) override { return makeCurrentImplementation(); }
    bool releaseContextImplementation() override;
    void swapBuffersImplementation() override { FXGLCanvas::swapBuffers(); }
    void grabFocus() override { setFocus(); }
    void setCursor(MouseCursor cursor) override;

protected:
    MFXOSGCanvas() = default;

private:
    // The toolkit's own handling of a button message.
    long onButtonDefault(FXObject* sender, FXSelector selector, void* data);
    // Tells the target that the view needs a frame.
    void viewChanged();

    SceneView* myView = nullptr;
    FXCursor* myCrossCursor = nullptr;
};
