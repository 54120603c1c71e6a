#include "workbench/SurfacelessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdlib>

SurfacelessContext::SurfacelessContext(osg::GraphicsContext::Traits* traits) {
    _traits = traits;
    setState(new osg::State);
    getState()->setGraphicsContext(this);
    getState()->setContextID(osg::GraphicsContext::createNewContextID());
}

SurfacelessContext::~SurfacelessContext() { close(false); }

bool SurfacelessContext::realizeImplementation() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return false;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) return false;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) return false;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        eglTerminate(display);
        return false;
    }
    // The surfaceless platform may offer no configurations; a context
    // without one is fine since it never draws to a surface of its own.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        eglTerminate(display);
        return false;
    }
    myDisplay = display;
    myContext = context;
    return true;
}

void SurfacelessContext::closeImplementation() {
    if (myContext) {
        eglMakeCurrent(myDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(myDisplay, myContext);
    }
    myContext = nullptr;
    myDisplay = nullptr;
}

bool SurfacelessContext::makeCurrentImplementation() {
    return myContext && eglMakeCurrent(myDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, myContext);
}

bool SurfacelessContext::makeContextCurrentImplementation(osg::GraphicsContext*) { return makeCurrentImplementation(); }

bool SurfacelessContext::releaseContextImplementation() {
    return myContext && eglMakeCurrent(myDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

osg::ref_ptr<osg::GraphicsContext> createOffscreenContext() {
    osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
    traits->x = 0;
    traits->y = 0;
    traits->width = 1;
    traits->height = 1;
    traits->red = traits->green = traits->blue = traits->alpha = 8;
    traits->depth = 24;
    osg::ref_ptr<osg::GraphicsContext> context;
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        osg::ref_ptr<osg::GraphicsContext::Traits> onDisplay = new osg::GraphicsContext::Traits(*traits);
        onDisplay->pbuffer = true;
        onDisplay->readDISPLAY();
        onDisplay->setUndefinedScreenDetailsToDefaultScreen();
        context = osg::GraphicsContext::createGraphicsContext(onDisplay.get());
        if (context && !context->isRealized()) context->realize();
    }
    // A display that cannot be opened is no reason to fail: render without one.
    if (!context || !context->isRealized()) {
        context = new SurfacelessContext(traits.get());
        context->realize();
    }
    if (!context->isRealized()) return nullptr;
    return context;
}
