#pragma once
// An OpenGL context without any window system: EGL on Mesa's surfaceless
// platform. It lets the program render images on a machine that has no X
// display at all; the frame-buffer object of the rendering camera carries the
// image, so the context itself has no surface.

#include <osg/GraphicsContext>

class SurfacelessContext : public osg::GraphicsContext {
public:
    explicit SurfacelessContext(osg::GraphicsContext::Traits* traits);

    bool valid() const override { return true; }
    bool realizeImplementation() override;
    bool isRealizedImplementation() const override { return myContext != nullptr; }
    void closeImplementation() override;
    bool makeCurrentImplementation() override;
    bool makeContextCurrentImplementation(osg::GraphicsContext* readContext) override;
    bool releaseContextImplementation() override;
    void bindPBufferToTextureImplementation(GLenum) override {}
    void swapBuffersImplementation() override {}

protected:
    ~SurfacelessContext() override;

private:
    void* myDisplay = nullptr;
    void* myContext = nullptr;
};

// A context for off-screen rendering: a small pbuffer on the X display named
// by DISPLAY when there is one and it can be opened, a surfaceless EGL context
// otherwise. Returns null when neither can be realised.
osg::ref_ptr<osg::GraphicsContext> createOffscreenContext();
