#include "platform/QtPlatformChoice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

std::string Choice(const std::map<std::string, std::string>& Environment)
{
    return Platform::ChooseQtPlatform([&](const char* Name) -> const char* {
        const auto Found = Environment.find(Name);
        return Found == Environment.end() ? nullptr : Found->second.c_str();
    });
}

TEST(QtPlatformChoiceTest, AWaylandSessionWithXWaylandRunsTheClockThroughX11)
{
    EXPECT_EQ(Choice({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}), "xcb");
    // GNOME and Plasma set the session type; some launchers drop WAYLAND_DISPLAY.
    EXPECT_EQ(Choice({{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}), "xcb");
    EXPECT_EQ(Choice({{"WAYLAND_DISPLAY", "wayland-0"},
                      {"XDG_SESSION_TYPE", "wayland"},
                      {"DISPLAY", ":0"},
                      {"QT_QPA_PLATFORM", ""}}),
              "xcb");
}

TEST(QtPlatformChoiceTest, WhatTheUserAskedForAndQtsOwnChoiceElsewhereAreKept)
{
    EXPECT_EQ(Choice({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}),
              "");
    EXPECT_EQ(Choice({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "offscreen"}}),
              "");
    // No XWayland: X11 cannot be had, so Qt's own choice is better than none.
    EXPECT_EQ(Choice({{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}}), "");
    EXPECT_EQ(Choice({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}), "");
    // An X11 session needs nothing.
    EXPECT_EQ(Choice({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}), "");
    EXPECT_EQ(Choice({}), "");
}

TEST(QtPlatformChoiceTest, SelectingWritesTheChoiceIntoTheProcessEnvironment)
{
    unsetenv("QT_QPA_PLATFORM");
    setenv("WAYLAND_DISPLAY", "wayland-7", 1);
    setenv("DISPLAY", ":7", 1);
    Platform::SelectQtPlatform();
    ASSERT_NE(std::getenv("QT_QPA_PLATFORM"), nullptr);
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "xcb");

    setenv("QT_QPA_PLATFORM", "wayland", 1);
    Platform::SelectQtPlatform();
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "wayland");
}

} // namespace
