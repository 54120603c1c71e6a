#include "gui/MFXOSGCanvas.h"

#include "../GuiTestApp.h"

#include <fxkeys.h>

#include <gtest/gtest.h>
#include <osg/Geode>
#include <osg/ShapeDrawable>

#include <cmath>

namespace {

struct CanvasFixture : ::testing::Test {
    SceneView view;
    FXGLVisual* visual = nullptr;
    FXMainWindow* window = nullptr;
    MFXOSGCanvas* canvas = nullptr;
    CameraDef record;
    std::array<LightDef, SceneView::lightCount> lights{};

    void SetUp() override {
        window = new FXMainWindow(guiApp(), "canvas", nullptr, nullptr, DECOR_ALL, 0, 0, 320, 240);
        visual = new FXGLVisual(guiApp(), VISUAL_DOUBLEBUFFER);
        canvas = new MFXOSGCanvas(window, visual, view, nullptr, 0, LAYOUT_FILL_X | LAYOUT_FILL_Y);
        window->create();
        window->show(PLACEMENT_SCREEN);
        guiApp()->runWhileEvents();
        osg::ref_ptr<osg::Geode> ball = new osg::Geode;
        ball->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(), 10.0f)));
        view.setScene(ball.get(), &record, lights.data(), true);
    }
    void TearDown() override {
        delete window;
        delete visual;
    }

    std::vector<osg::ref_ptr<osgGA::GUIEventAdapter>> takeEvents() {
        osgGA::EventQueue::Events events;
        view.viewer()->getEventQueue()->takeEvents(events);
        std::vector<osg::ref_ptr<osgGA::GUIEventAdapter>> adapters;
        for (const auto& queued : events) adapters.push_back(queued->asGUIEventAdapter());
        return adapters;
    }
};

TEST_F(CanvasFixture, KeysAndButtonsReachTheViewer) {
    takeEvents();
    FXEvent event;
    event.code = KEY_a;
    canvas->handle(canvas, FXSEL(SEL_KEYPRESS, 0), &event);
    canvas->handle(canvas, FXSEL(SEL_KEYRELEASE, 0), &event);
    auto events = takeEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->getEventType(), osgGA::GUIEventAdapter::KEYDOWN);
    EXPECT_EQ(events[0]->getKey(), KEY_a);
    EXPECT_EQ(events[1]->getEventType(), osgGA::GUIEventAdapter::KEYUP);

    const std::pair<FXuint, unsigned int> buttons[] = {
        {SEL_LEFTBUTTONPRESS, osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON},
        {SEL_MIDDLEBUTTONPRESS, osgGA::GUIEventAdapter::MIDDLE_MOUSE_BUTTON},
        {SEL_RIGHTBUTTONPRESS, osgGA::GUIEventAdapter::RIGHT_MOUSE_BUTTON},
    };
    for (const auto& [press, button] : buttons) {
        event.win_x = 10;
        event.win_y = 20;
        canvas->handle(canvas, FXSEL(press, 0), &event);
        canvas->handle(canvas, FXSEL(press + 1, 0), &event); // the matching release
        events = takeEvents();
        ASSERT_EQ(events.size(), 2u) << press;
        EXPECT_EQ(events[0]->getEventType(), osgGA::GUIEventAdapter::PUSH);
        EXPECT_EQ(events[0]->getButton(), static_cast<int>(button)) << press;
        EXPECT_EQ(events[1]->getEventType(), osgGA::GUIEventAdapter::RELEASE);
        EXPECT_FLOAT_EQ(events[0]->getX(), 10.0f);
    }
    guiApp()->runWhileEvents();
}

TEST_F(CanvasFixture, AResizeMovesTheViewport) {
    FXEvent event;
    event.rect = FXRectangle(0, 0, 200, 100);
    canvas->handle(canvas, FXSEL(SEL_CONFIGURE, 0), &event);
    EXPECT_EQ(view.viewer()->getCamera()->getViewport()->width(), 200);
    EXPECT_EQ(view.viewer()->getCamera()->getViewport()->height(), 100);
}

TEST_F(CanvasFixture, AModelShownInTheCanvasFitsItsSizeAndTheCenterCommandReturnsThere) {
    // Wide and tall canvases: the projected bounding sphere stays within the
    // viewport.
    const std::pair<int, int> sizes[] = {{300, 200}, {200, 300}};
    for (const auto& [width, height] : sizes) {
        FXEvent event;
        event.rect = FXRectangle(0, 0, width, height);
        canvas->handle(canvas, FXSEL(SEL_CONFIGURE, 0), &event);
        osg::ref_ptr<osg::Geode> ball = new osg::Geode;
        ball->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(3, 0, 0), 10.0f)));
        view.setScene(ball.get(), &record, lights.data(), true);
        ASSERT_TRUE(canvas->renderFrame());

        const osg::Matrixd& projection = view.viewer()->getCamera()->getProjectionMatrix();
        const double halfAngle = std::atan(std::min(1.0 / projection(0, 0), 1.0 / projection(1, 1)));
        const double homeDistance = view.manipulator()->getDistance();
        const double radius = view.viewer()->getSceneData()->getBound().radius();
        EXPECT_LE(std::asin(radius / homeDistance), halfAngle + 1e-6) << width << "x" << height;

        view.manipulator()->setDistance(homeDistance / 4);
        canvas->handle(nullptr, FXSEL(SEL_COMMAND, MFXOSGCanvas::ID_CENTER), nullptr);
        ASSERT_TRUE(canvas->renderFrame());
        EXPECT_DOUBLE_EQ(view.manipulator()->getDistance(), homeDistance) << width << "x" << height;
        EXPECT_DOUBLE_EQ(record.zoom, 1.0);
    }
}

TEST_F(CanvasFixture, TheViewOutlivesTheCanvas) {
    ASSERT_TRUE(canvas->renderFrame());
    delete window;
    window = nullptr;
    EXPECT_EQ(view.viewer()->getCamera()->getGraphicsContext(), nullptr);
    view.setScene(nullptr, &record, lights.data(), true);
    EXPECT_TRUE(view.takeOverPendingScene());
}

} // namespace
