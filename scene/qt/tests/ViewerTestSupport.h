#pragma once

// Waiting for a real viewer's frames under the test's X server.

#include "scene/GLCamera.h"
#include "scene/qt/GLSceneViewer.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>

namespace Scene::Testing {

inline bool WaitUntil(const std::function<bool()>& Condition, int TimeoutMs = 5000)
{
    QElapsedTimer Timer;
    Timer.start();
    while (!Condition()) {
        if (Timer.elapsed() > TimeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Lets every pending paint happen; returns after QuietMs without a new frame.
inline void Settle(const TGLSceneViewer& Viewer, int QuietMs = 300)
{
    QElapsedTimer Quiet;
    Quiet.start();
    std::int64_t Frames = Viewer.Buffer().FrameCount();
    QElapsedTimer Total;
    Total.start();
    while (Quiet.elapsed() < QuietMs && Total.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
        if (Viewer.Buffer().FrameCount() != Frames) {
            Frames = Viewer.Buffer().FrameCount();
            Quiet.restart();
        }
    }
}

// The globe's camera: at -10 on Z looking at Target, FocalLength 120.
inline void PlaceGlobeCamera(TGLCamera& Camera, TGLBaseSceneObject& Target)
{
    Camera.SetPosition(TVector{0, 0, -10, 1});
    Camera.SetDirection(TVector{0, 0, 1, 0});
    Camera.SetTargetObject(&Target);
    Camera.SetFocalLength(120);
    Camera.SetDepthOfView(240);
}

// Shows Viewer as the globe's: 328 x 344, sky blue, through Camera; returns
// once its first frames are drawn.
inline ::testing::AssertionResult ShowGlobeViewer(TGLSceneViewer& Viewer, TGLCamera& Camera)
{
    Viewer.Buffer().SetBackgroundColor(clSkyBlue);
    Viewer.Buffer().SetContextOptions({roDoubleBuffer, roRenderToWindow, roStereo, roDestinationAlpha});
    Viewer.Buffer().SetShadeModel(smSmooth);
    Viewer.SetCamera(&Camera);
    Viewer.resize(328, 344);
    Viewer.show();
    if (!WaitUntil([&] { return Viewer.Buffer().FrameCount() > 0; }))
        return ::testing::AssertionFailure() << "no frame drawn: " << Viewer.LastError();
    Settle(Viewer);
    return ::testing::AssertionSuccess();
}

inline QColor Rgb(const QImage& Image, int X, int Y)
{
    const QColor C = Image.pixelColor(X, Y);
    return QColor(C.red(), C.green(), C.blue());
}

} // namespace Scene::Testing
