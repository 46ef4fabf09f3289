#pragma once

#include "app/Watch.h"
#include "platform/testing/FakeServices.h"

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

public:
    // For the stand-in libraries, which are plain functions.
    std::string StoredTextOf(const std::string& Name) const { return StoredText(Name); }

protected:
    double StoredFloat(const std::string& Name) const;

    // A pictures library that serves a 2 x 2 picture per name and records tray requests.
    void InstallPicturesLibrary();
    void WriteConfiguration(const std::string& Xml);

    Twatch& Start();
    void Close();
    // Serves the window's events until the worker has made Count more passes
    // and waits in its sleep again; false when it did not within 10 s.
    bool WorkerPasses(std::size_t Count = 0);

    Platform::TFakeServices Fakes;
    Platform::TServices& Services = Fakes.Services();
    Platform::TFakeRegistry& Registry = Fakes.Registry;
    Platform::TFakeTimeZoneService& TimeZone = Fakes.TimeZone;
    // Held: the worker makes its first passes, then waits for the test to grant it more.
    Platform::TFakeClock& Clock = Fakes.Clock;
    Platform::TFakeLibraryLoader& Libraries = Fakes.Libraries;
    Platform::TFakeDesktopWindow& Desktop = Fakes.Desktop;
    Platform::TFakeAutostart& Autostart = Fakes.Autostart;
    Platform::TFakeWindowShape& Shape = Fakes.Shape;
    Platform::TFakeSound& Sound = Fakes.Sound;
    Platform::TFakeLauncher& Launcher = Fakes.Launcher;

    std::unique_ptr<Twatch> Window;
    std::vector<QString> Errors;
    static std::vector<TTrayRequest> TrayRequests;
    static std::vector<std::string> PicturesAsked;

private:
    std::string FPreviousFolder;
};
