#pragma once

#include "app/Watch.h"
#include "platform/FakeAutostart.h"
#include "platform/FakeClock.h"
#include "platform/FakeDesktopWindow.h"
#include "platform/FakeLibraryLoader.h"
#include "platform/FakeRegistry.h"
#include "platform/FakeSound.h"
#include "platform/FakeTimeZoneService.h"
#include "platform/FakeWindowShape.h"
#include "platform/LinuxFileSystem.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <string>
#include <vector>

// One tray request as the pictures library received it.
struct TTrayRequest
{
    int Identifier = 0;
    int Operation = 0;
    bool HasMenu = false;
    std::string IconName;
    std::string ToolTip;
};

// A main window over fake platform services, in a working folder of its own
// that holds the default configuration document.
class TWatchFixture : public testing::Test
{
protected:
    static constexpr const char* KeyPath = "Software\\Zentavo-3D\\geovalues";
    static constexpr const char* RunPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    void SetUp() override;
    void TearDown() override;

    // The values that have no default, as an installer leaves them.
    void SeedStore();
    void StoreText(const std::string& Name, const std::string& Value);
    void StoreFloat(const std::string& Name, double Value);
    std::string StoredText(const std::string& Name) const;
    double StoredFloat(const std::string& Name) const;

    // A pictures library that serves a 2 x 2 picture per name and records tray requests.
    void InstallPicturesLibrary();
    void WriteConfiguration(const std::string& Xml);

    Twatch& Start();
    void Close();

    Platform::TFakeRegistry Registry;
    Platform::TFakeTimeZoneService TimeZone;
    Platform::TFakeClock Clock;
    Platform::TLinuxFileSystem Files;
    Platform::TFakeLibraryLoader Libraries;
    Platform::TFakeDesktopWindow Desktop;
    Platform::TFakeAutostart Autostart;
    Platform::TFakeWindowShape Shape;
    Platform::TFakeSound Sound;
    Platform::TServices Services;

    std::unique_ptr<Twatch> Window;
    std::vector<QString> Errors;
    static std::vector<TTrayRequest> TrayRequests;
    static std::vector<std::string> PicturesAsked;

private:
    std::string FPreviousFolder;
};
