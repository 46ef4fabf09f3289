// Resident memory of a clock-like process before, during and after a popup
// window: the popup library loaded, its page shown, then the window closed.
// The web engine's renderers are processes of their own; their memory is
// given apart. Usage: zentavo_popup_memory_bench POPUP_SO PAGE [SCREENSHOT.png]
#include "zentavo_companion.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

long ResidentKilobytes(const std::string& Pid)
{
    std::ifstream Status("/proc/" + Pid + "/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.rfind("VmRSS:", 0) == 0)
            return std::stol(Line.substr(6));
    return 0;
}

// The processes the web engine started below this one, and their memory.
std::pair<int, long> ChildrenKilobytes()
{
    const std::string Self = std::to_string(QCoreApplication::applicationPid());
    int Count = 0;
    long Total = 0;
    for (const QString& Entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool Number = false;
        Entry.toInt(&Number);
        if (!Number)
            continue;
        std::ifstream Stat("/proc/" + Entry.toStdString() + "/stat");
        std::string Text((std::istreambuf_iterator<char>(Stat)), {});
        const size_t Close = Text.rfind(')');
        if (Close == std::string::npos)
            continue;
        std::istringstream Rest(Text.substr(Close + 2));
        std::string State, Parent;
        Rest >> State >> Parent;
        if (Parent == Self) {
            ++Count;
            Total += ResidentKilobytes(Entry.toStdString());
        }
    }
    return {Count, Total};
}

void Wait(int Milliseconds)
{
    QElapsedTimer Timer;
    Timer.start();
    while (Timer.elapsed() < Milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

QWidget* PopupWindow()
{
    for (QWidget* Top : QApplication::topLevelWidgets())
        if (Top->objectName() == QLatin1String("ZentavoPopupWindow") && Top->isVisible())
            return Top;
    return nullptr;
}

bool IsLoaded(const char* Path)
{
    void* Handle = dlopen(Path, RTLD_LAZY | RTLD_NOLOAD);
    if (Handle != nullptr)
        dlclose(Handle);
    return Handle != nullptr;
}

void Report(const char* When)
{
    const auto [Count, Children] = ChildrenKilobytes();
    std::printf("%-34s clock %7.1f MiB   web engine processes %d, %7.1f MiB\n", When,
                ResidentKilobytes("self") / 1024.0, Count, Children / 1024.0);
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    if (ArgumentCount < 3) {
        std::fprintf(stderr, "usage: %s POPUP_SO PAGE [SCREENSHOT.png]\n", Arguments[0]);
        return 2;
    }
    QApplication Application(ArgumentCount, Arguments);
    const char* Library = Arguments[1];
    Wait(500);
    Report("before (no popup yet)");

    void* Handle = dlopen(Library, RTLD_NOW | RTLD_LOCAL);
    if (Handle == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto* Function = reinterpret_cast<ZTGetBrowserWinFunction*>(dlsym(Handle, "GetBrowserWin"));
    const std::u16string Link = QString::fromLocal8Bit(Arguments[2]).toStdU16String();
    const std::u16string Caption = QStringLiteral("Ajuda do Zentavo 3D").toStdU16String();
    QElapsedTimer Timer;
    Timer.start();
    Function(nullptr, reinterpret_cast<const uint16_t*>(Link.c_str()),
             reinterpret_cast<const uint16_t*>(Caption.c_str()), 40, 40, 640, 560, 0, 0);
    const qint64 CallMilliseconds = Timer.elapsed();
    dlclose(Handle);
    while (PopupWindow() == nullptr && Timer.elapsed() < 10000)
        Wait(20);
    Wait(4000); // the page loads and paints
    std::printf("GetBrowserWin returned after %lld ms\n", static_cast<long long>(CallMilliseconds));
    Report("during (window open, page shown)");
    if (ArgumentCount > 3)
        if (QWidget* Window = PopupWindow())
            QGuiApplication::primaryScreen()
                ->grabWindow(0, Window->x(), Window->y(), Window->width(), Window->height())
                .save(QString::fromLocal8Bit(Arguments[3]));

    if (QWidget* Window = PopupWindow())
        Window->close();
    Timer.restart();
    while (IsLoaded(Library) && Timer.elapsed() < 10000)
        Wait(20);
    std::printf("popup.so released %s %lld ms after the close\n", IsLoaded(Library) ? "NOT" : "",
                static_cast<long long>(Timer.elapsed()));
    Wait(3000);
    Report("after (window closed, 3 s later)");
    return 0;
}
