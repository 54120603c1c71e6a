// Frames of the view: an example is derived and interpreted, turned upright
// and framed as the workbench does, then rendered off-screen at 800 x 600.
// After a first frame (which uploads the geometry), ten frames are drawn
// while the trackball turns a little further each time; the reported time
// is the wall time of one frame, read back to memory so that the renderer
// has finished it.

#include <benchmark/benchmark.h>

#include <osg/PositionAttitudeTransform>
#include <osgViewer/Viewer>

#include <array>
#include <chrono>
#include <cmath>
#include <iostream>

#include "definition_io/OwnLSysLoader.h"
#include "diagnostics/ErrorHandler.h"
#include "diagnostics/FileText.h"
#include "interpretation/LSysInterpreter.h"
#include "interpretation/TextTree.h"
#include "lsys/LSystem.h"
#include "lsys/ProgressRetriever.h"
#include "lsys/String2IDManager.h"
#include "workbench/MOSGTrackballManipulator.h"
#include "workbench/SceneView.h"
#include "workbench/SurfacelessContext.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kFrames = 10;

class NoProgress : public ProgressRetriever {
public:
    void setProgress(int) override {}
    bool wasCancelled() override { return false; }
};

// The interpreted example under the upright rotation, or null.
osg::ref_ptr<osg::Node> interpretExample(const std::string& fileName) {
    String2IDManager::instance().registerBuiltins();
    tov::ReportingErrorHandler errors(std::cerr);
    const std::unique_ptr<LSystemDefinition> definition =
        OwnLSysLoader().load(errors, fileName, readFileText(fileName));
    if (!definition) return nullptr;
    const std::unique_ptr<LSystem> lsystem = buildLSystem(*definition, String2IDManager::instance(), errors);
    if (!lsystem || errors.hasErrors()) return nullptr;
    const int steps = static_cast<int>(lsystem->getValue("_steps", 0.0));
    NoProgress progress;
    TextTree tree;
    LSysInterpreter interpreter;
    osg::ref_ptr<osg::Group> group =
        interpreter.interpret(*lsystem, definition->getShapeDefs(), definition->getTweaks(), steps, tree, progress);
    if (!group) return nullptr;
    osg::ref_ptr<osg::PositionAttitudeTransform> upright = new osg::PositionAttitudeTransform;
    upright->setAttitude(osg::Quat(osg::PI_2, osg::Vec3d(1.0, 0.0, 0.0)));
    upright->addChild(group.get());
    return upright;
}

void BM_ViewFrames(benchmark::State& state, const char* example) {
    osg::ref_ptr<osg::Node> scene = interpretExample(std::string(KLADO_SOURCE_DIR) + "/" + example);
    osg::ref_ptr<osg::GraphicsContext> context = createOffscreenContext();
    if (!scene || !context) {
        state.SkipWithError("no scene or no off-screen context");
        return;
    }
    std::array<LightDef, SceneView::lightCount> lights{};
    lights[0].enabled = true;
    SceneView view;
    view.setScene(scene.get(), nullptr, lights.data(), true);
    view.takeOverPendingScene();

    osg::ref_ptr<osgViewer::Viewer> viewer = new osgViewer::Viewer;
    osg::ref_ptr<MOSGTrackballManipulator> manipulator = new MOSGTrackballManipulator;
    double distance = 0.0;
    osg::Quat rotation;
    osg::Vec3d center;
    view.manipulator()->getOrbit(distance, rotation, center);
    manipulator->setOrbit(distance, rotation, center);
    viewer->setCameraManipulator(manipulator.get(), false);
    viewer->setSceneData(view.viewer()->getSceneData());
    viewer->setLightingMode(osg::View::NO_LIGHT);
    viewer->setThreadingModel(osgViewer::Viewer::SingleThreaded);
    osg::Camera* camera = viewer->getCamera();
    camera->setGraphicsContext(context.get());
    camera->setCullingMode(view.viewer()->getCamera()->getCullingMode());
    camera->setProjectionMatrixAsPerspective(30.0, static_cast<double>(kWidth) / kHeight, 0.1, 200000.0);
    camera->setViewport(0, 0, kWidth, kHeight);
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(kWidth, kHeight, 1, GL_RGBA, GL_UNSIGNED_BYTE, 1);
    camera->attach(osg::Camera::COLOR_BUFFER, image.get());
    viewer->frame(); // uploads the buffers

    double angle = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFrames; ++i) {
            angle += 0.05;
            manipulator->setOrbit(distance, rotation * osg::Quat(angle, osg::Vec3d(0.0, 0.0, 1.0)), center);
            viewer->frame();
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count() / kFrames);
    }
    // The shared shaders must be made anew in the next example's context.
    scene->releaseGLObjects(context->getState());
    viewer->setSceneData(nullptr);
    context->close();
}

} // namespace

BENCHMARK_CAPTURE(BM_ViewFrames, large_plant, "examples/large_plant.kld")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ViewFrames, bush, "examples/bush.kld")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
