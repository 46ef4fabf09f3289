#include "X11DesktopWindow.h"

#include <algorithm>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>
#include <QWindow>
#include <string>
#include <vector>

namespace {
// Named before Xlib defines Expose as a macro.
constexpr QEvent::Type ExposeEvent = QEvent::Expose;
} // namespace

// Xlib last: its macros (None, Bool, Status...) clash with names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace Platform {

namespace {

Display* XDisplay()
{
    auto* Application = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return Application != nullptr ? Application->display() : nullptr;
}

// Windows may vanish while they are looked at; such errors are expected.
class TIgnoreErrors
{
public:
    explicit TIgnoreErrors(Display* Connection) : FConnection(Connection)
    {
        XSync(FConnection, False);
        FPrevious = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~TIgnoreErrors()
    {
        XSync(FConnection, False);
        XSetErrorHandler(FPrevious);
    }

private:
    Display* FConnection;
    XErrorHandler FPrevious;
};

std::vector<unsigned long> ListProperty(Display* Connection, Window Target, Atom Property, Atom Type)
{
    std::vector<unsigned long> Items;
    Atom ActualType = 0;
    int Format = 0;
    unsigned long Count = 0;
    unsigned long Remaining = 0;
    unsigned char* Data = nullptr;
    if (XGetWindowProperty(Connection, Target, Property, 0, 4096, False, Type, &ActualType, &Format, &Count,
                           &Remaining, &Data) == Success &&
        Data != nullptr) {
        if (ActualType == Type && Format == 32) {
            const auto* Values =
                reinterpret_cast<const unsigned long*>(Data); // Xlib widens 32-bit items to long
            Items.assign(Values, Values + Count);
        }
        XFree(Data);
    }
    return Items;
}

std::string Title(Display* Connection, Window Target)
{
    const Atom NetName = XInternAtom(Connection, "_NET_WM_NAME", False);
    const Atom Utf8 = XInternAtom(Connection, "UTF8_STRING", False);
    Atom ActualType = 0;
    int Format = 0;
    unsigned long Count = 0;
    unsigned long Remaining = 0;
    unsigned char* Data = nullptr;
    std::string Result;
    if (XGetWindowProperty(Connection, Target, NetName, 0, 1024, False, Utf8, &ActualType, &Format, &Count,
                           &Remaining, &Data) == Success &&
        Data != nullptr) {
        if (ActualType == Utf8 && Format == 8)
            Result.assign(reinterpret_cast<const char*>(Data), Count);
        XFree(Data);
    }
    if (Result.empty()) {
        char* Name = nullptr;
        if (XFetchName(Connection, Target, &Name) != 0 && Name != nullptr) {
            Result = Name;
            XFree(Name);
        }
    }
    return Result;
}

std::vector<Window> Children(Display* Connection, Window Parent)
{
    std::vector<Window> Result;
    Window RootOfTree = 0;
    Window ParentOfTree = 0;
    Window* List = nullptr;
    unsigned Count = 0;
    if (XQueryTree(Connection, Parent, &RootOfTree, &ParentOfTree, &List, &Count) != 0 && List != nullptr) {
        Result.assign(List, List + Count);
        XFree(List);
    }
    return Result;
}

const std::vector<const char*> GadgetStates = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                                               "_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY"};
constexpr unsigned long AllDesktops = 0xFFFFFFFFul;

void SendToWindowManager(Display* Connection, Window Target, Atom Message, const std::vector<long>& Data)
{
    XEvent Event{};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = Target;
    Event.xclient.message_type = Message;
    Event.xclient.format = 32;
    for (std::size_t Index = 0; Index < Data.size() && Index < 5; ++Index)
        Event.xclient.data.l[Index] = Data[Index];
    XSendEvent(Connection, DefaultRootWindow(Connection), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &Event);
}

// Below others, on every workspace, in no task bar or pager. Window managers
// read the properties when a window is mapped; a window already mapped is
// changed through messages to the window manager.
void MarkAsGadget(Window Target, bool Mapped)
{
    Display* Connection = XDisplay();
    if (Connection == nullptr || Target == 0)
        return;
    const Atom State = XInternAtom(Connection, "_NET_WM_STATE", False);
    const Atom Desktop = XInternAtom(Connection, "_NET_WM_DESKTOP", False);
    std::vector<unsigned long> Atoms = ListProperty(Connection, Target, State, XA_ATOM);
    for (const char* Name : GadgetStates) {
        const Atom Wanted = XInternAtom(Connection, Name, False);
        if (std::find(Atoms.begin(), Atoms.end(), Wanted) == Atoms.end())
            Atoms.push_back(Wanted);
    }
    XChangeProperty(Connection, Target, State, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(Atoms.data()), static_cast<int>(Atoms.size()));
    XChangeProperty(Connection, Target, Desktop, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&AllDesktops), 1);
    if (Mapped) {
        constexpr long Add = 1;
        constexpr long FromApplication = 1;
        for (std::size_t Index = 0; Index < GadgetStates.size(); Index += 2)
            SendToWindowManager(Connection, Target, State,
                                {Add, static_cast<long>(XInternAtom(Connection, GadgetStates[Index], False)),
                                 static_cast<long>(XInternAtom(Connection, GadgetStates[Index + 1], False)),
                                 FromApplication});
        SendToWindowManager(Connection, Target, Desktop, {static_cast<long>(AllDesktops), FromApplication});
    }
    XFlush(Connection);
}

// Qt makes a new native window when some flags change, at times without
// telling even the widget (whose winId() then names the old one). So the
// marks go onto each new native window: at its creation, or, when Qt made it
// inside show(), as soon as it is exposed.
class TGadgetMarker : public QObject
{
public:
    static constexpr const char* Name = "ZentavoGadgetMarker";

    explicit TGadgetMarker(QWindow* Handle) : QObject(Handle), FHandle(Handle)
    {
        setObjectName(Name);
        Handle->installEventFilter(this);
    }

    void Mark(bool Mapped)
    {
        FMarked = static_cast<Window>(FHandle->winId());
        MarkAsGadget(FMarked, Mapped);
    }

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(Event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceCreated)
            Mark(false);
        else if (Event->type() == ExposeEvent && static_cast<Window>(FHandle->winId()) != FMarked)
            Mark(true);
        return false;
    }

private:
    QWindow* FHandle;
    Window FMarked = 0;
};

} // namespace

TNativeWindow TX11DesktopWindow::FindProgramManager()
{
    Display* Connection = XDisplay();
    if (Connection == nullptr)
        return 0;
    TIgnoreErrors Guard(Connection);
    const Window Root = DefaultRootWindow(Connection);
    const Atom WindowType = XInternAtom(Connection, "_NET_WM_WINDOW_TYPE", False);
    const Atom Desktop = XInternAtom(Connection, "_NET_WM_WINDOW_TYPE_DESKTOP", False);

    // Managed windows first; then the root's children and, under a window
    // manager that wraps windows in frames, the windows inside those frames.
    std::vector<Window> Candidates;
    for (unsigned long Client :
         ListProperty(Connection, Root, XInternAtom(Connection, "_NET_CLIENT_LIST", False), XA_WINDOW))
        Candidates.push_back(static_cast<Window>(Client));
    for (Window TopLevel : Children(Connection, Root)) {
        Candidates.push_back(TopLevel);
        for (Window Inner : Children(Connection, TopLevel))
            Candidates.push_back(Inner);
    }

    for (Window Candidate : Candidates)
        for (unsigned long Type : ListProperty(Connection, Candidate, WindowType, XA_ATOM))
            if (Type == Desktop)
                return Candidate;
    for (Window Candidate : Candidates)
        if (Title(Connection, Candidate) == "Program Manager")
            return Candidate;
    return 0;
}

void TX11DesktopWindow::SetParent(QWidget& Window, TNativeWindow Parent)
{
    if (Parent != 0) {
        Window.winId(); // the native window must exist before it can move
        QWindow* Handle = Window.windowHandle();
        QWindow* Desktop = QWindow::fromWinId(static_cast<WId>(Parent));
        if (Handle == nullptr || Desktop == nullptr)
            return;
        // Through Qt, so that it knows the window is now a child and places it
        // in the parent's coordinates.
        QWindow* Previous = Handle->parent();
        Handle->setParent(Desktop);
        if (Previous != nullptr && Previous->type() == Qt::ForeignWindow)
            Previous->deleteLater();
        // The foreign wrapper goes when the widget is gone (its own window first).
        QObject::connect(&Window, &QObject::destroyed, Desktop, &QObject::deleteLater);
        if (Display* Connection = XDisplay())
            XFlush(Connection);
        return;
    }

    const bool WasVisible = Window.isVisible();
    if (QWindow* Handle = Window.windowHandle(); Handle != nullptr && Handle->parent() != nullptr) {
        QWindow* Previous = Handle->parent();
        Handle->setParent(nullptr);
        if (Previous->type() == Qt::ForeignWindow)
            Previous->deleteLater();
    }
    Window.setWindowFlags((Window.windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool | Qt::FramelessWindowHint |
                          Qt::WindowStaysOnBottomHint);
    Window.winId();
    if (QWindow* Handle = Window.windowHandle(); Handle != nullptr) {
        auto* Marker = Handle->findChild<TGadgetMarker*>(TGadgetMarker::Name, Qt::FindDirectChildrenOnly);
        if (Marker == nullptr)
            Marker = new TGadgetMarker(Handle);
        Marker->Mark(false); // hidden by the change of flags
    }
    if (WasVisible)
        Window.show();
}

} // namespace Platform
