#include "workbench/SceneView.h"

#include "workbench/SurfacelessContext.h"

#include <gtest/gtest.h>
#include <osg/Geode>
#include <osg/ShapeDrawable>

namespace {

// A view drawing into an off-screen context, as the canvas makes it draw on
// screen.
struct SceneViewFixture : ::testing::Test {
    SceneView view;
    osg::ref_ptr<osg::GraphicsContext> context;
    CameraDef record;
    std::array<LightDef, SceneView::lightCount> lights{};

    void SetUp() override {
        context = createOffscreenContext();
        ASSERT_TRUE(context.valid());
        view.viewer()->getCamera()->setGraphicsContext(context.get());
    }
    void TearDown() override {
        view.viewer()->getCamera()->setGraphicsContext(nullptr);
        if (context) context->close();
    }

    static osg::Node* ball() {
        osg::ref_ptr<osg::Geode> geode = new osg::Geode;
        geode->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(5, 0, 0), 10.0f)));
        return geode.release();
    }

    osg::Group* shownScene() { return view.viewer()->getSceneData()->asGroup()->getChild(1)->asGroup(); }
};

TEST_F(SceneViewFixture, AStoredViewIsTakenOverExactlyAndWrittenBackAfterTheFrame) {
    record.set = true;
    record.center = {1.0, 2.0, 3.0};
    record.rotation = {0.0, 0.0, 0.6, 0.8};
    record.distance = 250.0;
    view.setScene(ball(), &record, lights.data(), false);
    view.frame();

    double distance = 0.0;
    osg::Quat rotation;
    osg::Vec3d center;
    view.manipulator()->getOrbit(distance, rotation, center);
    EXPECT_DOUBLE_EQ(distance, 250.0);
    EXPECT_EQ(center, osg::Vec3d(1.0, 2.0, 3.0));
    EXPECT_EQ(rotation, osg::Quat(0.0, 0.0, 0.6, 0.8));
    // The record still describes the view on screen.
    EXPECT_DOUBLE_EQ(record.distance, 250.0);
    EXPECT_EQ(record.center, (std::array<double, 3>{1.0, 2.0, 3.0}));
    const osg::Matrixd matrix = view.manipulator()->getMatrix();
    EXPECT_DOUBLE_EQ(record.matrix[12], matrix(3, 0));
}

TEST_F(SceneViewFixture, ResettingTheViewGoesHomeWithZoomOne) {
    record.set = true;
    record.center = {100.0, 100.0, 100.0};
    record.distance = 9999.0;
    record.zoom = 3.0;
    view.setScene(ball(), &record, lights.data(), true);
    view.frame();
    EXPECT_DOUBLE_EQ(record.zoom, 1.0);
    EXPECT_NE(record.distance, 9999.0);
    EXPECT_NEAR(record.center[0], 5.0, 1e-6); // the ball's centre
    // Moving closer zooms in.
    double distance = 0.0;
    osg::Quat rotation;
    osg::Vec3d center;
    view.manipulator()->getOrbit(distance, rotation, center);
    view.manipulator()->setOrbit(distance / 2, rotation, center);
    view.frame();
    EXPECT_DOUBLE_EQ(record.zoom, 2.0);
}

TEST_F(SceneViewFixture, ANullSceneShowsAnEmptyScene) {
    view.setScene(ball(), &record, lights.data(), true);
    view.frame();
    view.setScene(nullptr, &record, lights.data(), true);
    view.frame();
    EXPECT_EQ(shownScene()->getNumChildren(), 0u);
}

TEST_F(SceneViewFixture, AReleasedCameraRecordIsNoLongerWritten) {
    view.setScene(ball(), &record, lights.data(), true);
    view.releaseCameraRecord();
    view.frame();
    EXPECT_FALSE(record.set);
}

TEST_F(SceneViewFixture, AZeroSideKeepsTheViewportButRecomputesTheAspect) {
    view.setScene(ball(), &record, lights.data(), true);
    view.frame();
    view.resize(800, 400);
    const osg::Viewport* viewport = view.viewer()->getCamera()->getViewport();
    EXPECT_EQ(viewport->width(), 800);
    EXPECT_EQ(viewport->height(), 400);
    const std::pair<int, int> sizes[] = {{0, 300}, {300, 0}};
    for (const auto& [width, height] : sizes) {
        view.resize(width, height);
        EXPECT_EQ(view.viewer()->getCamera()->getViewport()->width(), 800) << width << "x" << height;
        double fov = 0, aspect = 0, zNear = 0, zFar = 0;
        ASSERT_TRUE(view.viewer()->getCamera()->getProjectionMatrixAsPerspective(fov, aspect, zNear, zFar));
        EXPECT_DOUBLE_EQ(aspect, width == 0 ? 1.0 / 300 : 300.0);
        EXPECT_NEAR(fov, 30.0, 1e-9);
    }
}

} // namespace
