#include <X11/Xlib.h>

#include "XDisplay.h"

#include <X11/extensions/shape.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {
// Windows come and go while a test looks at them; a query about one that just went is no failure.
int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}
} // namespace

TXDisplay::TXDisplay()
{
    XSetErrorHandler(IgnoreErrors);
    // A server whose last client just left resets itself and refuses
    // connections for a moment; the previous test's program may have been it.
    for (int Attempt = 0; Attempt < 100 && FDisplay == nullptr; ++Attempt) {
        FDisplay = XOpenDisplay(nullptr);
        if (FDisplay == nullptr)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (FDisplay == nullptr)
        throw std::runtime_error("no X display");
}

TXDisplay::~TXDisplay()
{
    XCloseDisplay(FDisplay);
}

Window TXDisplay::Root() const
{
    return DefaultRootWindow(FDisplay);
}
int TXDisplay::ScreenWidth() const
{
    return DisplayWidth(FDisplay, DefaultScreen(FDisplay));
}
int TXDisplay::ScreenHeight() const
{
    return DisplayHeight(FDisplay, DefaultScreen(FDisplay));
}

Window TXDisplay::CreateBackdrop(unsigned long Rgb, bool Desktop)
{
    XSetWindowAttributes Attributes = {};
    Attributes.background_pixel = Rgb; // a 24-bit TrueColor visual takes 0xRRGGBB as the pixel
    Attributes.override_redirect = False;
    const Window Backdrop =
        XCreateWindow(FDisplay, Root(), 0, 0, ScreenWidth(), ScreenHeight(), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWBackPixel, &Attributes);
    if (Desktop) {
        Atom Type = XInternAtom(FDisplay, "_NET_WM_WINDOW_TYPE", False);
        Atom DesktopType = XInternAtom(FDisplay, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
        XChangeProperty(FDisplay, Backdrop, Type, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&DesktopType), 1);
    }
    XStoreName(FDisplay, Backdrop, Desktop ? "test desktop" : "test wallpaper");
    XMapWindow(FDisplay, Backdrop);
    XSync(FDisplay, False);
    return Backdrop;
}

Window TXDisplay::CreateWindow(int X, int Y, int Width, int Height, unsigned long Rgb)
{
    const Window Made = XCreateSimpleWindow(FDisplay, Root(), X, Y, Width, Height, 0, 0, Rgb);
    XStoreName(FDisplay, Made, "normal window");
    // Placed where the user put it, not where the window manager would.
    XSizeHints Hints = {};
    Hints.flags = USPosition | USSize;
    Hints.x = X;
    Hints.y = Y;
    Hints.width = Width;
    Hints.height = Height;
    XSetWMNormalHints(FDisplay, Made, &Hints);
    XMapWindow(FDisplay, Made);
    XSync(FDisplay, False);
    return Made;
}

std::vector<unsigned long> TXDisplay::Items(Window Target, const char* Property, const char* Type) const
{
    std::vector<unsigned long> Result;
    Atom ActualType = 0;
    int Format = 0;
    unsigned long Count = 0, Remaining = 0;
    unsigned char* Data = nullptr;
    if (XGetWindowProperty(FDisplay, Target, XInternAtom(FDisplay, Property, False), 0, 4096, False,
                           XInternAtom(FDisplay, Type, False), &ActualType, &Format, &Count, &Remaining,
                           &Data) == Success &&
        Data != nullptr) {
        if (Format == 32) {
            const auto* Values = reinterpret_cast<const unsigned long*>(Data);
            for (unsigned long Index = 0; Index < Count; ++Index)
                Result.push_back(Values[Index] & 0xFFFFFFFFul);
        }
        XFree(Data);
    }
    return Result;
}

void TXDisplay::Destroy(Window Target)
{
    XDestroyWindow(FDisplay, Target);
    XSync(FDisplay, False);
}

std::vector<Window> TXDisplay::AllWindows() const
{
    std::vector<Window> Result;
    std::vector<Window> Pending{Root()};
    while (!Pending.empty()) {
        const Window Current = Pending.back();
        Pending.pop_back();
        Window RootReturn = 0, ParentReturn = 0;
        Window* Children = nullptr;
        unsigned Count = 0;
        if (XQueryTree(FDisplay, Current, &RootReturn, &ParentReturn, &Children, &Count) == 0)
            continue;
        for (unsigned Index = 0; Index < Count; ++Index) {
            Result.push_back(Children[Index]);
            Pending.push_back(Children[Index]);
        }
        if (Children != nullptr)
            XFree(Children);
    }
    return Result;
}

std::string TXDisplay::Name(Window Target) const
{
    char* Text = nullptr;
    std::string Result;
    if (XFetchName(FDisplay, Target, &Text) != 0 && Text != nullptr) {
        Result = Text;
        XFree(Text);
    }
    return Result;
}

std::optional<Window> TXDisplay::FindByName(const std::string& Wanted) const
{
    for (const Window Candidate : AllWindows())
        if (Name(Candidate) == Wanted && IsShown(Candidate))
            return Candidate;
    return std::nullopt;
}

Window TXDisplay::Parent(Window Target) const
{
    Window RootReturn = 0, ParentReturn = 0;
    Window* Children = nullptr;
    unsigned Count = 0;
    XQueryTree(FDisplay, Target, &RootReturn, &ParentReturn, &Children, &Count);
    if (Children != nullptr)
        XFree(Children);
    return ParentReturn;
}

bool TXDisplay::IsShown(Window Target) const
{
    XWindowAttributes Attributes = {};
    return XGetWindowAttributes(FDisplay, Target, &Attributes) != 0 && Attributes.map_state == IsViewable;
}

void TXDisplay::Geometry(Window Target, int& X, int& Y, int& Width, int& Height) const
{
    XWindowAttributes Attributes = {};
    XGetWindowAttributes(FDisplay, Target, &Attributes);
    Window Child = 0;
    XTranslateCoordinates(FDisplay, Target, Root(), 0, 0, &X, &Y, &Child);
    Width = Attributes.width;
    Height = Attributes.height;
}

std::vector<std::string> TXDisplay::AtomList(Window Target, const char* Property) const
{
    std::vector<std::string> Result;
    Atom Type = 0;
    int Format = 0;
    unsigned long Count = 0, After = 0;
    unsigned char* Data = nullptr;
    if (XGetWindowProperty(FDisplay, Target, XInternAtom(FDisplay, Property, False), 0, 64, False, XA_ATOM,
                           &Type, &Format, &Count, &After, &Data) == Success &&
        Data != nullptr) {
        const auto* Atoms = reinterpret_cast<Atom*>(Data);
        for (unsigned long Index = 0; Index < Count; ++Index) {
            char* AtomName = XGetAtomName(FDisplay, Atoms[Index]);
            Result.emplace_back(AtomName);
            XFree(AtomName);
        }
        XFree(Data);
    }
    return Result;
}

std::optional<std::vector<TXRectangle>> TXDisplay::BoundingShape(Window Target) const
{
    Bool BoundingShaped = False, ClipShaped = False;
    int Xb, Yb, Xc, Yc;
    unsigned Wb, Hb, Wc, Hc;
    XShapeQueryExtents(FDisplay, Target, &BoundingShaped, &Xb, &Yb, &Wb, &Hb, &ClipShaped, &Xc, &Yc, &Wc,
                       &Hc);
    if (!BoundingShaped)
        return std::nullopt;
    int Count = 0, Ordering = 0;
    XRectangle* Rectangles = XShapeGetRectangles(FDisplay, Target, ShapeBounding, &Count, &Ordering);
    std::vector<TXRectangle> Result;
    for (int Index = 0; Index < Count; ++Index)
        Result.push_back(
            {Rectangles[Index].x, Rectangles[Index].y, Rectangles[Index].width, Rectangles[Index].height});
    if (Rectangles != nullptr)
        XFree(Rectangles);
    return Result;
}

std::vector<unsigned long> TXDisplay::Screenshot(int X, int Y, int Width, int Height) const
{
    XSync(FDisplay, False);
    XImage* Image = XGetImage(FDisplay, Root(), X, Y, Width, Height, AllPlanes, ZPixmap);
    if (Image == nullptr)
        throw std::runtime_error("cannot read the screen");
    std::vector<unsigned long> Pixels;
    Pixels.reserve(static_cast<std::size_t>(Width) * Height);
    for (int Row = 0; Row < Height; ++Row)
        for (int Column = 0; Column < Width; ++Column)
            Pixels.push_back(XGetPixel(Image, Column, Row) & 0xFFFFFF);
    XDestroyImage(Image);
    return Pixels;
}

void TXDisplay::RequestClose(Window Target)
{
    // What a window manager sends when the user closes a window.
    XEvent Event = {};
    Event.xclient.type = ClientMessage;
    Event.xclient.window = Target;
    Event.xclient.message_type = XInternAtom(FDisplay, "WM_PROTOCOLS", False);
    Event.xclient.format = 32;
    Event.xclient.data.l[0] = static_cast<long>(XInternAtom(FDisplay, "WM_DELETE_WINDOW", False));
    Event.xclient.data.l[1] = CurrentTime;
    XSendEvent(FDisplay, Target, False, NoEventMask, &Event);
    XSync(FDisplay, False);
}

void TXDisplay::Move(Window Target, int X, int Y)
{
    XMoveWindow(FDisplay, Target, X, Y);
    XSync(FDisplay, False);
}

bool TXDisplay::WaitFor(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout)
{
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    while (std::chrono::steady_clock::now() < Deadline) {
        if (Condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return Condition();
}
