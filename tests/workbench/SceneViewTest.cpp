#include "workbench/SceneView.h"

#include "workbench/SurfacelessContext.h"

#include "../TempDir.h"

#include <gtest/gtest.h>
#include <osg/Geode>
#include <osg/ShapeDrawable>
#include <osgDB/ReadFile>

#include <cmath>

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

    // The number of pixels of an exported picture that differ from the
    // background.
    int drawnPixels() {
        TempDir dir;
        EXPECT_EQ(view.renderImage(dir.path("view.png"), 200, 150), "");
        osg::ref_ptr<osg::Image> image = osgDB::readImageFile(dir.path("view.png"));
        if (!image) return -1;
        int drawn = 0;
        for (int y = 0; y < image->t(); ++y)
            for (int x = 0; x < image->s(); ++x) drawn += image->getColor(x, y).r() > 0.0f;
        return drawn;
    }
};

TEST_F(SceneViewFixture, AStoredViewIsTakenOverExactlyAndWrittenBackAfterTheFrame) {
    record.set = true;
    record.center = {1.0, 2.0, 3.0};
    record.rotation = {0.0, 0.0, 0.6, 0.8};
    record.distance = 250.0;
    view.setScene(ball(), &record, lights.data(), false);
    view.frame();
    EXPECT_DOUBLE_EQ(view.manipulator()->getDistance(), 250.0);
    EXPECT_EQ(view.manipulator()->getCenter(), osg::Vec3d(1.0, 2.0, 3.0));
    EXPECT_EQ(view.manipulator()->getRotation(), osg::Quat(0.0, 0.0, 0.6, 0.8));
    // The record describes the view on screen.
    EXPECT_DOUBLE_EQ(record.matrix[12], view.manipulator()->getMatrix()(3, 0));
}

TEST_F(SceneViewFixture, AReleasedCameraRecordIsNoLongerWrittenAndANullSceneShowsNothing) {
    view.setScene(ball(), &record, lights.data(), true);
    view.releaseCameraRecord();
    view.frame();
    EXPECT_FALSE(record.set);
    view.setScene(nullptr, &record, lights.data(), true);
    view.frame();
    EXPECT_EQ(view.viewer()->getSceneData()->asGroup()->getChild(1)->asGroup()->getNumChildren(), 0u);
}

TEST_F(SceneViewFixture, AZeroSideKeepsTheViewportButRecomputesTheAspect) {
    view.setScene(ball(), &record, lights.data(), true);
    view.frame();
    view.resize(800, 400);
    ASSERT_EQ(view.viewer()->getCamera()->getViewport()->width(), 800);
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

// Going home, by resetting the view, by command or by key, fits the model into
// the view and writes zoom one into the stored view.
TEST_F(SceneViewFixture, GoingHomeFitsTheModelIntoTheViewAtAnyAspectWithZoomOne) {
    // A stored view far away, which the reset replaces.
    record.set = true;
    record.center = {100.0, 100.0, 100.0};
    record.distance = 9999.0;
    record.zoom = 3.0;
    const std::pair<int, int> sizes[] = {{400, 400}, {735, 640}, {800, 300}, {300, 800}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        view.resize(width, height);
        view.setScene(ball(), &record, lights.data(), true);
        view.frame();
        EXPECT_DOUBLE_EQ(record.zoom, 1.0);
        // The angle between the line of sight and the edge of the model's
        // bounding sphere is no larger than the smaller half-angle of the view.
        const osg::BoundingSphere bound = view.viewer()->getSceneData()->getBound();
        EXPECT_LT((view.manipulator()->getCenter() - osg::Vec3d(bound.center())).length(), 1e-6);
        const osg::Matrixd& projection = view.viewer()->getCamera()->getProjectionMatrix();
        const double half = std::atan(std::min(1.0 / projection(0, 0), 1.0 / projection(1, 1)));
        const double sphere = std::asin(bound.radius() / view.manipulator()->getDistance());
        EXPECT_LE(sphere, half + 1e-6);
        // The sphere touches the narrower pair of edges: no needless margin.
        EXPECT_NEAR(sphere, half, 1e-6);

        // Moving closer zooms in; going home again returns to the same place.
        const double homeDistance = view.manipulator()->getDistance();
        view.manipulator()->setDistance(homeDistance / 3);
        view.frame();
        EXPECT_DOUBLE_EQ(record.zoom, 3.0);
        view.manipulator()->home(1.0);
        EXPECT_DOUBLE_EQ(view.manipulator()->getDistance(), homeDistance);
        view.manipulator()->setDistance(homeDistance / 3);
        view.centerView();
        view.frame();
        EXPECT_DOUBLE_EQ(view.manipulator()->getDistance(), homeDistance);
        EXPECT_DOUBLE_EQ(record.zoom, 1.0);
    }
}

TEST_F(SceneViewFixture, AnExportedImageShowsTheViewOnScreen) {
    lights[0].enabled = true;
    view.setScene(ball(), &record, lights.data(), true);
    view.frame();
    const int atHome = drawnPixels();
    ASSERT_GT(atHome, 1000);
    // Three times as far away the ball covers about a ninth of the pixels.
    view.manipulator()->setDistance(view.manipulator()->getDistance() * 3);
    view.frame();
    const int farAway = drawnPixels();
    EXPECT_GT(farAway, 0);
    EXPECT_LT(farAway, atHome / 6);
}

} // namespace
