// The floor the clock's costs are measured against: a window of the clock's
// size and kind holding the same scene viewer, with the same viewer set-up,
// showing an empty scene (only the camera), so each frame is the clear and
// the presentation and nothing else. Closes on SIGTERM or SIGINT, as the
// clock does.
#include "scene/GLCamera.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneBuffer.h"
#include "scene/qt/GLSceneViewer.h"

#include <QApplication>
#include <QPalette>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <unistd.h>

using namespace Scene;

namespace {

int SignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char Byte = 1;
    [[maybe_unused]] const auto Written = write(SignalPipe[1], &Byte, 1);
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    QApplication Application(ArgumentCount, Arguments);
    if (pipe(SignalPipe) == 0) {
        std::signal(SIGTERM, OnSignal);
        std::signal(SIGINT, OnSignal);
        auto* Notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &Application);
        QObject::connect(Notifier, &QSocketNotifier::activated, &Application, &QApplication::quit);
    }

    TGLScene Cene;
    auto& Camera = static_cast<TGLCamera&>(Cene.AddObject(std::make_unique<TGLCamera>()));
    Camera.SetDepthOfView(240);
    Camera.SetFocalLength(120);

    QWidget Window;
    Window.setWindowTitle(QStringLiteral("floor"));
    Window.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnBottomHint);
    Window.setFixedSize(329, 345);
    Window.move(474, 162);
    QPalette Background = Window.palette();
    Background.setColor(QPalette::Window, QColor(166, 202, 240));
    Window.setPalette(Background);
    Window.setAutoFillBackground(true);

    auto* ScreenView = new TGLSceneViewer(&Window);
    ScreenView->setGeometry(0, 0, 328, 344);
    ScreenView->SetCamera(&Camera);
    TGLSceneBuffer& Buffer = ScreenView->Buffer();
    Buffer.SetBackgroundColor(clSkyBlue);
    Buffer.SetContextOptions({roDoubleBuffer, roRenderToWindow, roStereo, roDestinationAlpha});
    Buffer.SetShadeModel(smSmooth);

    Window.show();
    return Application.exec();
}
