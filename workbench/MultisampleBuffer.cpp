#include "workbench/MultisampleBuffer.h"

#include <osg/FrameBufferObject>
#include <osg/GLExtensions>
#include <osg/RenderInfo>

#include <algorithm>

class MultisampleBuffer::Begin : public osg::Camera::DrawCallback {
public:
    explicit Begin(MultisampleBuffer& buffer) : myBuffer(&buffer) {}
    void operator()(osg::RenderInfo& renderInfo) const override { myBuffer->begin(renderInfo); }

private:
    osg::ref_ptr<MultisampleBuffer> myBuffer;
};

class MultisampleBuffer::End : public osg::Camera::DrawCallback {
public:
    explicit End(MultisampleBuffer& buffer) : myBuffer(&buffer) {}
    void operator()(osg::RenderInfo& renderInfo) const override { myBuffer->end(renderInfo); }

private:
    osg::ref_ptr<MultisampleBuffer> myBuffer;
};

void MultisampleBuffer::install(osg::Camera& camera) {
    camera.setInitialDrawCallback(new Begin(*this));
    camera.setFinalDrawCallback(new End(*this));
}

void MultisampleBuffer::begin(osg::RenderInfo& renderInfo) {
    myBound = false;
    osg::State& state = *renderInfo.getState();
    const osg::GLExtensions* gl = state.get<osg::GLExtensions>();
    const osg::Camera* camera = renderInfo.getCurrentCamera();
    const osg::Viewport* viewport = camera ? camera->getViewport() : nullptr;
    if (mySamples <= 1 || !viewport || !gl || !gl->isFrameBufferObjectSupported ||
        !gl->isRenderbufferMultisampleSupported() || !gl->glBlitFramebuffer)
        return;
    GLint most = 1;
    glGetIntegerv(GL_MAX_SAMPLES_EXT, &most);
    const int samples = std::min(mySamples, static_cast<int>(most));
    const int width = static_cast<int>(viewport->width()), height = static_cast<int>(viewport->height());
    if (samples <= 1 || width <= 0 || height <= 0) return;
    if (myFrameBuffer && (width != myWidth || height != myHeight || samples != myBufferSamples)) release(renderInfo);
    if (!myFrameBuffer) {
        gl->glGenFramebuffers(1, &myFrameBuffer);
        gl->glGenRenderbuffers(1, &myColour);
        gl->glGenRenderbuffers(1, &myDepth);
        gl->glBindFramebuffer(GL_FRAMEBUFFER_EXT, myFrameBuffer);
        gl->glBindRenderbuffer(GL_RENDERBUFFER_EXT, myColour);
        gl->glRenderbufferStorageMultisample(GL_RENDERBUFFER_EXT, samples, GL_RGBA8, width, height);
        gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, myColour);
        gl->glBindRenderbuffer(GL_RENDERBUFFER_EXT, myDepth);
        gl->glRenderbufferStorageMultisample(GL_RENDERBUFFER_EXT, samples, GL_DEPTH_COMPONENT24, width, height);
        gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, myDepth);
        gl->glBindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
        myWidth = width;
        myHeight = height;
        myBufferSamples = samples;
        // A buffer the renderer cannot draw into (out of memory) leaves the
        // frame to the window, not anti-aliased.
        const bool complete = gl->glCheckFramebufferStatus(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
        if (!complete) release(renderInfo);
        if (!complete) return;
    }
    gl->glBindFramebuffer(GL_FRAMEBUFFER_EXT, myFrameBuffer);
    myBound = true;
}

void MultisampleBuffer::end(osg::RenderInfo& renderInfo) {
    if (!myBound) return;
    myBound = false;
    osg::State& state = *renderInfo.getState();
    const osg::GLExtensions* gl = state.get<osg::GLExtensions>();
    const GLuint window = state.getGraphicsContext() ? state.getGraphicsContext()->getDefaultFboId() : 0;
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER_EXT, myFrameBuffer);
    gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER_EXT, window);
    gl->glBlitFramebuffer(0, 0, myWidth, myHeight, 0, 0, myWidth, myHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl->glBindFramebuffer(GL_FRAMEBUFFER_EXT, window);
}

void MultisampleBuffer::release(osg::RenderInfo& renderInfo) {
    const osg::GLExtensions* gl = renderInfo.getState()->get<osg::GLExtensions>();
    const GLuint window =
        renderInfo.getState()->getGraphicsContext() ? renderInfo.getState()->getGraphicsContext()->getDefaultFboId() : 0;
    gl->glBindFramebuffer(GL_FRAMEBUFFER_EXT, window);
    gl->glDeleteFramebuffers(1, &myFrameBuffer);
    gl->glDeleteRenderbuffers(1, &myColour);
    gl->glDeleteRenderbuffers(1, &myDepth);
    myFrameBuffer = myColour = myDepth = 0;
}
