#include "platform/X11DesktopWindow.h"

#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <vector>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace Platform;

namespace {

bool WaitFor(const std::function<bool()>& Condition)
{
    return QTest::qWaitFor(Condition, 5000);
}

// The current native window: after Qt has remade it, the widget's own winId() may be stale.
WId Native(QWidget& Window)
{
    Window.winId();
    return Window.windowHandle()->winId();
}

// Plays another program on the same X server: it makes the windows the clock looks for.
class X11DesktopWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs an X server";
        Other = XOpenDisplay(nullptr);
        ASSERT_NE(Other, nullptr);
        Root = DefaultRootWindow(Other);
    }
    void TearDown() override
    {
        if (Other == nullptr)
            return;
        for (auto Created = Windows.rbegin(); Created != Windows.rend(); ++Created)
            XDestroyWindow(Other, *Created);
        XCloseDisplay(Other);
    }

    Window MakeWindow(const char* Title, bool DesktopType, Window Parent = 0)
    {
        const Window Made = XCreateSimpleWindow(Other, Parent != 0 ? Parent : Root, 0, 0, 640, 480, 0, 0, 0);
        if (Title != nullptr)
            XStoreName(Other, Made, Title);
        if (DesktopType) {
            const Atom Desktop = XInternAtom(Other, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
            XChangeProperty(Other, Made, XInternAtom(Other, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&Desktop), 1);
        }
        XMapWindow(Other, Made);
        XSync(Other, False);
        Windows.push_back(Made);
        return Made;
    }

    Window ParentOf(WId Child)
    {
        Window RootOfTree = 0;
        Window Parent = 0;
        Window* List = nullptr;
        unsigned Count = 0;
        XSync(Other, False);
        if (XQueryTree(Other, static_cast<Window>(Child), &RootOfTree, &Parent, &List, &Count) == 0)
            return 0;
        if (List != nullptr)
            XFree(List);
        return Parent;
    }

    std::vector<unsigned long> Property(WId Target, const char* Name, Atom Type)
    {
        std::vector<unsigned long> Items;
        Atom ActualType = 0;
        int Format = 0;
        unsigned long Count = 0;
        unsigned long Remaining = 0;
        unsigned char* Data = nullptr;
        XSync(Other, False);
        if (XGetWindowProperty(Other, static_cast<Window>(Target), XInternAtom(Other, Name, False), 0, 64,
                               False, Type, &ActualType, &Format, &Count, &Remaining, &Data) == Success &&
            Data != nullptr) {
            const auto* Values = reinterpret_cast<const unsigned long*>(Data);
            for (unsigned long Index = 0; Index < Count; ++Index)
                Items.push_back(Values[Index] & 0xFFFFFFFFul); // Xlib widens 32-bit items with their sign

            XFree(Data);
        }
        return Items;
    }

    bool IsGadget(WId Target)
    {
        const auto States = Property(Target, "_NET_WM_STATE", XA_ATOM);
        for (const char* State : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                                  "_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY"})
            if (std::find(States.begin(), States.end(), XInternAtom(Other, State, False)) == States.end())
                return false;
        const auto Types = Property(Target, "_NET_WM_WINDOW_TYPE", XA_ATOM);
        if (Types.empty() || Types.front() != XInternAtom(Other, "_NET_WM_WINDOW_TYPE_DESKTOP", False))
            return false;
        if (!Property(Target, "WM_TRANSIENT_FOR", XA_WINDOW).empty())
            return false;
        return Property(Target, "_NET_WM_DESKTOP", XA_CARDINAL) == std::vector<unsigned long>{0xFFFFFFFFul};
    }

    bool Exists(WId Target)
    {
        XWindowAttributes Attributes{};
        XSync(Other, False);
        return XGetWindowAttributes(Other, static_cast<Window>(Target), &Attributes) != 0 &&
               Attributes.map_state == IsViewable;
    }

    Display* Other = nullptr;
    Window Root = 0;
    std::vector<Window> Windows;
    TX11DesktopWindow Desktop;
};

} // namespace

TEST_F(X11DesktopWindowTest, FindsTheDesktopTypedWindowBeforeOneTitledProgramManager)
{
    EXPECT_EQ(Desktop.FindProgramManager(), 0u);
    MakeWindow("Some window", false);
    EXPECT_EQ(Desktop.FindProgramManager(), 0u);
    const Window Titled = MakeWindow("Program Manager", false);
    EXPECT_EQ(Desktop.FindProgramManager(), Titled);
    // A window manager's frame around the desktop window does not hide it.
    const Window Frame = MakeWindow(nullptr, false);
    const Window Typed = MakeWindow("Desktop", true, Frame);
    EXPECT_EQ(Desktop.FindProgramManager(), Typed);
}

TEST_F(X11DesktopWindowTest, TheWindowBecomesAChildOfTheDesktopWindow)
{
    const Window Parent = MakeWindow(nullptr, true);
    QWidget Clock;
    Clock.resize(329, 345);
    Clock.move(30, 40);
    Desktop.SetParent(Clock, Desktop.FindProgramManager());
    Clock.show();
    EXPECT_TRUE(WaitFor([&] { return ParentOf(Native(Clock)) == Parent; }));
    XWindowAttributes Attributes{};
    ASSERT_TRUE(WaitFor([&] {
        XGetWindowAttributes(Other, static_cast<Window>(Native(Clock)), &Attributes);
        return Attributes.map_state == IsViewable;
    }));
    // Placed in the parent's coordinates, as the stored position expects.
    EXPECT_EQ(Attributes.x, 30);
    EXPECT_EQ(Attributes.y, 40);
    EXPECT_EQ(Attributes.width, 329);
    EXPECT_EQ(Attributes.height, 345);
    Clock.move(50, 60);
    EXPECT_TRUE(WaitFor([&] {
        XGetWindowAttributes(Other, static_cast<Window>(Native(Clock)), &Attributes);
        return Attributes.x == 50 && Attributes.y == 60;
    }));
}

TEST_F(X11DesktopWindowTest, WithoutADesktopWindowItIsAGadgetOnEveryWorkspace)
{
    // Once with a fresh widget, once with one whose native window exists
    // already and is remade by Qt when the flags change.
    for (const bool Created : {false, true}) {
        QWidget Clock;
        Clock.resize(329, 345);
        if (Created)
            Clock.winId();
        Desktop.SetParent(Clock, 0);
        const Qt::WindowFlags Flags = Clock.windowFlags();
        // Not a tool window: Qt ties those to its hidden leader, and KWin then keeps them on one workspace.
        EXPECT_EQ(Flags & Qt::WindowType_Mask, Qt::Window);
        EXPECT_TRUE(Flags & Qt::FramelessWindowHint);
        EXPECT_TRUE(Flags & Qt::WindowStaysOnBottomHint);
        Clock.show();
        ASSERT_TRUE(WaitFor([&] { return Clock.isVisible() && ParentOf(Native(Clock)) == Root; }));
        EXPECT_TRUE(WaitFor([&] { return IsGadget(Native(Clock)); })) << "created first: " << Created;
    }
}

TEST_F(X11DesktopWindowTest, AWindowCanLeaveTheDesktopWindowAgain)
{
    const Window Parent = MakeWindow(nullptr, true);
    QWidget Clock;
    Clock.resize(100, 100);
    Desktop.SetParent(Clock, Parent);
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return ParentOf(Native(Clock)) == Parent; }));
    Desktop.SetParent(Clock, 0);
    EXPECT_TRUE(Clock.isVisible());
    EXPECT_TRUE(WaitFor([&] { return ParentOf(Native(Clock)) == Root; }));
    EXPECT_TRUE(WaitFor([&] { return IsGadget(Native(Clock)); }));
}

TEST_F(X11DesktopWindowTest, AWindowLostWithItsDesktopWindowIsMadeAnewWhereItWas)
{
    const Window Parent = MakeWindow(nullptr, true);
    QWidget Clock;
    Clock.resize(120, 90);
    Desktop.SetParent(Clock, Parent);
    Desktop.MoveTo(Clock, QPoint(70, 80));
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return ParentOf(Native(Clock)) == Parent && Exists(Native(Clock)); }));
    EXPECT_TRUE(Desktop.IsInside(Clock, Parent));
    const WId Lost = Native(Clock);

    // The desktop manager ends: the server destroys its window and ours inside it.
    XDestroyWindow(Other, Parent);
    Windows.erase(std::find(Windows.begin(), Windows.end(), Parent));
    XSync(Other, False);
    EXPECT_TRUE(WaitFor([&] { return !Desktop.IsInside(Clock, Parent); }));
    EXPECT_FALSE(Desktop.IsInside(Clock, 0));
    EXPECT_FALSE(Desktop.ScreenPosition(Clock).has_value());

    Desktop.SetParent(Clock, 0);
    Desktop.MoveTo(Clock, QPoint(70, 80));
    EXPECT_NE(Native(Clock), Lost);
    ASSERT_TRUE(WaitFor([&] { return Exists(Native(Clock)) && ParentOf(Native(Clock)) == Root; }));
    EXPECT_TRUE(Clock.isVisible());
    EXPECT_TRUE(IsGadget(Native(Clock)));
    EXPECT_TRUE(Desktop.IsInside(Clock, 0));
    EXPECT_TRUE(WaitFor([&] { return Desktop.ScreenPosition(Clock) == QPoint(70, 80); }));
    // Our own desktop-typed window is never taken for the desktop.
    EXPECT_EQ(Desktop.FindProgramManager(), 0u);

    // A new desktop manager: the gadget goes inside its window, at the same place.
    const Window Restarted = MakeWindow(nullptr, true);
    EXPECT_EQ(Desktop.FindProgramManager(), Restarted);
    Desktop.SetParent(Clock, Restarted);
    Desktop.MoveTo(Clock, QPoint(70, 80));
    ASSERT_TRUE(WaitFor([&] { return ParentOf(Native(Clock)) == Restarted && Exists(Native(Clock)); }));
    EXPECT_TRUE(WaitFor([&] { return Desktop.ScreenPosition(Clock) == QPoint(70, 80); }));
}

TEST_F(X11DesktopWindowTest, TheNewsOfALostWindowArrives)
{
    const Window Parent = MakeWindow(nullptr, true);
    int News = 0;
    Desktop.SetOnDesktopChange([&] { ++News; });
    QWidget Clock;
    Clock.resize(50, 50);
    Desktop.SetParent(Clock, Parent);
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return Exists(Native(Clock)); }));
    News = 0;
    XDestroyWindow(Other, Parent);
    Windows.erase(std::find(Windows.begin(), Windows.end(), Parent));
    XSync(Other, False);
    EXPECT_TRUE(WaitFor([&] { return News > 0; }));
    Desktop.SetOnDesktopChange(nullptr);
}

TEST_F(X11DesktopWindowTest, TheScreenPositionIsReadFromTheServer)
{
    QWidget Clock;
    Clock.resize(60, 60);
    Desktop.SetParent(Clock, 0);
    Desktop.MoveTo(Clock, QPoint(200, 150));
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return Exists(Native(Clock)); }));
    EXPECT_TRUE(WaitFor([&] { return Desktop.ScreenPosition(Clock) == QPoint(200, 150); }));
    // Another program (a window manager) moves it: Qt's idea of the place does not count.
    XMoveWindow(Other, static_cast<Window>(Native(Clock)), 321, 123);
    XSync(Other, False);
    EXPECT_EQ(Desktop.ScreenPosition(Clock), QPoint(321, 123));
}
