// Resident memory of a clock-like process before, during and after one popup
// window, and the time from the call to the page on the screen. popup.so
// shows the window from its own program (zentavo-popup), whose memory and
// that of the web engine's processes below it are given apart. The window
// closes by itself through its delay, as the clock's showcase windows do.
// Usage: zentavo_popup_memory_bench POPUP_SO PAGE [SCREENSHOT.png] (the figures
// without the screenshot)
#include "zentavo_companion.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QThread>
#include <QWidget>

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int Left = 40, Top = 40, Width = 640, Height = 560;
constexpr int DelaySeconds = 8;

long StatusKilobytes(const std::string& Pid, const std::string& Field)
{
    std::ifstream Status("/proc/" + Pid + "/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.rfind(Field + ":", 0) == 0)
            return std::stol(Line.substr(Field.size() + 1));
    return 0;
}

long ResidentKilobytes(const std::string& Pid)
{
    return StatusKilobytes(Pid, "VmRSS");
}

std::vector<std::string> ChildrenOf(const std::string& Parent)
{
    std::vector<std::string> Found;
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
        std::string State, Of;
        Rest >> State >> Of;
        if (Of == Parent && State != "Z")
            Found.push_back(Entry.toStdString());
    }
    return Found;
}

// Every process below Parent, and their memory.
void Descendants(const std::string& Parent, int& Count, long& Kilobytes)
{
    for (const std::string& Child : ChildrenOf(Parent)) {
        ++Count;
        Kilobytes += ResidentKilobytes(Child);
        Descendants(Child, Count, Kilobytes);
    }
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

bool IsLoaded(const char* Path)
{
    void* Handle = dlopen(Path, RTLD_LAZY | RTLD_NOLOAD);
    if (Handle != nullptr)
        dlclose(Handle);
    return Handle != nullptr;
}

bool WebEngineMapped()
{
    std::ifstream Maps("/proc/self/maps");
    for (std::string Line; std::getline(Maps, Line);)
        if (Line.find("WebEngine") != std::string::npos)
            return true;
    return false;
}

constexpr int Rows = 16;

// Rows across the window's place: grabs as small as this leave the watching process's memory as it
// was, where whole pictures of the window would be kept by the allocator and counted as the clock's.
std::vector<QImage> Sample()
{
    std::vector<QImage> Lines;
    for (int Row = 0; Row < Rows; ++Row)
        Lines.push_back(QGuiApplication::primaryScreen()
                            ->grabWindow(0, Left, Top + 8 + Row * (Height - 16) / Rows, Width, 1)
                            .toImage());
    return Lines;
}

// The page is up when the window's place shows more than one colour where the screen was before: a
// window that is mapped but not yet painted is one plain colour.
bool PageShown(const std::vector<QImage>& Before)
{
    const std::vector<QImage> Now = Sample();
    QSet<QRgb> Colours;
    int Changed = 0, Total = 0;
    for (int Row = 0; Row < Rows; ++Row)
        for (int X = 0; X < Now[Row].width(); X += 4, ++Total) {
            Colours.insert(Now[Row].pixel(X, 0));
            Changed += Now[Row].pixel(X, 0) != Before[Row].pixel(X, 0);
        }
    return Colours.size() > 1 && Changed > Total / 4;
}

void Report(const char* When)
{
    int Count = 0;
    long Others = 0;
    Descendants(std::to_string(QCoreApplication::applicationPid()), Count, Others);
    std::printf("%-36s clock %7.1f MiB (anonymous %6.1f, files %6.1f)   popup program and web engine: %d "
                "processes, %7.1f MiB\n",
                When, ResidentKilobytes("self") / 1024.0, StatusKilobytes("self", "RssAnon") / 1024.0,
                StatusKilobytes("self", "RssFile") / 1024.0, Count, Others / 1024.0);
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    if (ArgumentCount < 3) {
        std::fprintf(stderr, "usage: %s POPUP_SO PAGE [SCREENSHOT.png]\n", Arguments[0]);
        return 2;
    }
    QApplication Application(ArgumentCount, Arguments);
    // Something of the clock's on the screen, as in the clock.
    QWidget Clock;
    Clock.setGeometry(900, 40, 329, 345);
    Clock.show();
    const char* Library = Arguments[1];
    Wait(1000);
    const std::vector<QImage> Before = Sample();
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
             reinterpret_cast<const uint16_t*>(Caption.c_str()), Top, Left, Width, Height, DelaySeconds, 0);
    const qint64 CallMilliseconds = Timer.elapsed();
    dlclose(Handle);
    while (!PageShown(Before) && Timer.elapsed() < 20000)
        Wait(10);
    const qint64 PageMilliseconds = Timer.elapsed();
    std::printf("GetBrowserWin returned after %lld ms; the page was on the screen after %lld ms\n",
                static_cast<long long>(CallMilliseconds), static_cast<long long>(PageMilliseconds));
    Wait(2000); // the page settles
    Report("during (window open, page shown)");
    // A whole picture costs the watching process memory of its own: only when asked for.
    if (ArgumentCount > 3)
        QGuiApplication::primaryScreen()
            ->grabWindow(0, Left, Top, Width, Height)
            .save(QString::fromLocal8Bit(Arguments[3]));

    // The delay closes the window; the program ends with it and popup.so goes.
    while ((IsLoaded(Library) || !ChildrenOf(std::to_string(QCoreApplication::applicationPid())).empty()) &&
           Timer.elapsed() < (DelaySeconds + 20) * 1000)
        Wait(20);
    std::printf("window closed, program ended and popup.so %s %lld ms after the call\n",
                IsLoaded(Library) ? "NOT released" : "released", static_cast<long long>(Timer.elapsed()));
    Wait(5000);
    Report("after (window closed, 5 s later)");
    std::printf("web engine in the clock's process: %s\n", WebEngineMapped() ? "yes" : "no");
    return 0;
}
