// Preloaded into a program under measurement (LD_PRELOAD), it notes when
// each frame reaches the screen and how many scene renders came before it,
// and can keep the program drawing frames for a while. It sees the program
// only through two OpenGL entry points and the toolkit's widget list, so
// the clock and the floor program are measured the same way, unchanged.
//
//   ZENTAVO_PROBE_LOG       file the events are appended to, one per line:
//                           "start <ns> pid <pid>" when the program is loaded,
//                           "swap <n> <ns> renders <r> rss <bytes>" after
//                           each presented frame (monotonic clock; renders
//                           since the previous swap; resident memory on the
//                           first), "steady <frames> <wall ns> <cpu ns>" at
//                           the end of a repaint run.
//   ZENTAVO_PROBE_REPAINTS  after the first frame, ask for this many more
//                           frames, one after the other: each is the update
//                           request a scene change makes, so it goes through
//                           the event loop, the render, the composition and
//                           the presentation like one.
//   ZENTAVO_PROBE_WARMUP    of those, how many come before the counted run:
//                           under callgrind the costs are zeroed after the
//                           warm-up frames and dumped after the last one.
//   ZENTAVO_PROBE_PAUSE     instead, at those two points log "pause zero" or
//                           "pause dump" and wait until the file named here
//                           appears (and remove it), so that whoever watches
//                           the log can zero and dump every thread's costs
//                           from outside (a client request reaches only the
//                           calling thread's).
//
// A render is a clear of the colour buffer by the program's own OpenGL
// binding; the toolkit reaches OpenGL through looked-up pointers, so its
// composition does not count.
#include <GL/gl.h>
#include <QApplication>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

// From GLX, without the X headers, whose macros clash with the toolkit's.
using Display = struct _XDisplay;
using GLXDrawable = unsigned long;

namespace {

int LogFile = -1;
long Swaps = 0;
long Frames = 0; // presentations that followed a render
long Renders = 0;
long RepaintsWanted = 0;
long Warmup = 0;
long long SteadyWallStart = 0;
long long SteadyCpuStart = 0;
const char* PauseFile = nullptr;

long long Now()
{
    timespec Time;
    clock_gettime(CLOCK_MONOTONIC, &Time);
    return static_cast<long long>(Time.tv_sec) * 1000000000LL + Time.tv_nsec;
}

// All threads of the process, the renderer's workers included.
long long ProcessCpu()
{
    rusage Usage;
    getrusage(RUSAGE_SELF, &Usage);
    auto Nanoseconds = [](const timeval& Time) {
        return static_cast<long long>(Time.tv_sec) * 1000000000LL + Time.tv_usec * 1000LL;
    };
    return Nanoseconds(Usage.ru_utime) + Nanoseconds(Usage.ru_stime);
}

long long ResidentBytes()
{
    long long Size = 0, Resident = -1;
    if (FILE* Statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(Statm, "%lld %lld", &Size, &Resident) != 2)
            Resident = -1;
        std::fclose(Statm);
    }
    return Resident < 0 ? -1 : Resident * sysconf(_SC_PAGESIZE);
}

template <typename... TValues> void Log(const char* Format, TValues... Values)
{
    if (LogFile < 0)
        return;
    char Line[160];
    const int Length = std::snprintf(Line, sizeof Line, Format, Values...);
    if (Length > 0) [[maybe_unused]]
        const auto Written = write(LogFile, Line, static_cast<size_t>(Length));
}

long EnvironmentNumber(const char* Name)
{
    const char* Value = std::getenv(Name);
    return Value ? std::strtol(Value, nullptr, 10) : 0;
}

__attribute__((constructor)) void StartProbe()
{
    const char* Path = std::getenv("ZENTAVO_PROBE_LOG");
    if (Path && *Path)
        LogFile = open(Path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    RepaintsWanted = EnvironmentNumber("ZENTAVO_PROBE_REPAINTS");
    Warmup = EnvironmentNumber("ZENTAVO_PROBE_WARMUP");
    PauseFile = std::getenv("ZENTAVO_PROBE_PAUSE");
    if (PauseFile && !*PauseFile)
        PauseFile = nullptr;
    // LD_PRELOAD stays: a launcher in between (valgrind) must pass the
    // probe on. Children that present nothing log only their start.
    Log("start %lld pid %d\n", Now(), static_cast<int>(getpid()));
}

// What a scene change does: the viewer's surface asks for a paint.
void AskForRepaint()
{
    QMetaObject::invokeMethod(
        qApp,
        [] {
            for (QWidget* Widget : QApplication::allWidgets())
                if (Widget->inherits("QOpenGLWidget") && Widget->isVisible())
                    Widget->update();
        },
        Qt::QueuedConnection);
}

// Between two frames every renderer thread is idle; this one waits here
// while the costs are taken.
void Pause(const char* What)
{
    Log("pause %s\n", What);
    for (int Waited = 0; access(PauseFile, F_OK) != 0 && Waited < 60000; ++Waited)
        usleep(10000);
    unlink(PauseFile);
}

} // namespace

extern "C" void glClear(GLbitfield Mask)
{
    static auto* Real = reinterpret_cast<void (*)(GLbitfield)>(dlsym(RTLD_NEXT, "glClear"));
    if (Mask & GL_COLOR_BUFFER_BIT)
        ++Renders;
    Real(Mask);
}

extern "C" void glXSwapBuffers(Display* Connection, GLXDrawable Drawable)
{
    static auto* Real = reinterpret_cast<void (*)(Display*, GLXDrawable)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    Real(Connection, Drawable);
    const long long Time = Now();
    ++Swaps;
    Log("swap %ld %lld renders %ld rss %lld\n", Swaps, Time, Renders, Swaps == 1 ? ResidentBytes() : 0LL);
    // Presentations without a render (the toolkit composing its own
    // widgets) neither count as frames nor ask for the next one.
    const bool Rendered = Renders > 0;
    Renders = 0;
    if (!Rendered || RepaintsWanted <= Warmup)
        return;
    const long Repaint = Frames++; // frames drawn on request so far
    if (Repaint == Warmup) {
        if (PauseFile)
            Pause("zero");
        else
            CALLGRIND_ZERO_STATS;
        SteadyWallStart = Now();
        SteadyCpuStart = ProcessCpu();
    }
    if (Repaint == RepaintsWanted) {
        if (PauseFile)
            Pause("dump");
        else
            CALLGRIND_DUMP_STATS_AT("steady frames");
        Log("steady %ld %lld %lld\n", RepaintsWanted - Warmup, Time - SteadyWallStart,
            ProcessCpu() - SteadyCpuStart);
    }
    if (Repaint < RepaintsWanted)
        AskForRepaint();
}
