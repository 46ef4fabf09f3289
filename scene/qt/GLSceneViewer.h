#pragma once

#include "scene/GLSceneBuffer.h"
#include "scene/GLSceneTypes.h"
#include "scene/GLShiftState.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <QImage>
#include <QSurfaceFormat>
#include <QWidget>
#include <string>

namespace Scene {

class TGLCamera;


// The window control that shows a scene: its OpenGL surface (a child
// QOpenGLWidget with a compatibility-profile context, so legacy OpenGL
// works) belongs to it and is made again when a context option changes.
// A frame is drawn only when Qt paints the surface; any visible change of
// the scene only schedules that paint, so many changes cost one frame.
class TGLSceneViewer : public QWidget
{
    Q_OBJECT

public:
    using TMouseEvent = std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(TShiftState Shift, int X, int Y)>;
    using TNotifyEvent = std::function<void()>;
    using TErrorEvent = std::function<void(const std::exception& Error)>;

    explicit TGLSceneViewer(QWidget* Parent = nullptr);
    ~TGLSceneViewer() override;

    TGLSceneBuffer& Buffer() { return FBuffer; }
    const TGLSceneBuffer& Buffer() const { return FBuffer; }
    TGLCamera* Camera() const { return FBuffer.Camera(); }
    void SetCamera(TGLCamera* Value) { FBuffer.SetCamera(Value); }

    // Degrees across the smaller side of the window; a derived figure (the
    // projection follows the camera's FocalLength).
    float FieldOfView() const;
    void SetFieldOfView(float Value);

    TVSyncMode VSync() const { return FBuffer.VSync(); }
    void SetVSync(TVSyncMode Value);
    void ResetFrameStats() { FBuffer.ResetFrameStats(); }

    // The last frame as drawn, read back from the surface without drawing
    // again (a null image before the first frame). Safe in the buffer's
    // AfterRender, which the caller may use as its per-frame hook.
    QImage GrabFrame();

    // Mouse handlers, in the viewer's pixels from its top-left corner. A
    // double click arrives as a second OnMouseDown with ssDouble.
    void SetOnMouseDown(TMouseEvent Value) { FOnMouseDown = std::move(Value); }
    void SetOnMouseMove(TMouseMoveEvent Value) { FOnMouseMove = std::move(Value); }
    void SetOnMouseUp(TMouseEvent Value) { FOnMouseUp = std::move(Value); }
    void SetOnMouseEnter(TNotifyEvent Value) { FOnMouseEnter = std::move(Value); }
    void SetOnMouseLeave(TNotifyEvent Value) { FOnMouseLeave = std::move(Value); }

    // Errors of context creation and drawing never leave Qt's paint
    // handlers; they come here (by default a warning on the console).
    void SetOnError(TErrorEvent Value) { FOnError = std::move(Value); }
    const std::string& LastError() const { return FLastError; }

    // The format the surface is made with, from the buffer's options.
    QSurfaceFormat SurfaceFormat() const;
    // The OpenGL surface, for tests and diagnostics.
    QWidget* Surface() const;

    QSize sizeHint() const override { return QSize(100, 100); }

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    class TSurface;
    class TDeviceContext;
    class TRenderingContext;

    void RecreateSurface();
    void ScheduleRecreation();
    void Invalidate();
    void ReportError(const std::exception& Error);
    void MouseButtonEvent(const TMouseEvent& Handler, QMouseEvent* Event, bool Double);
    void Notify(const TNotifyEvent& Handler);

    TGLSceneBuffer FBuffer;
    TSurface* FSurface = nullptr;
    // Requested from the window system with the surface's format.
    int FSwapInterval = 0;
    bool FRecreationPending = false;
    // The surface holds a frame to read back.
    bool FFrameDrawn = false;
    TMouseEvent FOnMouseDown;
    TMouseMoveEvent FOnMouseMove;
    TMouseEvent FOnMouseUp;
    TNotifyEvent FOnMouseEnter;
    TNotifyEvent FOnMouseLeave;
    TErrorEvent FOnError;
    std::string FLastError;
};

} // namespace Scene
