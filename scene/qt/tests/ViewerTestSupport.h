#pragma once

// Waiting for a real viewer's frames under the test's X server.

#include "scene/qt/GLSceneViewer.h"

#include <cstdint>
#include <functional>
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

inline QColor Rgb(const QImage& Image, int X, int Y)
{
    const QColor C = Image.pixelColor(X, Y);
    return QColor(C.red(), C.green(), C.blue());
}

} // namespace Scene::Testing
