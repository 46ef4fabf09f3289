#include "GLXTestContext.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace Scene::Testing {

struct TGLXTestContext::TImplementation
{
    Display* Connection = nullptr;
    GLXPbuffer Pbuffer = 0;
    GLXContext Context = nullptr;
};

TGLXTestContext::TGLXTestContext(int Width, int Height) : FImplementation(std::make_unique<TImplementation>())
{
    TImplementation& I = *FImplementation;
    I.Connection = XOpenDisplay(nullptr);
    if (!I.Connection) {
        FError = "no X display";
        return;
    }
    const int Attributes[] = {GLX_DRAWABLE_TYPE,
                              GLX_PBUFFER_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_RED_SIZE,
                              8,
                              GLX_GREEN_SIZE,
                              8,
                              GLX_BLUE_SIZE,
                              8,
                              GLX_DEPTH_SIZE,
                              16,
                              None};
    int Count = 0;
    GLXFBConfig* Configs = glXChooseFBConfig(I.Connection, DefaultScreen(I.Connection), Attributes, &Count);
    if (!Configs || Count == 0) {
        FError = "no pbuffer frame-buffer configuration";
        if (Configs)
            XFree(Configs);
        return;
    }
    const int PbufferAttributes[] = {GLX_PBUFFER_WIDTH, Width, GLX_PBUFFER_HEIGHT, Height, None};
    I.Pbuffer = glXCreatePbuffer(I.Connection, Configs[0], PbufferAttributes);
    I.Context = glXCreateNewContext(I.Connection, Configs[0], GLX_RGBA_TYPE, nullptr, True);
    XFree(Configs);
    if (!I.Pbuffer || !I.Context) {
        FError = "pbuffer or context creation failed";
        return;
    }
    if (!glXMakeContextCurrent(I.Connection, I.Pbuffer, I.Pbuffer, I.Context)) {
        FError = "glXMakeContextCurrent failed";
        return;
    }
    FValid = true;
}

TGLXTestContext::~TGLXTestContext()
{
    TImplementation& I = *FImplementation;
    if (I.Connection) {
        glXMakeContextCurrent(I.Connection, None, None, nullptr);
        if (I.Context)
            glXDestroyContext(I.Connection, I.Context);
        if (I.Pbuffer)
            glXDestroyPbuffer(I.Connection, I.Pbuffer);
        XCloseDisplay(I.Connection);
    }
}

} // namespace Scene::Testing
