#pragma once

namespace Scene {

// What a buffer asks of the window system for its pixel format.
struct TGLPixelFormatRequest
{
    bool DoubleBuffer = true;
    bool Stereo = false;
    bool RenderToWindow = true;
    // 0: no colour buffer.
    int ColorBits = 24;
    int AlphaBits = 0;
    int DepthBits = 24;
    int StencilBits = 0;
    int AccumBits = 0;
    int AuxBuffers = 0;
    // Multisampling; 0 is the window system's default.
    int Samples = 0;
    friend bool operator==(const TGLPixelFormatRequest&, const TGLPixelFormatRequest&) = default;
};

// An OpenGL rendering context of one window, made by the window-system
// binding. The scene buffer drives all drawing through the GL dispatch; this
// only makes the context current and presents the frame.
class TGLRenderingContext
{
public:
    virtual ~TGLRenderingContext() = default;

    // Chooses the pixel format and makes the context. Throws EGLContextError
    // (use EGLContextError::OSError for the window system's refusals).
    virtual void CreateContext(const TGLPixelFormatRequest& Request) = 0;
    // Calls pair up; a context that is current already stays so after the pair.
    virtual void Activate() = 0;
    virtual void Deactivate() = 0;
    virtual void SwapBuffers() = 0;

    // Swap interval control, where the window system offers one.
    virtual bool SwapControlAvailable() const { return false; }
    virtual int SwapInterval() const { return 0; }
    virtual void SetSwapInterval(int Interval) { (void)Interval; }
};

} // namespace Scene
