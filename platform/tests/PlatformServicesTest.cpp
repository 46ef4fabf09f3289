#include "platform/FileRegistry.h"
#include "platform/Platform.h"
#include "platform/testing/FakeDesktopWindow.h"
#include "platform/testing/FakeSound.h"
#include "platform/testing/FakeWindowShape.h"
#include "platform/X11DesktopWindow.h"
#include "platform/X11WindowShape.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QWindow>
#include <set>

using namespace Platform;

TEST(PlatformServices, TheProgramGetsOneOfEachLinuxService)
{
    TServices& Services = LinuxServices();
    EXPECT_EQ(&Services, &LinuxServices());
    const std::set<const void*> Distinct = {Services.Registry,  Services.TimeZone,  Services.Clock,
                                            Services.Files,     Services.Libraries, Services.Desktop,
                                            Services.Autostart, Services.Shape,     Services.Sound};
    EXPECT_EQ(Distinct.size(), 9u);
    EXPECT_EQ(Distinct.count(nullptr), 0u);
    auto* Registry = dynamic_cast<TFileRegistry*>(Services.Registry);
    ASSERT_NE(Registry, nullptr);
    EXPECT_EQ(Registry->StorePath(),
              std::string(std::getenv("XDG_CONFIG_HOME")) + "/zentavo-3d/registry.reg");
    EXPECT_FALSE(Services.TimeZone->SetTimeZoneInformation({}));
    Services.Sound->Beep(); // the offscreen desktop has no bell, and must not mind
}

TEST(PlatformServices, WithoutAnXDisplayTheWindowServicesStillDoTheirPart)
{
    ASSERT_NE(QGuiApplication::platformName(), "xcb");
    QWidget Clock;
    Clock.resize(8, 4);
    TX11DesktopWindow Desktop;
    EXPECT_EQ(Desktop.FindProgramManager(), 0u);
    Desktop.SetParent(Clock, 0);
    EXPECT_EQ(Clock.windowFlags() & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(Clock.windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_TRUE(Desktop.IsInside(Clock, 0));
    Desktop.MoveTo(Clock, QPoint(40, 30));
    Clock.show();
    EXPECT_EQ(Desktop.ScreenPosition(Clock), QPoint(40, 30));

    QImage Frame(8, 4, QImage::Format_RGB32);
    Frame.fill(qRgb(166, 202, 240));
    Frame.setPixel(5, 2, qRgb(0, 0, 0));
    TX11WindowShape Shape;
    Shape.ApplyColorKey(Clock, Frame, qRgb(166, 202, 240));
    ASSERT_NE(Clock.windowHandle(), nullptr);
    EXPECT_EQ(Clock.windowHandle()->mask(), QRegion(5, 2, 1, 1));
}

TEST(PlatformServices, FakesRecordWhatTheyAreAsked)
{
    QWidget Clock;
    TFakeDesktopWindow Desktop;
    EXPECT_EQ(Desktop.FindProgramManager(), 0u);
    Desktop.SetProgramManager(0x1234);
    Desktop.SetParent(Clock, Desktop.FindProgramManager());
    ASSERT_EQ(Desktop.Calls().size(), 1u);
    EXPECT_EQ(Desktop.Calls()[0].Parent, 0x1234u);

    TFakeWindowShape Shape;
    Shape.SetOpacity(Clock, 44);
    Shape.ApplyColorKey(Clock, QImage(2, 2, QImage::Format_RGB32), 0xA6CAF0);
    EXPECT_EQ(Shape.Opacities().at(0).Alpha, 44);
    EXPECT_EQ(Shape.ColorKeys().at(0).KeyRgb, 0xA6CAF0u);
    EXPECT_EQ(Shape.ColorKeys().at(0).Frame.size(), QSize(2, 2));

    TFakeSound Sound;
    Sound.Beep();
    Sound.Beep();
    EXPECT_EQ(Sound.Beeps(), 2);
}
