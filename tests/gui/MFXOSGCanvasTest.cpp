#include "gui/MFXOSGCanvas.h"

#include "../GuiTestApp.h"

#include <gtest/gtest.h>
#include <osg/Geode>
#include <osg/ShapeDrawable>

namespace {

TEST(Canvas, TheViewOutlivesTheCanvas) {
    SceneView view;
    CameraDef record;
    std::array<LightDef, SceneView::lightCount> lights{};
    FXGLVisual visual(guiApp(), VISUAL_DOUBLEBUFFER);
    auto* window = new FXMainWindow(guiApp(), "canvas", nullptr, nullptr, DECOR_ALL, 0, 0, 320, 240);
    auto* canvas = new MFXOSGCanvas(window, &visual, view, nullptr, 0, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    window->create();
    window->show(PLACEMENT_SCREEN);
    guiApp()->runWhileEvents();
    osg::ref_ptr<osg::Geode> ball = new osg::Geode;
    ball->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(), 10.0f)));
    view.setScene(ball.get(), &record, lights.data(), true);

    ASSERT_TRUE(canvas->renderFrame());
    delete window;
    EXPECT_EQ(view.viewer()->getCamera()->getGraphicsContext(), nullptr);
    view.setScene(nullptr, &record, lights.data(), true);
    EXPECT_TRUE(view.takeOverPendingScene());
}

} // namespace
