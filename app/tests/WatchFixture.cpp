#include "WatchFixture.h"

#include "app/ErrorReport.h"
#include "services/zentavo_companion.h"
#include "TemporaryHome.h"

#include <QCoreApplication>
#include <QTest>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

std::vector<TTrayRequest> TWatchFixture::TrayRequests;
std::vector<std::string> TWatchFixture::PicturesAsked;

namespace {

std::vector<TTrayRequest>* TrayLog = nullptr;
std::vector<std::string>* PictureLog = nullptr;

void RecordTrayRequest(uintptr_t, int32_t Identifier, int32_t Operation, ZTPopupMenu* Menu,
                       const char* IconName, const char* ToolTip)
{
    TrayLog->push_back({Identifier, Operation, Menu != nullptr, IconName, ToolTip});
}

void ServePicture(ZTBitmap** Bitmap, const char* Name)
{
    PictureLog->push_back(Name);
    // A picture the test can recognise: its first pixel encodes the name's length.
    const uint32_t Pixels[4] = {0xFF000000u | static_cast<uint32_t>(std::strlen(Name)), 0xFF336699u,
                                0xFF336699u, 0xFF336699u};
    (*Bitmap)->Methods->SetPixels(*Bitmap, 2, 2, Pixels);
}

} // namespace

void TWatchFixture::SetUp()
{
    FPreviousFolder = std::filesystem::current_path();
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("watch");
    std::filesystem::current_path(Folder);
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", Folder + "/sysConf.xml");
    Clock.SetHoldSleeps(true);
    TrayRequests.clear();
    PicturesAsked.clear();
    TrayLog = &TrayRequests;
    PictureLog = &PicturesAsked;
    SetErrorBoxHandler([this](const QString& Text) { Errors.push_back(Text); });
}

void TWatchFixture::TearDown()
{
    Window.reset();
    SetErrorBoxHandler({});
    std::filesystem::current_path(FPreviousFolder);
}

void TWatchFixture::SeedStore()
{
    StoreFloat("Pitch", 0);
    StoreFloat("Roll", 0);
    StoreFloat("Turn", 0);
    StoreFloat("FocalLength", 119.99996);
    StoreFloat("DateTime", 46000.3125); // 7:30 in the morning
}

void TWatchFixture::StoreText(const std::string& Name, const std::string& Value)
{
    Registry.SetValue(KeyPath, Name, Platform::TRegistryValue::FromString(Value));
}

void TWatchFixture::StoreFloat(const std::string& Name, double Value)
{
    Registry.SetValue(KeyPath, Name, Platform::TRegistryValue::FromBinary(&Value, sizeof Value));
}

std::string TWatchFixture::StoredText(const std::string& Name) const
{
    const auto Value = Registry.Value(KeyPath, Name);
    return Value ? Value->AsText() : std::string("<missing>");
}

double TWatchFixture::StoredFloat(const std::string& Name) const
{
    const auto Value = Registry.Value(KeyPath, Name);
    double Result = -12345;
    if (Value && Value->Data.size() == sizeof Result)
        std::memcpy(&Result, Value->Data.data(), sizeof Result);
    return Result;
}

void TWatchFixture::InstallPicturesLibrary()
{
    Libraries.AddLibrary("images.so", {{"GetPicture", reinterpret_cast<void*>(&ServePicture)},
                                       {"SetTaskBarIcon", reinterpret_cast<void*>(&RecordTrayRequest)}});
}

void TWatchFixture::WriteConfiguration(const std::string& Xml)
{
    std::ofstream("sysConf.xml", std::ios::trunc) << Xml;
}

Twatch& TWatchFixture::Start()
{
    Window = std::make_unique<Twatch>(Services, 0);
    return *Window;
}

bool TWatchFixture::WorkerPasses(std::size_t Count)
{
    const std::size_t Wanted = (Count == 0 ? 1 : Clock.SleepRequests() + Count);
    Clock.GrantSleeps(Count);
    return QTest::qWaitFor([&] { return Clock.SleepRequests() >= Wanted; }, 10000);
}

void TWatchFixture::Close()
{
    Window->close();
    Window.reset();
}
