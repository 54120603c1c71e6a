#include "workbench/SceneView.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/MemoryLimits.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "workbench/ImageWriter.h"
#include "workbench/SvgDrawing.h"
#include "workbench/SurfacelessContext.h"

#include <osg/GL>
#include <osg/GLExtensions>
#include <osg/FrameBufferObject>
#include <osg/Geometry>
#include <osg/LineWidth>
#include <osg/NodeVisitor>
#include <osgDB/Registry>
#include <osgUtil/RenderStage>
#include <osgUtil/SceneView>
#include <osgViewer/Renderer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>
#include <vector>

namespace {

bool validLight(int index) { return index >= 0 && index < SceneView::lightCount; }

// The largest image the context can render into a frame-buffer object (0
// when the context cannot be made current).
int frameBufferLimit(osg::GraphicsContext& context) {
    if (!context.makeCurrent()) return 0;
    GLint renderBuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderBuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    // Mesa hands out a function for any name it is asked for: the
    // scene-graph library would take a stub for the multisample coverage
    // extension, prefer it, and leave render buffers without storage.
    const unsigned contextID = context.getState()->getContextID();
    osg::GLExtensions* gl = osg::GLExtensions::Get(contextID, true);
    if (gl && !osg::isGLExtensionSupported(contextID, "GL_NV_framebuffer_multisample_coverage"))
        gl->glRenderbufferStorageMultisampleCoverageNV = nullptr;
    while (glGetError() != GL_NO_ERROR) {
    }
    context.releaseContext();
    return std::min({renderBuffer, viewport[0], viewport[1]});
}

// An anti-aliased image is drawn scale times larger and each scale x scale
// block averaged: the samples of a pixel are the pixels of its block. Thin
// shapes are drawn as the plain picture of the larger size draws them, as
// lines whose pixels are covered by chance, each hidden or hiding by depth:
// averaged, a line covers its pixel by its width, and in a dense mass the
// nearest shapes hide those behind, as in a picture drawn in full.
// (Multisampling, at most 4 samples with the software renderer, costs more
// than drawing larger for masses of shapes, and a line covering a pixel
// partly must blend with whatever is drawn before it.)
int enlargement(int samples) {
    return std::max(1, static_cast<int>(std::lround(std::sqrt(static_cast<double>(samples)))));
}

// The frame-buffer object the camera last drew into, if any.
const osg::FrameBufferObject* drawnFrameBuffer(const osg::Camera* camera) {
    const auto* renderer = camera ? dynamic_cast<const osgViewer::Renderer*>(camera->getRenderer()) : nullptr;
    for (unsigned i = 0; renderer && i < 2; ++i) {
        const osgUtil::SceneView* view = renderer->getSceneView(i);
        const osgUtil::RenderStage* stage = view ? view->getRenderStage() : nullptr;
        if (stage && stage->getFrameBufferObject()) return stage->getFrameBufferObject();
    }
    return nullptr;
}

// Reads the picture drawn into the camera's frame buffer, scale times
// larger than image, back into image, each pixel the average of its scale x
// scale block. It reads a strip of scale rows at a time: the larger picture
// is never held whole beside the renderer's.
class ShrinkingReadBack : public osg::Camera::DrawCallback {
public:
    ShrinkingReadBack(osg::Image& image, int scale) : myImage(&image), myScale(scale) {}
    void operator()(osg::RenderInfo& renderInfo) const override {
        osg::Image& image = *myImage;
        const unsigned channels = osg::Image::computeNumComponents(image.getPixelFormat());
        const int width = image.s(), scale = myScale;
        const std::size_t row = static_cast<std::size_t>(width) * scale * channels;
        const unsigned blockSize = static_cast<unsigned>(scale * scale);
        std::vector<unsigned char> strip(row * scale);
        std::vector<unsigned> sums(static_cast<std::size_t>(width) * channels);
        // The camera's frame buffer is no longer bound once its subgraph is
        // drawn: it is bound again, for drawing too. With the window
        // system's buffer left as the drawing target, the software renderer
        // brings that buffer up to date on every read, which an X display's
        // off-screen buffer answers with an X error printed on the terminal.
        const osg::FrameBufferObject* frameBuffer = drawnFrameBuffer(renderInfo.getCurrentCamera());
        const osg::GLExtensions* gl = renderInfo.getState()->get<osg::GLExtensions>();
        if (!frameBuffer || !gl) return;
        frameBuffer->apply(*renderInfo.getState(), osg::FrameBufferObject::READ_DRAW_FRAMEBUFFER);
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        for (int y = 0; y < image.t(); ++y) {
            glReadPixels(0, y * scale, width * scale, scale, image.getPixelFormat(), GL_UNSIGNED_BYTE, strip.data());
            std::fill(sums.begin(), sums.end(), 0u);
            for (int dy = 0; dy < scale; ++dy) {
                const unsigned char* drawn = strip.data() + dy * row;
                for (int x = 0; x < width; ++x)
                    for (int dx = 0; dx < scale; ++dx)
                        for (unsigned c = 0; c < channels; ++c)
                            sums[x * channels + c] += drawn[(x * scale + dx) * channels + c];
            }
            unsigned char* out = image.data(0, y);
            for (std::size_t i = 0; i < sums.size(); ++i)
                out[i] = static_cast<unsigned char>((sums[i] + blockSize / 2) / blockSize);
        }
        gl->glBindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    }

private:
    osg::ref_ptr<osg::Image> myImage;
    int myScale;
};

// Bytes of the arrays and indices of the scene's geometries, each counted
// once: what the driver copies into buffers of its own to draw them.
std::uint64_t geometryBytes(osg::Node& scene) {
    class Counter : public osg::NodeVisitor {
    public:
        Counter() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
        void apply(osg::Geometry& geometry) override {
            if (!mySeen.insert(&geometry).second) return;
            osg::Geometry::ArrayList arrays;
            geometry.getArrayList(arrays);
            for (const osg::ref_ptr<osg::Array>& array : arrays) bytes += array->getTotalDataSize();
            for (const osg::ref_ptr<osg::PrimitiveSet>& primitives : geometry.getPrimitiveSetList())
                bytes += primitives->getTotalDataSize();
        }
        std::uint64_t bytes = 0;

    private:
        std::set<const osg::Geometry*> mySeen;
    } counter;
    scene.accept(counter);
    return counter.bytes;
}

// The memory the driver takes to render: the colour and depth buffers of the
// frame-buffer object, 4 bytes a pixel each, and its copy of the geometry,
// with room for its own working memory.
std::uint64_t renderMemory(int width, int height, std::uint64_t geometry) {
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 8 + geometry + (64u << 20);
}

std::string megabytes(std::uint64_t bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB"; }

std::string glErrorText(GLenum error) {
    switch (error) {
    case GL_OUT_OF_MEMORY:
        return "it ran out of memory";
    case 0x0506: // GL_INVALID_FRAMEBUFFER_OPERATION
        return "its frame buffer was incomplete";
    default: {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", error);
        return std::string("OpenGL error ") + code;
    }
    }
}

// The value that fills an image before rendering: a picture read back
// carries the clear colour's full alpha, so an image that still holds only
// this was never read back.
constexpr unsigned char unwritten = 0xA5;

} // namespace

SceneView::SceneView()
    : myRoot(new osg::Group), myLightGroup(new osg::Group), myViewer(new osgViewer::Viewer),
      myManipulator(new MOSGTrackballManipulator), myMultisample(new MultisampleBuffer) {
    for (int i = 0; i < lightCount; ++i) {
        myLights[i] = new osg::Light(i);
        myLightSources[i] = new osg::LightSource;
        myLightSources[i]->setLight(myLights[i].get());
        myLightSources[i]->setReferenceFrame(osg::LightSource::ABSOLUTE_RF);
        myLightSources[i]->setLocalStateSetModes(osg::StateAttribute::ON);
        myLightSources[i]->setCullingActive(false);
        myLightGroup->addChild(myLightSources[i].get());
    }
    // The scene's own lights replace the viewer's head light.
    myViewer->setLightingMode(osg::View::NO_LIGHT);
    myViewer->setThreadingModel(osgViewer::Viewer::SingleThreaded);
    myViewer->setKeyEventSetsDone(0);
    myViewer->getCamera()->setViewport(0, 0, 400, 400);
    myViewer->getCamera()->setProjectionResizePolicy(osg::Camera::FIXED);
    myViewer->getCamera()->setClearColor(myClearColor);
    myViewer->setCameraManipulator(myManipulator.get());
    myMultisample->install(*myViewer->getCamera());
    myRoot->addChild(myLightGroup.get());
    myViewer->setSceneData(myRoot.get());
}

SceneView::~SceneView() = default;

void SceneView::setProjection(osg::Camera* camera, double aspect) {
    camera->setProjectionMatrixAsPerspective(30.0, aspect, 0.1, 200000.0);
}

void SceneView::setScene(osg::Node* scene, CameraDef* cameraRecord, const LightDef* lightRecords, bool resetView) {
    myPendingScene = scene ? scene : new osg::Group;
    myCameraRecord = cameraRecord;
    myLightRecords = lightRecords;
    myResetView = resetView;
    myHasPendingScene = true;
}

bool SceneView::takeOverPendingScene() {
    if (!myHasPendingScene) return false;
    myRoot = new osg::Group;
    myRoot->addChild(myLightGroup.get());
    myRoot->addChild(myPendingScene.get());
    myViewer->setSceneData(myRoot.get());

    osg::Camera* camera = myViewer->getCamera();
    camera->setCullingMode(camera->getCullingMode() & ~osg::CullSettings::SMALL_FEATURE_CULLING);
    const osg::Viewport* viewport = camera->getViewport();
    setProjection(camera, viewport ? viewport->aspectRatio() : 1.0);

    if (!myResetView && myCameraRecord) {
        const CameraDef& record = *myCameraRecord;
        myManipulator->setOrbit(
            record.distance, osg::Quat(record.rotation[0], record.rotation[1], record.rotation[2], record.rotation[3]),
            osg::Vec3d(record.center[0], record.center[1], record.center[2]));
    } else {
        centerView();
    }
    for (int i = 0; i < lightCount; ++i) setLightEnabled(i, myLightRecords && myLightRecords[i].enabled);
    myPendingScene = nullptr;
    myHasPendingScene = false;
    return true;
}

void SceneView::frame(bool plain) {
    takeOverPendingScene();
    applyBackground();
    const bool antialiased = myViewSamples > 1 && !plain;
    myMultisample->setSamples(antialiased ? myViewSamples : 1);
    setLineCoverage(*myViewer->getCamera(), antialiased);
    myViewer->frame();
    storeView();
}

void SceneView::resize(int width, int height) {
    osg::Camera* camera = myViewer->getCamera();
    if (width > 0 && height > 0) {
        myViewer->getEventQueue()->windowResize(0, 0, width, height);
        if (camera->getGraphicsContext()) camera->getGraphicsContext()->resized(0, 0, width, height);
    }
    // A zero side would make the projection infinite: count it as one pixel.
    double fov = 30.0, aspect = 1.0, zNear = 0.1, zFar = 200000.0;
    camera->getProjectionMatrixAsPerspective(fov, aspect, zNear, zFar);
    camera->setProjectionMatrixAsPerspective(fov, static_cast<double>(std::max(width, 1)) / std::max(height, 1), zNear,
                                             zFar);
}

void SceneView::centerView() {
    myManipulator->setNode(myRoot.get());
    myManipulator->computeHomePosition(myViewer->getCamera(), false);
    myManipulator->home(1.0);
    myReferenceDistance = myManipulator->getDistance();
}

void SceneView::storeView() {
    if (!myCameraRecord) return;
    CameraDef& record = *myCameraRecord;
    double distance = 0.0;
    osg::Quat rotation;
    osg::Vec3d center;
    myManipulator->getOrbit(distance, rotation, center);
    record.zoom = distance != 0.0 ? myReferenceDistance / distance : 1.0;
    const osg::Matrixd matrix = myManipulator->getMatrix();
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) record.matrix[row * 4 + column] = matrix(row, column);
    record.center = {center.x(), center.y(), center.z()};
    record.rotation = {rotation.x(), rotation.y(), rotation.z(), rotation.w()};
    record.distance = distance;
    record.set = true;
}

void SceneView::setBackground(float r, float g, float b, float a) { myWantedClearColor.set(r, g, b, a); }

bool SceneView::applyBackground() {
    if (myWantedClearColor == myClearColor) return false;
    myClearColor = myWantedClearColor;
    myViewer->getCamera()->setClearColor(myClearColor);
    return true;
}

void SceneView::setLightPosition(int index, double x, double y, double z, bool positional) {
    if (validLight(index)) myLights[index]->setPosition(osg::Vec4(x, y, z, positional ? 1.0 : 0.0));
}

void SceneView::setLightAmbient(int index, float r, float g, float b, float a) {
    if (validLight(index)) myLights[index]->setAmbient(osg::Vec4(r, g, b, a));
}

void SceneView::setLightDiffuse(int index, float r, float g, float b, float a) {
    if (validLight(index)) myLights[index]->setDiffuse(osg::Vec4(r, g, b, a));
}

void SceneView::setLightSpecular(int index, float r, float g, float b, float a) {
    if (validLight(index)) myLights[index]->setSpecular(osg::Vec4(r, g, b, a));
}

void SceneView::setLightEnabled(int index, bool on) {
    if (!validLight(index) || !myViewer->getSceneData()) return;
    osg::StateSet* state = myViewer->getSceneData()->getOrCreateStateSet();
    state->setMode(GL_LIGHT0 + index, on ? osg::StateAttribute::ON : osg::StateAttribute::OFF);
    if (on)
        state->setDefine(lightDefine(index));
    else
        state->removeDefine(lightDefine(index));
    // A switched-off light source must not switch its light on again.
    myLightSources[index]->setLocalStateSetModes(on ? osg::StateAttribute::ON : osg::StateAttribute::OFF);
}

std::string SceneView::renderImage(const std::string& fileName, int width, int height, int samples) {
    takeOverPendingScene();
    applyBackground();
    std::string problem = imageProblem(fileName, width, height);
    if (!problem.empty()) return problem;
    osg::ref_ptr<osg::GraphicsContext> context = createOffscreenContext();
    if (!context) return "No OpenGL context could be created for rendering.";
    // A larger image would make the scene-graph library fall back to a
    // window-system buffer of the wrong size and write a wrong picture.
    const int limit = frameBufferLimit(*context);
    if (width > limit || height > limit)
        return "The renderer draws images of at most " + std::to_string(limit) + " x " + std::to_string(limit) +
               " pixels.";

    osg::ref_ptr<osgViewer::Viewer> offscreen = new osgViewer::Viewer;
    osg::ref_ptr<MOSGTrackballManipulator> manipulator = new MOSGTrackballManipulator;
    double distance = 0.0;
    osg::Quat rotation;
    osg::Vec3d center;
    myManipulator->getOrbit(distance, rotation, center);
    manipulator->setOrbit(distance, rotation, center);
    // The scene comes first: giving a viewer a scene sends its manipulator
    // home, which would replace the orbit of the view on screen.
    offscreen->setSceneData(myViewer->getSceneData());
    offscreen->setCameraManipulator(manipulator.get(), false);
    offscreen->setLightingMode(osg::View::NO_LIGHT);
    offscreen->setThreadingModel(osgViewer::Viewer::SingleThreaded);

    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    const bool opaque = lowerExtension(fileName) == "jpg";
    const int bytesPerPixel = opaque ? 3 : 4;
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    // A driver that runs out of memory may crash rather than fail, so what
    // the image and the render need is checked first.
    const std::uint64_t geometry = geometryBytes(*offscreen->getSceneData());
    const auto neededFor = [&](int scale) {
        return pixels * bytesPerPixel + renderMemory(width * scale, height * scale, geometry);
    };
    const std::uint64_t free = freeMemory();
    // An anti-aliased image too large to be drawn enlarged as asked, for the
    // renderer or the memory, is drawn less enlarged.
    int scale = enlargement(samples);
    while (scale > 1 && (std::max(width, height) * scale > limit || neededFor(scale) > free)) --scale;
    const int drawnWidth = width * scale, drawnHeight = height * scale;

    osg::Camera* camera = offscreen->getCamera();
    camera->setGraphicsContext(context.get());
    camera->setCullingMode(myViewer->getCamera()->getCullingMode());
    setProjection(camera, static_cast<double>(width) / height);
    camera->setViewport(0, 0, drawnWidth, drawnHeight);
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    camera->setClearColor(myViewer->getCamera()->getClearColor());
    // Lines are as wide as a pixel of the image, whatever size it is drawn at.
    if (scale > 1) camera->getOrCreateStateSet()->setAttribute(new osg::LineWidth(static_cast<float>(scale)));

    const std::uint64_t needed = neededFor(scale);
    const GLenum format = opaque ? GL_RGB : GL_RGBA;
    osg::ref_ptr<osg::Image> image = new osg::Image;
    if (needed <= free) image->allocateImage(width, height, 1, format, GL_UNSIGNED_BYTE, 1);
    if (needed > free) {
        problem = "Not enough memory to render an image of " + size + ": it needs about " + megabytes(needed) +
                  ", only " + megabytes(free) + " are free.";
    } else if (!image->data()) {
        problem = "Not enough memory for an image of " + size + ".";
    } else {
        std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), unwritten);
        camera->attach(osg::Camera::COLOR_BUFFER, GL_RGBA8);
        camera->setPostDrawCallback(new ShrinkingReadBack(*image, scale));
        // Errors stay for the check after the frame instead of being only
        // logged by the scene-graph library.
        if (context->getState()) context->getState()->setCheckForGLErrors(osg::State::NEVER_CHECK_GL_ERRORS);
        offscreen->frame();
        GLenum error = GL_NO_ERROR;
        if (context->makeCurrent()) {
            for (GLenum next = glGetError(); next != GL_NO_ERROR; next = glGetError())
                if (error == GL_NO_ERROR) error = next;
            context->releaseContext();
        }
        const unsigned char* const data = image->data();
        const bool readBack = std::any_of(data, data + image->getTotalSizeInBytes(),
                                          [](unsigned char byte) { return byte != unwritten; });
        // When the frame-buffer object cannot be set up, the scene-graph
        // library switches the camera to another target and reads back a
        // picture that was never drawn.
        if (camera->getRenderTargetImplementation() != osg::Camera::FRAME_BUFFER_OBJECT)
            problem =
                "The frame buffer for an image of " + size + " could not be set up (too little graphics memory?).";
        else if (error != GL_NO_ERROR)
            problem = "The renderer failed on an image of " + size + ": " + glErrorText(error) + ".";
        else if (!readBack && !opaque)
            problem = "The rendered image of " + size + " could not be read back.";
    }
    camera->detach(osg::Camera::COLOR_BUFFER);
    if (problem.empty()) problem = writeImage(*image, fileName);
    // Free what the off-screen context created before it goes.
    releaseSharedShaders(context->getState());
    offscreen->setSceneData(nullptr);
    offscreen->stopThreading();
    context->close();
    return problem;
}

std::string SceneView::writeScene(const std::string& fileName, const ObjectExportOptions& options,
                                  ProgressRetriever* progress) {
    takeOverPendingScene();
    osg::Node* scene = myViewer->getSceneData();
    if (!scene) return "There is no scene to write.";
    return writeObjectFile(*scene, fileName, options, progress);
}

std::string SceneView::writeDrawing(const std::string& fileName, int width, int height) {
    takeOverPendingScene();
    applyBackground();
    if (width <= 0 || height <= 0) return "The image needs a width and a height of at least 1 pixel.";
    osg::Node* scene = myViewer->getSceneData();
    if (!scene) return "There is no scene to draw.";
    SvgCamera camera;
    camera.view = myManipulator->getInverseMatrix();
    osg::ref_ptr<osg::Camera> projection = new osg::Camera;
    setProjection(projection.get(), static_cast<double>(width) / height);
    camera.projection = projection->getProjectionMatrix();
    camera.width = width;
    camera.height = height;
    camera.background = myClearColor;
    try {
        writeSvg(ExportScene(*scene), camera, fileName);
    } catch (const FileError& error) {
        return error.reason().empty() ? "'" + fileName + "' could not be written." : error.reason();
    }
    return std::string();
}
