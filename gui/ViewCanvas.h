#pragma once
// The on-screen 3-D view: an OpenGL canvas that renders the scene view's
// embedded viewer and hands mouse input to its trackball.

#include "workbench/SceneView.h"

#include <fx.h>
#include <fx3d.h>

#include <osgViewer/GraphicsWindow>

class ViewCanvas : public FXGLCanvas {
    FXDECLARE(ViewCanvas)
public:
    ViewCanvas(FXComposite* parent, FXGLVisual* visual, SceneView& view, FXuint options);

    void create() override;
    // Renders one frame: takes over a new scene and background, draws, and
    // writes the view back into the camera record.
    void render();
    // Set by configure, input, a new scene or background.
    bool needsRedraw() const { return myNeedsRedraw; }
    void setNeedsRedraw() { myNeedsRedraw = true; }

    long onPaint(FXObject*, FXSelector, void*);
    long onConfigure(FXObject*, FXSelector, void*);
    long onButtonPress(FXObject*, FXSelector, void*);
    long onButtonRelease(FXObject*, FXSelector, void*);
    long onMotion(FXObject*, FXSelector, void*);
    long onWheel(FXObject*, FXSelector, void*);

private:
    ViewCanvas() : myView(nullptr) {}
    void resizeView();
    int osgButton(FXSelector selector) const;

    SceneView* myView;
    osg::ref_ptr<osgViewer::GraphicsWindowEmbedded> myWindow;
    bool myNeedsRedraw = true;
};
