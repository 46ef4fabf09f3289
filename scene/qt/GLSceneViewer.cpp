#include "scene/qt/GLSceneViewer.h"

#include "scene/GLCamera.h"
#include "scene/GLContextError.h"
#include "scene/GLDeviceContext.h"
#include "scene/GLRenderingContext.h"

#include <algorithm>
#include <cmath>
#include <QEnterEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLWidget>
#include <QPointer>
#include <QResizeEvent>
#include <QtDebug>
#include <QWindow>
#include <vector>

namespace Scene {

// The context of one surface, as the buffer sees it. Qt makes the context
// (with the surface's format) before the first paint and presents the
// frame after paintGL, so creating and swapping only check and do nothing.
class TGLSceneViewer::TRenderingContext : public TGLRenderingContext
{
public:
    TRenderingContext(TGLSceneViewer& Viewer, QOpenGLWidget& Surface) : FViewer(Viewer), FSurface(Surface) {}

    void CreateContext(const TGLPixelFormatRequest& Request) override
    {
        (void)Request; // already in the surface's format
        QOpenGLContext* Context = FSurface.context();
        if (!Context || !Context->isValid())
            throw EGLContextError::OSError("no OpenGL context could be made for the requested pixel format.");
    }

    // Inside Qt's paint and resize handlers the context is current with the
    // surface's frame buffer bound; it must stay so for Qt afterwards.
    void Activate() override
    {
        const bool Current = QOpenGLContext::currentContext() == FSurface.context();
        if (!Current)
            FSurface.makeCurrent();
        FMadeCurrent.push_back(!Current);
    }

    void Deactivate() override
    {
        if (FMadeCurrent.empty())
            return;
        const bool MadeCurrent = FMadeCurrent.back();
        FMadeCurrent.pop_back();
        if (MadeCurrent)
            FSurface.doneCurrent();
    }

    void SwapBuffers() override {}

    // The interval is part of the surface's format: a different one makes
    // the surface again.
    bool SwapControlAvailable() const override { return true; }
    int SwapInterval() const override { return FViewer.FSwapInterval; }
    void SetSwapInterval(int Interval) override
    {
        FViewer.FSwapInterval = Interval;
        FViewer.ScheduleRecreation();
    }

private:
    TGLSceneViewer& FViewer;
    QOpenGLWidget& FSurface;
    std::vector<bool> FMadeCurrent;
};

class TGLSceneViewer::TDeviceContext : public TGLDeviceContext
{
public:
    TDeviceContext(TGLSceneViewer& Viewer, QOpenGLWidget& Surface) : FViewer(Viewer), FSurface(Surface) {}

    std::unique_ptr<TGLRenderingContext> NewRenderingContext() override
    {
        if (!FSurface.context())
            return nullptr;
        return std::make_unique<TRenderingContext>(FViewer, FSurface);
    }

private:
    TGLSceneViewer& FViewer;
    QOpenGLWidget& FSurface;
};

// The viewer's OpenGL window. Mouse events pass through it to the viewer.
class TGLSceneViewer::TSurface : public QOpenGLWidget
{
public:
    TSurface(TGLSceneViewer& Viewer, const QSurfaceFormat& Format) : QOpenGLWidget(&Viewer), FViewer(Viewer)
    {
        setFormat(Format);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(Viewer.rect());
    }

    ~TSurface() override
    {
        // Qt's own teardown must not call back into this half-destroyed object.
        if (context())
            disconnect(context(), nullptr, this, nullptr);
        ReleaseContext();
    }

    // The scene's display lists and textures go with the context.
    void ReleaseContext()
    {
        if (!FViewer.FBuffer.HasRenderingContext() || !context())
            return;
        makeCurrent();
        try {
            FViewer.FBuffer.DestroyRenderingContext();
        } catch (const std::exception& Error) {
            FViewer.ReportError(Error);
        }
        doneCurrent();
    }

protected:
    void initializeGL() override
    {
        connect(
            context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { ReleaseContext(); },
            Qt::DirectConnection);
        TDeviceContext Device(FViewer, *this);
        try {
            FViewer.FBuffer.SetDevicePixelRatio(devicePixelRatioF());
            FViewer.FBuffer.ResizeViewport(PixelWidth(), PixelHeight());
            FViewer.FBuffer.CreateRenderingContext(Device);
        } catch (const std::exception& Error) {
            FViewer.ReportError(Error);
        }
    }

    void resizeGL(int Width, int Height) override
    {
        (void)Width;
        (void)Height;
        try {
            FViewer.FBuffer.SetDevicePixelRatio(devicePixelRatioF());
            FViewer.FBuffer.ResizeViewport(PixelWidth(), PixelHeight());
        } catch (const std::exception& Error) {
            FViewer.ReportError(Error);
        }
    }

    // Qt draws the surface as soon as it is resized. On the way to the
    // screen for the first time that happens before the window can show
    // anything, and the window's first exposure draws again: only that
    // frame is ever seen.
    void resizeEvent(QResizeEvent* Event) override
    {
        FResizing = true;
        QOpenGLWidget::resizeEvent(Event);
        FResizing = false;
    }

    void paintGL() override
    {
        if (width() <= 0 || height() <= 0 || !FViewer.FBuffer.HasRenderingContext())
            return;
        if (FResizing && !FViewer.FFrameDrawn && !WindowExposed())
            return;
        // Set first, so AfterRender can read the frame back.
        FViewer.FFrameDrawn = true;
        try {
            FViewer.FBuffer.RenderFrame();
        } catch (const std::exception& Error) {
            FViewer.ReportError(Error);
        }
        MakeOpaque();
    }

private:
    // The frame's alpha channel is the scene's own business (materials with
    // a diffuse alpha of 0 leave 0 there); the window shows the frame
    // opaquely, so the toolkit must not blend it with what lies beneath.
    void MakeOpaque()
    {
        QOpenGLFunctions& Gl = *context()->functions();
        GLfloat Clear[4];
        GLboolean Mask[4];
        Gl.glGetFloatv(GL_COLOR_CLEAR_VALUE, Clear);
        Gl.glGetBooleanv(GL_COLOR_WRITEMASK, Mask);
        Gl.glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
        Gl.glClearColor(0, 0, 0, 1);
        Gl.glClear(GL_COLOR_BUFFER_BIT);
        Gl.glColorMask(Mask[0], Mask[1], Mask[2], Mask[3]);
        Gl.glClearColor(Clear[0], Clear[1], Clear[2], Clear[3]);
    }

    bool WindowExposed() const
    {
        const QWindow* Window = window()->windowHandle();
        return Window && Window->isExposed();
    }

    int PixelWidth() const { return static_cast<int>(std::lround(width() * devicePixelRatioF())); }
    int PixelHeight() const { return static_cast<int>(std::lround(height() * devicePixelRatioF())); }

    TGLSceneViewer& FViewer;
    bool FResizing = false;
};

TGLSceneViewer::TGLSceneViewer(QWidget* Parent) : QWidget(Parent)
{
    resize(100, 100);
    setMouseTracking(true);
    FSwapInterval = FBuffer.VSync() == vsmSync ? 1 : 0;
    FBuffer.SetOnChange([this] { Invalidate(); });
    FBuffer.SetOnStructuralChange([this] {
        if (FBuffer.Rendering())
            ScheduleRecreation();
        else
            RecreateSurface();
    });
    RecreateSurface();
}

TGLSceneViewer::~TGLSceneViewer()
{
    FBuffer.SetOwnerDestroying(true);
    FBuffer.SetOnChange(nullptr);
    FBuffer.SetOnStructuralChange(nullptr);
    delete FSurface;
    FSurface = nullptr;
}

QWidget* TGLSceneViewer::Surface() const
{
    return FSurface;
}

QSurfaceFormat TGLSceneViewer::SurfaceFormat() const
{
    const TGLPixelFormatRequest Request = FBuffer.PixelFormatRequest();
    QSurfaceFormat Format;
    Format.setRenderableType(QSurfaceFormat::OpenGL);
    Format.setProfile(QSurfaceFormat::CompatibilityProfile);
    Format.setSwapBehavior(Request.DoubleBuffer ? QSurfaceFormat::DoubleBuffer
                                                : QSurfaceFormat::SingleBuffer);
    // The surface draws into a frame buffer object that Qt composes into
    // the window, so a stereo format could only be refused; colour depth
    // above 8 bits per channel is likewise up to that object.
    const int Channel = Request.ColorBits >= 24   ? 8
                        : Request.ColorBits >= 16 ? 5
                        : Request.ColorBits > 0   ? 3
                                                  : -1;
    Format.setRedBufferSize(Channel);
    Format.setGreenBufferSize(Request.ColorBits == 16 ? 6 : Channel);
    Format.setBlueBufferSize(Request.ColorBits == 8 ? 2 : Channel);
    Format.setAlphaBufferSize(Request.AlphaBits > 0 ? Request.AlphaBits : -1);
    Format.setDepthBufferSize(Request.DepthBits);
    Format.setStencilBufferSize(Request.StencilBits > 0 ? Request.StencilBits : -1);
    Format.setSamples(Request.Samples > 0 ? Request.Samples : -1);
    Format.setSwapInterval(FSwapInterval);
    return Format;
}

void TGLSceneViewer::RecreateSurface()
{
    FRecreationPending = false;
    const bool WasVisible = FSurface && FSurface->isVisible();
    delete FSurface;
    FFrameDrawn = false;
    FSurface = new TSurface(*this, SurfaceFormat());
    if (WasVisible || isVisible())
        FSurface->show();
}

void TGLSceneViewer::ScheduleRecreation()
{
    if (FRecreationPending)
        return;
    FRecreationPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (FRecreationPending)
                RecreateSurface();
        },
        Qt::QueuedConnection);
}

void TGLSceneViewer::Invalidate()
{
    if (FSurface && !FBuffer.Rendering())
        FSurface->update();
}

void TGLSceneViewer::ReportError(const std::exception& Error)
{
    FLastError = Error.what();
    if (FOnError)
        FOnError(Error);
    else
        qWarning("TGLSceneViewer: %s", Error.what());
}

float TGLSceneViewer::FieldOfView() const
{
    const TGLCamera* Camera = FBuffer.Camera();
    if (!Camera)
        return 0;
    return Camera->FieldOfView(static_cast<float>(std::min(width(), height())));
}

void TGLSceneViewer::SetFieldOfView(float Value)
{
    if (TGLCamera* Camera = FBuffer.Camera())
        Camera->SetFieldOfView(Value, static_cast<float>(std::min(width(), height())));
}

void TGLSceneViewer::SetVSync(TVSyncMode Value)
{
    if (Value == FBuffer.VSync())
        return;
    FBuffer.SetVSync(Value);
    // Applied by the next frame.
    Invalidate();
}

QImage TGLSceneViewer::GrabFrame()
{
    if (!FSurface || !FBuffer.HasRenderingContext() || !FFrameDrawn)
        return QImage();
    QOpenGLContext* Context = FSurface->context();
    if (!Context)
        return QImage();
    const bool Current = QOpenGLContext::currentContext() == Context;
    if (!Current)
        FSurface->makeCurrent();
    const int Width = FBuffer.Width();
    const int Height = FBuffer.Height();
    QOpenGLExtraFunctions& Gl = *Context->extraFunctions();
    while (Gl.glGetError() != GL_NO_ERROR) {
    }
    QImage Image(Width, Height, QImage::Format_RGBA8888);
    const GLuint Source = FSurface->defaultFramebufferObject();
    Gl.glBindFramebuffer(GL_FRAMEBUFFER, Source);
    GLint Samples = 0;
    Gl.glGetIntegerv(GL_SAMPLES, &Samples);
    Gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (Samples > 0) {
        // A multisampled frame buffer cannot be read directly.
        QOpenGLFramebufferObject Resolved(Width, Height);
        Gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, Source);
        Gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, Resolved.handle());
        Gl.glBlitFramebuffer(0, 0, Width, Height, 0, 0, Width, Height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        Gl.glBindFramebuffer(GL_FRAMEBUFFER, Resolved.handle());
        Gl.glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Image.bits());
        Gl.glBindFramebuffer(GL_FRAMEBUFFER, Source);
    } else {
        Gl.glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Image.bits());
    }
    const bool Failed = Gl.glGetError() != GL_NO_ERROR;
    if (!Current)
        FSurface->doneCurrent();
    if (Failed)
        return QImage();
    // What the window shows: the frame without its alpha (see MakeOpaque).
    for (int Y = 0; Y < Height; ++Y) {
        uchar* Pixel = Image.scanLine(Y);
        for (int X = 0; X < Width; ++X, Pixel += 4)
            Pixel[3] = 255;
    }
    // OpenGL rows start at the bottom.
    return Image.mirrored();
}

// --- Qt events -----------------------------------------------------------------------

void TGLSceneViewer::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    // Qt tells an empty surface nothing; the viewport must still shrink (to 1 x 1).
    try {
        FBuffer.SetDevicePixelRatio(devicePixelRatioF());
        FBuffer.ResizeViewport(static_cast<int>(std::lround(width() * devicePixelRatioF())),
                               static_cast<int>(std::lround(height() * devicePixelRatioF())));
    } catch (const std::exception& Error) {
        ReportError(Error);
    }
    if (FSurface)
        FSurface->setGeometry(rect());
}

namespace {

TShiftState ShiftState(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState Shift;
    if (Modifiers & Qt::ShiftModifier)
        Shift.Include(ssShift);
    if (Modifiers & Qt::AltModifier)
        Shift.Include(ssAlt);
    if (Modifiers & Qt::ControlModifier)
        Shift.Include(ssCtrl);
    if (Buttons & Qt::LeftButton)
        Shift.Include(ssLeft);
    if (Buttons & Qt::RightButton)
        Shift.Include(ssRight);
    if (Buttons & Qt::MiddleButton)
        Shift.Include(ssMiddle);
    return Shift;
}

bool ToButton(Qt::MouseButton Button, TMouseButton& Result)
{
    switch (Button) {
    case Qt::LeftButton:
        Result = mbLeft;
        return true;
    case Qt::RightButton:
        Result = mbRight;
        return true;
    case Qt::MiddleButton:
        Result = mbMiddle;
        return true;
    default:
        return false;
    }
}

} // namespace

void TGLSceneViewer::MouseButtonEvent(const TMouseEvent& Handler, QMouseEvent* Event, bool Double)
{
    TMouseButton Button;
    if (!Handler || !ToButton(Event->button(), Button))
        return;
    TShiftState Shift = ShiftState(Event->modifiers(), Event->buttons());
    if (Double)
        Shift.Include(ssDouble);
    const QPoint At = Event->position().toPoint();
    try {
        Handler(Button, Shift, At.x(), At.y());
    } catch (const std::exception& Error) {
        ReportError(Error);
    }
}

void TGLSceneViewer::mousePressEvent(QMouseEvent* Event)
{
    MouseButtonEvent(FOnMouseDown, Event, false);
}

void TGLSceneViewer::mouseDoubleClickEvent(QMouseEvent* Event)
{
    MouseButtonEvent(FOnMouseDown, Event, true);
}

void TGLSceneViewer::mouseReleaseEvent(QMouseEvent* Event)
{
    MouseButtonEvent(FOnMouseUp, Event, false);
}

void TGLSceneViewer::mouseMoveEvent(QMouseEvent* Event)
{
    if (!FOnMouseMove)
        return;
    const QPoint At = Event->position().toPoint();
    try {
        FOnMouseMove(ShiftState(Event->modifiers(), Event->buttons()), At.x(), At.y());
    } catch (const std::exception& Error) {
        ReportError(Error);
    }
}

void TGLSceneViewer::Notify(const TNotifyEvent& Handler)
{
    if (!Handler)
        return;
    try {
        Handler();
    } catch (const std::exception& Error) {
        ReportError(Error);
    }
}

void TGLSceneViewer::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    Notify(FOnMouseEnter);
}

void TGLSceneViewer::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    Notify(FOnMouseLeave);
}

} // namespace Scene
