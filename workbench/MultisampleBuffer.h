#pragma once
// Anti-aliasing of a camera that draws into a window: its frames are drawn
// into a multisampled frame buffer of the viewport's size, which is resolved
// into the window's buffer when the frame is done. The buffer is made (and
// made anew after a resize) in the camera's context while it draws.

#include <osg/Camera>
#include <osg/GL>

class MultisampleBuffer : public osg::Referenced {
public:
    // Draws the camera's frames through this buffer.
    void install(osg::Camera& camera);
    // Samples per pixel of the next frames, at most what the renderer
    // offers; 1 draws them straight into the window.
    void setSamples(int samples) { mySamples = samples; }
    int samples() const { return mySamples; }

private:
    class Begin;
    class End;

    void begin(osg::RenderInfo& renderInfo);
    void end(osg::RenderInfo& renderInfo);
    // Deletes the buffer's objects; the context is current.
    void release(osg::RenderInfo& renderInfo);

    int mySamples = 1;
    GLuint myFrameBuffer = 0;
    GLuint myColour = 0;
    GLuint myDepth = 0;
    int myWidth = 0;
    int myHeight = 0;
    int myBufferSamples = 0;
    bool myBound = false;
};
