#include "WatchFixture.h"

#include "app/FlatImageButton.h"
#include "platform/FileRegistry.h"
#include "platform/testing/TestFileSystem.h"
#include "scene/GLPictureImage.h"
#include "scene/GLTexture.h"
#include "scene/qt/GLSceneViewer.h"
#include "state/GMT_System.h"

#include <QCoreApplication>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using Platform::TRegistryValue;

namespace {
class WatchSettingsTest : public TWatchFixture
{
};
} // namespace

TEST_F(WatchSettingsTest, AnAbsentKeyIsCreatedAndTheLoadStopsAtPitch)
{
    Twatch& Watch = Start();
    EXPECT_TRUE(Registry.KeyExists(KeyPath));
    EXPECT_EQ(Watch.y(), 0);
    EXPECT_EQ(Watch.x(), 0);
    EXPECT_EQ(Watch.Alpha(), 255);
    ASSERT_FALSE(Errors.empty());
    EXPECT_EQ(Errors.front(), QStringLiteral("Erro ao carregar configurações."));
    // Every later field keeps its zero state.
    EXPECT_EQ(Watch.GMTSystem->Task, 0);
    EXPECT_FALSE(Watch.GMTSystem->RunOnce);
    EXPECT_FALSE(Watch.GMTSystem->SunTime);
    EXPECT_EQ(Watch.GMTSystem->GMT, 0);
    EXPECT_TRUE(TimeZone.Writes().empty()) << "the daylight bias step was never reached";
}

TEST_F(WatchSettingsTest, ASaveAfterAFailedLoadMakesTheNextLoadComplete)
{
    Start();
    Close();
    Errors.clear();
    Twatch& Again = Start();
    EXPECT_TRUE(Errors.empty()) << Errors.front().toStdString();
    EXPECT_EQ(Again.GMTSystem->Task, 0);
    EXPECT_FALSE(Again.GMTSystem->RunOnce);
}

TEST_F(WatchSettingsTest, StoredValuesReachTheWindowTheGlobeAndTheRecord)
{
    SeedStore();
    StoreText("Top", "120");
    StoreText("Left", "-30");
    StoreText("Alpha", "300");
    StoreText("Playtime", "200");
    StoreText("GMT", "-3");
    StoreText("Location", "(GMT-03:00) Brasília");
    StoreText("Waiting", "1");
    StoreText("Sound", "/tmp/alarme.wav");
    StoreText("AppChild", "xterm -e top");
    StoreText("RunOnce", "0");
    StoreText("SunTime", "0");
    StoreText("TimeServer", "ntp.local");
    StoreText("User", "proxy.local");
    StoreText("Pass", std::string(300, 'p'));
    StoreText("Port", "3128");
    StoreText("UF", "Recife|BRXX0200");
    StoreFloat("Turn", -157.5);
    StoreFloat("FocalLength", 200);
    Registry.SetValue(KeyPath, "Task",
                      TRegistryValue::FromString("1", Platform::TRegistryType::ExpandString));

    Twatch& Watch = Start();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(Watch.y(), 120);
    EXPECT_EQ(Watch.x(), -30);
    EXPECT_EQ(Watch.Alpha(), 44) << "only the low 8 bits of 300";
    ASSERT_FALSE(Shape.Opacities().empty());
    EXPECT_EQ(Shape.Opacities().back().Alpha, 44);
    EXPECT_FLOAT_EQ(Watch.Planetarium->TurnAngle(), -157.5f);
    EXPECT_FLOAT_EQ(Watch.Camera_1->FocalLength(), 200.0f);
    const TGMT_System& System = *Watch.GMTSystem;
    EXPECT_EQ(System.Playtime, -56);
    EXPECT_EQ(System.GMT, -3);
    EXPECT_EQ(System.Location, "(GMT-03:00) Brasília");
    EXPECT_EQ(System.Task, 1);
    EXPECT_TRUE(System.Waiting);
    EXPECT_DOUBLE_EQ(System.DateTime, 46000.3125);
    EXPECT_EQ(System.Sound(), "/tmp/alarme.wav");
    EXPECT_EQ(System.AppChild(), "xterm -e top");
    EXPECT_FALSE(System.RunOnce);
    EXPECT_FALSE(System.SunTime);
    EXPECT_EQ(System.TimeServer, "ntp.local");
    EXPECT_EQ(System.Connection.ProxyServer(), "proxy.local");
    EXPECT_EQ(System.Connection.ProxyPass(), std::string(255, 'p'));
    EXPECT_EQ(System.Connection.ProxyPort(), "3128");
    EXPECT_EQ(System.Connection.ProxyUser(), "");
    EXPECT_EQ(System.UF, "Recife|BRXX0200");
}

TEST_F(WatchSettingsTest, AMissingTaskBecomesNoKindAndIsSavedBackAs255)
{
    SeedStore();
    Twatch& Watch = Start();
    EXPECT_EQ(Watch.GMTSystem->Task, 255);
    EXPECT_TRUE(Watch.GMTSystem->RunOnce);
    EXPECT_TRUE(Watch.GMTSystem->SunTime);
    Close();
    EXPECT_EQ(StoredText("Task"), "255");
}

TEST_F(WatchSettingsTest, ATopThatIsNoNumberGivesZeroAndTheLoadGoesOn)
{
    SeedStore();
    StoreText("Top", "alto");
    StoreText("GMT", "5");
    Twatch& Watch = Start();
    EXPECT_EQ(Watch.y(), 0);
    EXPECT_EQ(Watch.GMTSystem->GMT, 5);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WatchSettingsTest, ATopStoredAsANumberTypeFailsTheLoad)
{
    SeedStore();
    Registry.SetValue(KeyPath, "Top", TRegistryValue::FromDWord(10));
    StoreText("GMT", "5");
    Twatch& Watch = Start();
    ASSERT_FALSE(Errors.empty());
    EXPECT_EQ(Errors.front(), QStringLiteral("Erro ao carregar configurações.\nUma cópia das configurações "
                                             "anteriores foi guardada em registry.reg.corrupt-1."));
    EXPECT_EQ(Watch.GMTSystem->GMT, 0) << "fields after the failure keep their zero state";
}

TEST_F(WatchSettingsTest, AnUnreadableStoreNamesTheCopyKeptAsideInTheBoxsSecondLine)
{
    const std::string Store = std::filesystem::current_path().string() + "/config/zentavo-3d/registry.reg";
    std::filesystem::create_directories(std::filesystem::path(Store).parent_path());
    std::ofstream(Store)
        << "Windows Registry Editor Version 5.00\r\n\r\n"
        << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        << "\"Pitch\"=hex:00,00,00,00,00,00,00,00\r\n\"Roll\"=hex:00,00,00,00,00,00,00,00\r\n"
        << "\"Turn\"=hex:00,00,00,00,00,00,00,00\r\n\"FocalLength\"=hex:00,00,00,00,00,00,5e,40\r\n"
        << "\"DateTime\"=hex:00,00,00,00,00,00,e0,40\r\n\"Top\"=dword:0000000a\r\n";
    Platform::TFileRegistry FileStore(Store);
    Services.Registry = &FileStore;
    Start();
    // The first box is the load's; the document never loaded then fails the rest of start-up.
    ASSERT_FALSE(Errors.empty());
    const QStringList Lines = Errors.front().split(QLatin1Char('\n'));
    ASSERT_EQ(Lines.size(), 2) << Errors.front().toStdString();
    EXPECT_EQ(Lines[0], QStringLiteral("Erro ao carregar configurações."));
    std::vector<std::string> Copies;
    for (const auto& Entry : std::filesystem::directory_iterator(std::filesystem::path(Store).parent_path()))
        if (Entry.path().filename().string().rfind("registry.reg.corrupt-", 0) == 0)
            Copies.push_back(Entry.path().string());
    ASSERT_EQ(Copies.size(), 1u);
    EXPECT_EQ(Lines[1], QStringLiteral("Uma cópia das configurações anteriores foi guardada em ") +
                            QString::fromStdString(Copies[0]) + QLatin1Char('.'));
    Close();
}

TEST_F(WatchSettingsTest, TheDaylightBiasFollowsSunTimeOnLoadAndSave)
{
    SeedStore();
    StoreText("SunTime", "1");
    Twatch& Watch = Start();
    ASSERT_EQ(TimeZone.Writes().size(), 1u);
    EXPECT_EQ(TimeZone.Writes().back().DaylightBias, -60);
    Watch.GMTSystem->SunTime = false;
    Watch.zt_SaveSettings();
    ASSERT_EQ(TimeZone.Writes().size(), 2u);
    EXPECT_EQ(TimeZone.Writes().back().DaylightBias, 0);
}

TEST_F(WatchSettingsTest, ARefusedTimeZoneWriteIsIgnored)
{
    SeedStore();
    TimeZone.SetAcceptWrites(false);
    Start();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(TimeZone.Writes().size(), 1u);
}

TEST_F(WatchSettingsTest, TheRunEntryAndTheSessionAutostartFollowRunOnce)
{
    SeedStore();
    Twatch& Watch = Start();
    Watch.GMTSystem->RunOnce = true;
    Watch.zt_SaveSettings();
    const auto Entry = Registry.Value(RunPath, "ZENTAVO.EXE");
    ASSERT_TRUE(Entry.has_value());
    EXPECT_EQ(Entry->AsText(), QCoreApplication::applicationFilePath().toStdString());
    EXPECT_TRUE(Autostart.Enabled());
    EXPECT_EQ(Autostart.Calls().back().WorkingFolder, std::filesystem::current_path().string());

    Watch.GMTSystem->RunOnce = false;
    Watch.zt_SaveSettings();
    EXPECT_FALSE(Registry.Value(RunPath, "ZENTAVO.EXE").has_value());
    EXPECT_FALSE(Autostart.Enabled());
    Watch.zt_SaveSettings(); // a missing value is no error
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WatchSettingsTest, ARoundTripRestoresEverySetting)
{
    SeedStore();
    Twatch& First = Start();
    First.move(77, 88);
    First.SetAlpha(180);
    First.Planetarium->SetPitchAngle(12.5f);
    First.Planetarium->SetRollAngle(-40);
    First.Planetarium->SetTurnAngle(95);
    First.Camera_1->SetFocalLength(150);
    First.ScreenView->Buffer().SetLighting(false);
    TGMT_System& System = *First.GMTSystem;
    System.GMT = 9;
    System.Location = "(GMT+09:00) Tóquio";
    System.Task = 2;
    System.Waiting = true;
    System.DateTime = 46100.75;
    System.Playtime = -3;
    System.SetSound("sino.wav");
    System.SetAppChild("gedit");
    System.RunOnce = false;
    System.SunTime = false;
    System.TimeServer = "pool.local";
    System.Connection.SetProxyServer("proxy");
    System.Connection.SetProxyUser("ana");
    System.Connection.SetProxyPass("segredo");
    System.Connection.SetProxyPort("8080");
    System.UF = "Natal|BRXX0160";
    Close();

    Twatch& Second = Start();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(Second.pos(), QPoint(77, 88));
    EXPECT_EQ(Second.Alpha(), 180);
    EXPECT_FLOAT_EQ(Second.Planetarium->PitchAngle(), 12.5f);
    EXPECT_FLOAT_EQ(Second.Planetarium->RollAngle(), -40);
    EXPECT_FLOAT_EQ(Second.Planetarium->TurnAngle(), 95);
    EXPECT_FLOAT_EQ(Second.Camera_1->FocalLength(), 150);
    EXPECT_FALSE(Second.ScreenView->Buffer().Lighting());
    const TGMT_System& Loaded = *Second.GMTSystem;
    EXPECT_EQ(Loaded.GMT, 9);
    EXPECT_EQ(Loaded.Location, "(GMT+09:00) Tóquio");
    EXPECT_EQ(Loaded.Task, 2);
    EXPECT_TRUE(Loaded.Waiting);
    EXPECT_DOUBLE_EQ(Loaded.DateTime, 46100.75);
    EXPECT_EQ(Loaded.Playtime, -3);
    EXPECT_EQ(Loaded.Sound(), "sino.wav");
    EXPECT_EQ(Loaded.AppChild(), "gedit");
    EXPECT_FALSE(Loaded.RunOnce);
    EXPECT_FALSE(Loaded.SunTime);
    EXPECT_EQ(Loaded.TimeServer, "pool.local");
    EXPECT_EQ(Loaded.Connection.ProxyServer(), "proxy");
    EXPECT_EQ(Loaded.Connection.ProxyUser(), "") << "the proxy user is not kept";
    EXPECT_EQ(Loaded.Connection.ProxyPass(), "segredo");
    EXPECT_EQ(Loaded.Connection.ProxyPort(), "8080");
    EXPECT_EQ(Loaded.UF, "Natal|BRXX0160");
    EXPECT_EQ(StoredText("Playtime"), "-3");
}

TEST_F(WatchSettingsTest, ValuesTheClockDoesNotKnowSurviveASave)
{
    SeedStore();
    StoreText("Theme", "escuro");
    Registry.SetValue("Software\\Zentavo-3D\\other", "Kept", TRegistryValue::FromDWord(7));
    Start();
    Close();
    EXPECT_EQ(StoredText("Theme"), "escuro");
    EXPECT_EQ(Registry.Value("Software\\Zentavo-3D\\other", "Kept"), TRegistryValue::FromDWord(7));
}

TEST_F(WatchSettingsTest, ASaveIsOneTransactionThatWritesAllOrNothing)
{
    SeedStore();
    Twatch& Watch = Start();
    const int Before = Registry.Transactions();
    Watch.move(31, 32);
    Watch.zt_SaveSettings();
    EXPECT_EQ(Registry.Transactions(), Before + 1) << "every value and the autostart entry at once";
    EXPECT_EQ(StoredText("Top"), "32");

    Watch.move(41, 42);
    Watch.GMTSystem->GMT = 7;
    Registry.FailWritesOf("Waiting");
    EXPECT_THROW(Watch.zt_SaveSettings(), Platform::ERegistryError);
    EXPECT_EQ(Registry.Transactions(), Before + 1);
    EXPECT_EQ(StoredText("Top"), "32") << "a failed save leaves every old value";
    EXPECT_EQ(StoredText("GMT"), "0");
}

TEST_F(WatchSettingsTest, AValueOfTheWrongFormKeepsTheStoreAsideBeforeTheCloseOverwritesIt)
{
    SeedStore();
    StoreText("Location", "(GMT -03:00) Brasília");
    StoreText("Pass", "segredo");
    Registry.SetValue(KeyPath, "Pitch", Platform::TRegistryValue::FromDWord(3));
    Start();
    ASSERT_EQ(Registry.Copies().size(), 1u);
    EXPECT_EQ(Registry.Copies()[0].at(std::string("software\\zentavo-3d\\geovalues\\Pass")), "segredo");
    Close();
    EXPECT_EQ(StoredText("Pass"), "") << "the close saved the zero state, as designed";

    // A first start (the float values missing) is no reason to keep anything.
    Registry.DeleteValue(KeyPath, "Pitch");
    Start();
    Close();
    EXPECT_EQ(Registry.Copies().size(), 1u);
}

TEST_F(WatchSettingsTest, PicturesDressTheMoonAndTheGlobeThroughTemporaryFiles)
{
    SeedStore();
    InstallPicturesLibrary();
    Twatch& Watch = Start();
    EXPECT_EQ(PicturesAsked, (std::vector<std::string>{"MOON", "SURFACE", "DOMO_H", "DOMO_M"}));
    EXPECT_EQ(Watch.Moon->Picture().size(), QSize(2, 2));
    EXPECT_EQ(qBlue(Watch.Moon->Picture().pixel(0, 0)), 4) << "the MOON picture";
    const std::pair<const char*, Scene::TGLSphere*> Textures[] = {
        {"SURFACE", Watch.Globe->Earth}, {"DOMO_H", Watch.Globe->Horas}, {"DOMO_M", Watch.Globe->Minutos}};
    for (const auto& [Name, Sphere] : Textures) {
        const Scene::TGLPicture& Picture = Sphere->Material().Texture().Image().Picture();
        EXPECT_EQ(Picture.Width(), 2) << Name;
        EXPECT_EQ(Picture.Height(), 2) << Name;
        ASSERT_NE(Picture.Graphic(), nullptr) << Name;
        // The first byte of the top scan line is its blue byte: the name's length.
        EXPECT_EQ(Picture.Graphic()->ScanLine(0)[0], std::strlen(Name)) << Name;
    }
    for (const char* File : {"moon.bmp", "surface.bmp", "domo_h.bmp", "domo_m.bmp"})
        EXPECT_FALSE(std::filesystem::exists(File)) << File << " is left behind";
    EXPECT_EQ(Libraries.OpenCount(), 0);
}

TEST_F(WatchSettingsTest, WithoutThePicturesLibraryTheTargetsStayEmptyAndTheLoadCompletes)
{
    SeedStore();
    Twatch& Watch = Start();
    EXPECT_TRUE(Errors.empty());
    EXPECT_TRUE(Watch.Moon->Picture().isNull());
    EXPECT_EQ(Watch.Globe->Earth->Material().Texture().Image().Picture().Width(), 0)
        << "the placeholder is replaced by the empty picture";
}

TEST_F(WatchSettingsTest, TemporaryPicturesArePrivateWhateverTheUmask)
{
    SeedStore();
    InstallPicturesLibrary();
    // Kept from deletion, so that the test can look at the files the load wrote.
    TTestFileSystem Keeping;
    Keeping.Undeletable = {"moon.bmp", "surface.bmp", "domo_h.bmp", "domo_m.bmp"};
    Services.Files = &Keeping;
    std::ofstream("moon.bmp") << "a stale file of somebody else's";
    const mode_t Previous = ::umask(0);
    Start();
    ::umask(Previous);
    for (const char* Name : {"moon.bmp", "surface.bmp", "domo_h.bmp", "domo_m.bmp"}) {
        struct stat Status
        {
        };
        ASSERT_EQ(::stat(Name, &Status), 0) << Name;
        EXPECT_EQ(Status.st_mode & 0777, 0600u) << Name;
    }
    EXPECT_EQ(Window->Moon->Picture().size(), QSize(2, 2)) << "the stale file was replaced, not read";
}
