#pragma once
// The scene of the 3-D view without the window around it: the root with the
// eight scene lights, the embedded viewer with its trackball, the background
// colour, and the exports of what it shows. The on-screen canvas drives it
// frame by frame; batch use drives it without any window.

#include "records/CameraDef.h"
#include "records/LightDef.h"
#include "workbench/MultisampleBuffer.h"
#include "workbench/MOSGTrackballManipulator.h"
#include "workbench/ObjectExport.h"

#include <osg/Group>
#include <osg/Light>
#include <osg/LightSource>
#include <osgViewer/Viewer>

#include <array>
#include <string>

class SceneView {
public:
    static constexpr int lightCount = 8;
    // Samples per pixel of anti-aliased images and of the anti-aliased view.
    static constexpr int defaultSamples = 16;
    static constexpr int defaultViewSamples = 4;

    SceneView();
    ~SceneView();
    SceneView(const SceneView&) = delete;
    SceneView& operator=(const SceneView&) = delete;

    // Hands over a scene (null: an empty one), the record that describes and
    // keeps the current view, the 8 light records, and whether the camera goes
    // to its home position. The scene is taken over at the next frame or
    // export.
    void setScene(osg::Node* scene, CameraDef* cameraRecord, const LightDef* lightRecords, bool resetView);
    // Takes over a scene handed over by setScene; false when there was none.
    bool takeOverPendingScene();
    // The view stops writing into the camera record given last (its
    // document is being replaced) until the next setScene.
    void releaseCameraRecord() { myCameraRecord = nullptr; }

    // One frame of the on-screen view, its context current: takes a pending
    // scene over, applies a changed background, renders, and writes the view
    // into the camera record so that a save stores what is on screen. A
    // plain frame is not anti-aliased (quicker, while the view moves).
    void frame(bool plain = false);
    // Samples per pixel of the view's frames (1: not anti-aliased).
    void setViewSamples(int samples) { myViewSamples = samples; }
    int viewSamples() const { return myViewSamples; }
    // The window was resized: the viewport and the event queue follow only a
    // size without a zero side; the projection's aspect always follows.
    void resize(int width, int height);

    void setBackground(float r, float g, float b, float a);
    // Copies a changed background colour to the camera; true when it changed.
    bool applyBackground();

    void setLightPosition(int index, double x, double y, double z, bool positional);
    void setLightAmbient(int index, float r, float g, float b, float a);
    void setLightDiffuse(int index, float r, float g, float b, float a);
    void setLightSpecular(int index, float r, float g, float b, float a);
    // Switches GL_LIGHT0 + index in the scene's state (only once a scene is set).
    void setLightEnabled(int index, bool on);

    // Recomputes the home position from the camera and the scene and goes there.
    void centerView();
    // Writes the current view back into the camera record.
    void storeView();

    // Renders the view off-screen at the given size and writes it; the file
    // name's extension chooses the format. samples is the number of samples
    // a pixel's colour is filtered from (1: not anti-aliased, as on screen
    // without anti-aliasing); an image too large to be drawn with that many
    // gets fewer. Returns why it failed; empty on success. A failed render
    // or write leaves the file as it was.
    std::string renderImage(const std::string& fileName, int width, int height, int samples = 1);
    // Writes the scene as a 3-D object file (see writeObjectFile); returns
    // why it failed, empty on success.
    std::string writeScene(const std::string& fileName, const ObjectExportOptions& options = ObjectExportOptions(),
                           ProgressRetriever* progress = nullptr);
    // Writes the view as an SVG drawing of the given size (see writeSvg);
    // returns why it failed, empty on success.
    std::string writeDrawing(const std::string& fileName, int width, int height);

    osgViewer::Viewer* viewer() const { return myViewer.get(); }
    MOSGTrackballManipulator* manipulator() const { return myManipulator.get(); }
    // The perspective every view of the scene uses.
    static void setProjection(osg::Camera* camera, double aspect);

private:
    osg::ref_ptr<osg::Node> myPendingScene;
    osg::ref_ptr<osg::Group> myRoot;
    osg::ref_ptr<osg::Group> myLightGroup;
    std::array<osg::ref_ptr<osg::Light>, lightCount> myLights;
    std::array<osg::ref_ptr<osg::LightSource>, lightCount> myLightSources;
    osg::ref_ptr<osgViewer::Viewer> myViewer;
    osg::ref_ptr<MOSGTrackballManipulator> myManipulator;
    osg::ref_ptr<MultisampleBuffer> myMultisample;
    int myViewSamples = defaultViewSamples;
    osg::Vec4 myClearColor{0, 0, 0, 0};
    osg::Vec4 myWantedClearColor{0, 0, 0, 0};
    CameraDef* myCameraRecord = nullptr;
    const LightDef* myLightRecords = nullptr;
    double myReferenceDistance = 1.0;
    bool myResetView = true;
    bool myHasPendingScene = false;
};
