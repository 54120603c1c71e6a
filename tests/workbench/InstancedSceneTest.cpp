#include "interpretation/GeometryCache.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/ShapeInstancer.h"
#include "workbench/SceneView.h"

#include "../TempDir.h"

#include <osgDB/ReadFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

GLMaterial material(float r, float g, float b, float shininess, float glow = 0.0f) {
    GLMaterial result;
    const float colour[4] = {r, g, b, 1.0f};
    std::copy(colour, colour + 4, result.diffuse);
    std::copy(colour, colour + 4, result.ambient);
    result.ambient[0] *= 0.3f;
    result.emission[1] = glow;
    result.shininess = shininess;
    return result;
}

// Capped tubes, cones, balls and tori in three materials at many angles, and
// unlit lines.
osg::ref_ptr<osg::Group> sampleScene(GeometryCache& cache) {
    osg::ref_ptr<osg::Group> group = new osg::Group;
    ShapeInstancer shapes;
    shapes.start(group.get());
    const GLMaterial materials[] = {material(0.9f, 0.2f, 0.1f, 100.0f), material(0.2f, 0.8f, 0.3f, 5.0f, 0.3f),
                                    material(0.3f, 0.3f, 1.0f, 40.0f)};
    osg::Geometry* kinds[] = {cache.tube(4, 1, 1, 16, CapKind::Planar, CapKind::Extruded), cache.tube(3, 2, 0.5, 8),
                              cache.ball(1, 16), cache.torus(3, 0.6, 16)};
    for (int i = 0; i < 40; ++i) {
        const osg::Matrixd placement = osg::Matrixd::rotate(0.4 * i, osg::Vec3d(1, 0.5 * (i % 3), 0.3)) *
                                       osg::Matrixd::translate(3.0 * (i % 8) - 10.0, 0.0, 3.0 * (i / 8) - 6.0);
        const GLMaterial& m = materials[i % 3];
        shapes.place(kinds[i % 4], cache.litStateSet(m), true, placement);
        if (i % 5 == 0)
            shapes.place(cache.line(4, {m.diffuse[0], m.diffuse[1], m.diffuse[2], 1}), cache.lineStateSet(), false,
                         placement);
    }
    return group;
}

// Tubes 1.5 long and of the width, in every direction, spread evenly through
// a box of 10 x 5 x 7.5.
osg::ref_ptr<osg::Group> scatteredTubes(GeometryCache& cache, double width, int count, const GLMaterial& colour) {
    osg::ref_ptr<osg::Group> scene = new osg::Group;
    ShapeInstancer shapes;
    shapes.start(scene.get());
    osg::Geometry* tube = cache.tube(1.5, width, width, 8);
    for (int i = 0; i < count; ++i) {
        const double a = i * 2.399963, b = i * 0.7548777;
        const osg::Matrixd placement =
            osg::Matrixd::rotate(a, osg::Vec3d(std::sin(b), std::cos(b), 0.5)) *
            osg::Matrixd::translate(10.0 * std::fmod(i * 0.618034, 1.0), 5.0 * std::fmod(i * 0.414214, 1.0),
                                    7.5 * std::fmod(i * 0.732051, 1.0));
        shapes.placeSlender(tube, 8, cache.litStateSet(colour), placement);
    }
    return scene;
}

// The pixels of image that are not the white background, and their mean green.
std::size_t drawn(const osg::Image& image, double& green) {
    const unsigned channels = osg::Image::computeNumComponents(image.getPixelFormat());
    std::size_t count = 0;
    green = 0.0;
    for (int p = 0; p < image.s() * image.t(); ++p) {
        const unsigned char* pixel = image.data() + p * channels;
        if (pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255) continue;
        ++count;
        green += pixel[1];
    }
    green /= std::max<std::size_t>(count, 1);
    return count;
}

// The green of each pixel of image averaged over blocks of scale x scale.
std::vector<double> greens(const osg::Image& image, int scale) {
    const int width = image.s() / scale, height = image.t() / scale;
    std::vector<double> result(static_cast<std::size_t>(width) * height, 0.0);
    for (int y = 0; y < image.t(); ++y)
        for (int x = 0; x < image.s(); ++x)
            result[(y / scale) * width + x / scale] += image.data(x, y)[1] / double(scale * scale);
    return result;
}

// How much of a picture of red on white its red covers, in pixels.
double covered(const std::vector<double>& green) {
    double sum = 0.0;
    for (double g : green) sum += 1.0 - g / 255.0;
    return sum;
}

double rootMeanSquare(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return std::sqrt(sum / a.size());
}

struct InstancedScene : ::testing::Test {
    TempDir dir;
    GeometryCache cache;

    osg::ref_ptr<osg::Image> render(osg::Node* scene, const std::string& name, int width = 200, int height = 150,
                                    int samples = 1) {
        std::array<LightDef, SceneView::lightCount> lights{};
        lights[0].enabled = lights[2].enabled = true;
        SceneView view;
        view.setBackground(1, 1, 1, 1);
        // A light that is off must not light anything, however bright.
        view.setLightAmbient(1, 1, 1, 1, 1);
        view.setLightPosition(2, 0, 0, 12, true);
        view.setLightDiffuse(2, 1, 0.5f, 0, 1);
        view.setLightAmbient(2, 0, 0, 0, 1);
        view.setScene(scene, nullptr, lights.data(), true);
        const std::string problem = view.renderImage(dir.path(name), width, height, samples);
        EXPECT_EQ("", problem);
        return problem.empty() ? osgDB::readImageFile(dir.path(name)) : nullptr;
    }
};

} // namespace

// The instanced shapes' shader lights them as the fixed-function pipeline
// lights their expanded transforms. Tubes far thinner than a pixel, drawn as
// thin lines, cover about as many pixels in about the colours that their full
// shapes give.
TEST_F(InstancedScene, DrawsAsItsExpandedTransforms) {
    osg::ref_ptr<osg::Group> scene = sampleScene(cache);
    osg::ref_ptr<osg::Image> instanced = render(scene.get(), "instanced.png");
    osg::ref_ptr<osg::Image> expanded = render(expandInstances(*scene).get(), "expanded.png");
    ASSERT_TRUE(instanced && expanded);
    ASSERT_EQ(instanced->getTotalSizeInBytes(), expanded->getTotalSizeInBytes());
    const std::size_t pixels = instanced->s() * instanced->t();
    std::size_t differing = 0; // by more than 8 of 255 in a channel
    for (int y = 0; y < instanced->t(); ++y)
        for (int x = 0; x < instanced->s(); ++x) {
            const osg::Vec4 d = instanced->getColor(x, y) - expanded->getColor(x, y);
            differing += std::max({std::fabs(d.r()), std::fabs(d.g()), std::fabs(d.b())}) > 8.5f / 255;
        }
    double thinGreen = 0.0, fullGreen = 0.0;
    EXPECT_GT(drawn(*instanced, thinGreen), pixels / 10);
    EXPECT_LT(differing, pixels / 200) << differing << " of " << pixels;

    scene = scatteredTubes(cache, 0.03, 3000, material(0.3f, 0.8f, 0.2f, 20.0f));
    osg::ref_ptr<osg::Image> thin = render(scene.get(), "thin.png");
    osg::ref_ptr<osg::Image> full = render(expandInstances(*scene).get(), "full.png");
    ASSERT_TRUE(thin && full);
    const std::size_t thinPixels = drawn(*thin, thinGreen), fullPixels = drawn(*full, fullGreen);
    EXPECT_GT(fullPixels, 1000u);
    EXPECT_NEAR(double(fullPixels), double(thinPixels), 0.15 * fullPixels);
    EXPECT_NEAR(fullGreen, thinGreen, 8.0);
}

// Red tubes about a tenth of a pixel wide on white, drawn as thin lines: the
// green of a pixel tells how much of it they cover. Anti-aliased, the lines
// cover their pixels by their width, as the full shapes drawn eight times
// larger and averaged do; plain, a line covers whole pixels by chance.
// Lines drawn as lines, though, are a pixel of the image wide, however much
// larger an anti-aliased image is drawn.
TEST_F(InstancedScene, AntialiasedThinLinesCoverTheirPixelsByTheirWidthAndLinesKeepTheirs) {
    osg::ref_ptr<osg::Group> scene = scatteredTubes(cache, 0.01, 300, material(1.0f, 0.0f, 0.0f, 20.0f));
    osg::ref_ptr<osg::Image> plain = render(scene.get(), "plain.png");
    osg::ref_ptr<osg::Image> smooth = render(scene.get(), "smooth.png", 200, 150, 16);
    osg::ref_ptr<osg::Image> large = render(expandInstances(*scene).get(), "large.png", 1600, 1200);
    ASSERT_TRUE(plain && smooth && large);
    const std::vector<double> reference = greens(*large, 8), lines = greens(*smooth, 1), dots = greens(*plain, 1);

    EXPECT_GT(covered(reference), 300.0);
    EXPECT_NEAR(covered(reference), covered(lines), 0.1 * covered(reference));
    const double smoothError = rootMeanSquare(lines, reference), plainError = rootMeanSquare(dots, reference);
    EXPECT_LT(smoothError, 0.5 * plainError) << smoothError << " " << plainError;

    // Partly covered pixels: many anti-aliased, none plain.
    const auto partly = [](const std::vector<double>& green) {
        return std::count_if(green.begin(), green.end(), [](double g) { return g > 0.0 && g < 255.0; });
    };
    EXPECT_GT(partly(lines), 1000);
    EXPECT_EQ(0, partly(dots));

    scene = new osg::Group;
    ShapeInstancer shapes;
    shapes.start(scene.get());
    for (int i = 0; i < 12; ++i)
        shapes.place(cache.line(10, {1, 0, 0, 1}), cache.lineStateSet(), false,
                     osg::Matrixd::rotate(0.25 * i, osg::Vec3d(0, 1, 0)) * osg::Matrixd::translate(0, 0, i));
    plain = render(scene.get(), "plain lines.png");
    smooth = render(scene.get(), "smooth lines.png", 200, 150, 16);
    ASSERT_TRUE(plain && smooth);
    const double plainCover = covered(greens(*plain, 1)), smoothCover = covered(greens(*smooth, 1));
    EXPECT_GT(plainCover, 200.0);
    EXPECT_NEAR(plainCover, smoothCover, 0.15 * plainCover);
}
