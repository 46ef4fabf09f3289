#include "X11DesktopWindow.h"

#include <algorithm>
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QPointer>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>
#include <QWindow>
#include <set>
#include <string>
#include <vector>
#include <xcb/xcb.h>

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

// A desktop-typed window, below others, on every workspace, in no task bar
// or pager; the states say so again for window managers that look at them
// rather than at the type. Window managers
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
    if (!Mapped) {
        // Qt adds a normal type after its own for frameless windows; window
        // managers take the first they know, and only at the mapping.
        const unsigned long DesktopType = XInternAtom(Connection, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
        XChangeProperty(Connection, Target, XInternAtom(Connection, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                        32, PropModeReplace, reinterpret_cast<const unsigned char*>(&DesktopType), 1);
    }
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

// Qt's xcb plugin reads this property of a window when it creates or
// reflags it and writes the matching _NET_WM_WINDOW_TYPE first.
constexpr const char* QtWindowTypeProperty = "_q_xcb_wm_window_type";
constexpr int QtDesktopWindowType = 0x000002;

constexpr Qt::WindowFlags GadgetFlags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint;

Window NativeOf(const QWidget& Target)
{
    if (!Target.testAttribute(Qt::WA_WState_Created) || Target.windowHandle() == nullptr)
        return 0;
    // After Qt has remade the native window, the widget's own winId() may
    // still name the old one; its QWindow always knows the current one.
    return static_cast<Window>(Target.windowHandle()->winId());
}

// Every native window of this program: a desktop-typed gadget of ours is no desktop.
std::set<Window> OwnWindows()
{
    std::set<Window> Own;
    for (QWindow* Handle : QGuiApplication::allWindows())
        if (Handle->handle() != nullptr && Handle->type() != Qt::ForeignWindow)
            Own.insert(static_cast<Window>(Handle->winId()));
    return Own;
}

bool IsMapped(Display* Connection, Window Target)
{
    XWindowAttributes Attributes{};
    return XGetWindowAttributes(Connection, Target, &Attributes) != 0 && Attributes.map_state == IsViewable;
}

std::optional<Window> ParentOf(Display* Connection, Window Target)
{
    Window RootOfTree = 0;
    Window Parent = 0;
    Window* List = nullptr;
    unsigned Count = 0;
    if (XQueryTree(Connection, Target, &RootOfTree, &Parent, &List, &Count) == 0)
        return std::nullopt;
    if (List != nullptr)
        XFree(List);
    return Parent;
}

std::optional<QPoint> OnRoot(Display* Connection, Window Target)
{
    int X = 0;
    int Y = 0;
    Window Child = 0;
    if (XTranslateCoordinates(Connection, Target, DefaultRootWindow(Connection), 0, 0, &X, &Y, &Child) == 0)
        return std::nullopt;
    return QPoint(X, Y);
}

QPoint ToLogical(QPoint Device, qreal Ratio)
{
    return Ratio > 0 ? QPoint(qRound(Device.x() / Ratio), qRound(Device.y() / Ratio)) : Device;
}

// Qt can only let go of a native window together with its widget's native
// state: for a moment the widget becomes a child of a holder, which destroys
// the native window (one the display has already lost included), and then a
// window again, made anew when it is shown.
void ReleaseNativeWindow(QWidget& Target)
{
    QPointer<QWindow> Previous = Target.windowHandle() != nullptr ? Target.windowHandle()->parent() : nullptr;
    {
        QWidget Holder;
        // winId() marked the widget native; a native widget keeps its window when it becomes a child.
        Target.setAttribute(Qt::WA_NativeWindow, false);
        Target.setParent(&Holder);
        Target.setParent(nullptr);
    }
    if (Previous != nullptr && Previous->type() == Qt::ForeignWindow)
        Previous->deleteLater();
}

} // namespace

// Destruction of the clock's window or of its desktop window, and a change
// of the window manager's client list, may mean a desktop window came or went.
class TX11DesktopWindow::TEventWatch : public QAbstractNativeEventFilter
{
public:
    TEventWatch(Display* Connection, std::function<void()> Changed)
        : FRoot(DefaultRootWindow(Connection)),
          FClientList(XInternAtom(Connection, "_NET_CLIENT_LIST", False)), FChanged(std::move(Changed))
    {}

    void SetWatched(Window Own, Window Parent)
    {
        FOwn = Own;
        FParent = Parent;
    }

    bool nativeEventFilter(const QByteArray& Type, void* Message, qintptr*) override
    {
        if (Type != "xcb_generic_event_t" || !FChanged)
            return false;
        const auto* Event = static_cast<const xcb_generic_event_t*>(Message);
        bool Relevant = false;
        switch (Event->response_type & 0x7F) {
        case XCB_DESTROY_NOTIFY: {
            const auto* Destroyed = static_cast<const xcb_destroy_notify_event_t*>(Message);
            Relevant = Destroyed->window == FOwn || (FParent != 0 && Destroyed->window == FParent);
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto* Changed = static_cast<const xcb_property_notify_event_t*>(Message);
            Relevant = Changed->window == FRoot && Changed->atom == FClientList;
            break;
        }
        default:
            break;
        }
        if (Relevant)
            FChanged();
        return false;
    }

private:
    Window FRoot;
    Atom FClientList;
    std::function<void()> FChanged;
    Window FOwn = 0;
    Window FParent = 0;
};

TX11DesktopWindow::TX11DesktopWindow() = default;

TX11DesktopWindow::~TX11DesktopWindow()
{
    if (FEvents && qApp != nullptr)
        qApp->removeNativeEventFilter(FEvents.get());
}

void TX11DesktopWindow::SetOnDesktopChange(std::function<void()> Handler)
{
    FOnDesktopChange = std::move(Handler);
    Display* Connection = XDisplay();
    if (Connection == nullptr || FEvents)
        return;
    FEvents = std::make_unique<TEventWatch>(Connection, [this] {
        if (FOnDesktopChange)
            FOnDesktopChange();
    });
    qApp->installNativeEventFilter(FEvents.get());
}

TNativeWindow TX11DesktopWindow::FindProgramManager()
{
    Display* Connection = XDisplay();
    if (Connection == nullptr)
        return 0;
    TIgnoreErrors Guard(Connection);
    const Window Root = DefaultRootWindow(Connection);
    const Atom WindowType = XInternAtom(Connection, "_NET_WM_WINDOW_TYPE", False);
    const Atom Desktop = XInternAtom(Connection, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    const std::set<Window> Own = OwnWindows();

    const auto IsDesktop = [&](Window Candidate) {
        for (unsigned long Type : ListProperty(Connection, Candidate, WindowType, XA_ATOM))
            if (Type == Desktop)
                return true;
        return false;
    };
    // A desktop manager may make its window before it shows it; until then
    // the clock would be invisible inside it.
    const auto Pick = [&](const std::vector<Window>& Candidates) -> Window {
        for (Window Candidate : Candidates)
            if (IsDesktop(Candidate) && IsMapped(Connection, Candidate))
                return Candidate;
        for (Window Candidate : Candidates)
            if (Title(Connection, Candidate) == "Program Manager" && IsMapped(Connection, Candidate))
                return Candidate;
        return 0;
    };

    // Under a window manager every desktop window is one of its clients. The
    // placement asks every few seconds: clients already seen to be ordinary
    // windows are not asked about again.
    const std::vector<unsigned long> Clients =
        ListProperty(Connection, Root, XInternAtom(Connection, "_NET_CLIENT_LIST", False), XA_WINDOW);
    if (!Clients.empty()) {
        std::vector<Window> Candidates;
        std::set<TNativeWindow> Ordinary;
        for (unsigned long Client : Clients) {
            if (Own.count(Client) != 0)
                continue;
            if (FOrdinaryClients.count(Client) != 0)
                Ordinary.insert(Client);
            else
                Candidates.push_back(static_cast<Window>(Client));
        }
        const Window Found = Pick(Candidates);
        for (Window Candidate : Candidates)
            if (Candidate != Found && !IsDesktop(Candidate) &&
                Title(Connection, Candidate) != "Program Manager")
                Ordinary.insert(Candidate);
        FOrdinaryClients = std::move(Ordinary);
        return Found;
    }

    // Without one: the root's children and the windows inside them.
    std::vector<Window> Candidates;
    for (Window TopLevel : Children(Connection, Root)) {
        if (Own.count(TopLevel) == 0)
            Candidates.push_back(TopLevel);
        for (Window Inner : Children(Connection, TopLevel))
            if (Own.count(Inner) == 0)
                Candidates.push_back(Inner);
    }
    return Pick(Candidates);
}

void TX11DesktopWindow::SetParent(QWidget& Window, TNativeWindow Parent)
{
    const bool WasVisible = Window.isVisible();
    // A window the window manager holds, or one the display lost with its
    // parent, is not moved but made anew: a managed window taken into the
    // desktop races the window manager's own unmanaging of it.
    if (Window.testAttribute(Qt::WA_WState_Created))
        ReleaseNativeWindow(Window);
    Window.setWindowFlags((Window.windowFlags() & ~(Qt::WindowType_Mask | Qt::WindowStaysOnTopHint)) |
                          GadgetFlags);

    if (Parent != 0 && XDisplay() != nullptr) {
        Window.winId(); // made unmapped at the root, so no window manager ever takes it
        QWindow* Handle = Window.windowHandle();
        QWindow* Desktop = QWindow::fromWinId(static_cast<WId>(Parent));
        if (Handle != nullptr && Desktop != nullptr) {
            // Through Qt, so that it knows the window is now a child and
            // places it in the parent's coordinates.
            Handle->setParent(Desktop);
            // The foreign wrapper goes when the widget is gone (its own window first).
            QObject::connect(&Window, &QObject::destroyed, Desktop, &QObject::deleteLater);
            XFlush(XDisplay());
        }
    } else {
        Window.winId();
        if (QWindow* Handle = Window.windowHandle(); Handle != nullptr) {
            Handle->setProperty(QtWindowTypeProperty, QtDesktopWindowType);
            auto* Marker = Handle->findChild<TGadgetMarker*>(TGadgetMarker::Name, Qt::FindDirectChildrenOnly);
            if (Marker == nullptr)
                Marker = new TGadgetMarker(Handle);
            Marker->Mark(false);
        }
    }
    Watch(Window, Parent);
    if (WasVisible)
        Window.show();
}

void TX11DesktopWindow::Watch(QWidget& Window, TNativeWindow Parent)
{
    Display* Connection = XDisplay();
    if (Connection == nullptr || !FEvents)
        return;
    FEvents->SetWatched(NativeOf(Window), static_cast<::Window>(Parent));
    if (Parent != 0) {
        TIgnoreErrors Guard(Connection);
        // Our own interest in a foreign window: no other client's is touched.
        XSelectInput(Connection, static_cast<::Window>(Parent), StructureNotifyMask);
    }
}

bool TX11DesktopWindow::IsInside(const QWidget& Window, TNativeWindow Parent)
{
    Display* Connection = XDisplay();
    const ::Window Native = NativeOf(Window);
    if (Connection == nullptr)
        return Parent == 0;
    if (Native == 0)
        return false;
    TIgnoreErrors Guard(Connection);
    const std::optional<::Window> Actual = ParentOf(Connection, Native);
    if (!Actual)
        return false;
    return Parent == 0 || *Actual == static_cast<::Window>(Parent);
}

std::optional<QPoint> TX11DesktopWindow::ScreenPosition(const QWidget& Window)
{
    Display* Connection = XDisplay();
    const ::Window Native = NativeOf(Window);
    if (Connection == nullptr || Native == 0)
        return Window.testAttribute(Qt::WA_WState_Created) ? std::optional(Window.mapToGlobal(QPoint(0, 0)))
                                                           : std::nullopt;
    TIgnoreErrors Guard(Connection);
    const std::optional<QPoint> Device = OnRoot(Connection, Native);
    if (!Device)
        return std::nullopt;
    return ToLogical(*Device, Window.devicePixelRatioF());
}

void TX11DesktopWindow::MoveTo(QWidget& Window, QPoint Position)
{
    QPoint Origin;
    Display* Connection = XDisplay();
    const QWindow* Handle = Window.windowHandle();
    if (Connection != nullptr && Handle != nullptr && Handle->parent() != nullptr) {
        // A child is placed in its parent's coordinates; the desktop window
        // need not start at the screen's corner.
        TIgnoreErrors Guard(Connection);
        if (const std::optional<QPoint> Parent =
                OnRoot(Connection, static_cast<::Window>(Handle->parent()->winId())))
            Origin = ToLogical(*Parent, Window.devicePixelRatioF());
    }
    Window.move(Position - Origin);
}

} // namespace Platform
