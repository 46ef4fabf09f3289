// The installed program as a new user meets it: cmake --install into a
// temporary prefix, then the program started from another folder with a fresh
// HOME and XDG folders, against local servers only.
#include "FakeBusServices.h"
#include "LocalHttpServer.h"
#include "LocalSntpServer.h"
#include "PrivateBus.h"
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimeZone>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr unsigned long KeyColor = 0xA6CAF0;

std::string Read(const fs::path& File)
{
    std::ifstream Stream(File);
    return std::string(std::istreambuf_iterator<char>(Stream), {});
}

// A command's exit code, with its output when it failed.
int RunCommand(const QString& Program, const QStringList& Arguments, std::string* Output = nullptr)
{
    QProcess Process;
    Process.setProcessChannelMode(QProcess::MergedChannels);
    Process.start(Program, Arguments);
    if (!Process.waitForFinished(120000))
        return -1;
    if (Output != nullptr)
        *Output = Process.readAll().toStdString();
    return Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
}

// One copy installed for the whole suite.
class InstallTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Prefix = Zentavo::Testing::MakeScratchFolder("prefix");
        std::string Output;
        ASSERT_EQ(RunCommand("cmake",
                             {"--install", ZENTAVO_BUILD_DIR, "--prefix", QString::fromStdString(Prefix)},
                             &Output),
                  0)
            << Output;
    }

    void SetUp() override
    {
        if (Prefix.empty() || !fs::exists(fs::path(Prefix) / "bin/zentavo-3d"))
            GTEST_SKIP() << "the install failed";
    }

    void TearDown() override
    {
        for (QProcess* Program : {&Clock, &Second})
            if (Program->state() != QProcess::NotRunning) {
                Program->kill();
                Program->waitForFinished(5000);
            }
    }

    // A user who never ran the clock, in the zone Zone.
    void NewUser(const std::string& Zone)
    {
        User = Zentavo::Testing::MakeScratchFolder("user");
        Environment = QProcessEnvironment::systemEnvironment();
        for (const char* Variable : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy",
                                     "ALL_PROXY", "QT_QPA_PLATFORM", "ZENTAVO_WORKDIR", "LD_PRELOAD"})
            Environment.remove(Variable);
        const auto Set = [&](const char* Name, const std::string& Value) {
            Environment.insert(Name, QString::fromStdString(Value));
        };
        Set("HOME", User + "/home");
        Set("XDG_CONFIG_HOME", User + "/home/.config");
        Set("XDG_DATA_HOME", User + "/home/.local/share");
        Set("XDG_CACHE_HOME", User + "/home/.cache");
        Set("XDG_RUNTIME_DIR", User + "/runtime");
        Set("TZ", Zone);
        // The machine's time service names the time server.
        Set("ZENTAVO_ETC_DIR", User + "/etc");
        fs::create_directories(User + "/etc/systemd");
        fs::create_directories(User + "/runtime");
        fs::permissions(User + "/runtime", fs::perms::owner_all);
        fs::create_directories(User + "/elsewhere");
        std::ofstream(User + "/etc/systemd/timesyncd.conf") << "[Time]\nNTP=" << TimeServer.Address() << "\n";
    }

    fs::path WorkingFolder() const { return User + "/home/.local/share/zentavo-3d"; }
    std::string Store() const { return Read(User + "/home/.config/zentavo-3d/registry.reg"); }

    void Start(QProcess& Program)
    {
        Program.setProcessEnvironment(Environment);
        Program.setWorkingDirectory(QString::fromStdString(User + "/elsewhere"));
        Program.setProcessChannelMode(QProcess::ForwardedChannels);
        Program.start(QString::fromStdString(Prefix + "/bin/zentavo-3d"), {});
        ASSERT_TRUE(Program.waitForStarted(10000));
    }

    // Starts the clock and waits for its window; the time that took.
    double StartAndWaitForWindow()
    {
        QElapsedTimer Timer;
        Timer.start();
        Start(Clock);
        EXPECT_TRUE(
            TXDisplay::WaitFor([&] { return X.FindByName("watch").has_value(); }, std::chrono::seconds(30)))
            << "no clock window";
        return Timer.nsecsElapsed() / 1e6;
    }

    void Stop()
    {
        Clock.terminate();
        EXPECT_TRUE(Clock.waitForFinished(10000));
        EXPECT_EQ(Clock.exitCode(), 0);
    }

    int CountWindows(const std::string& Name) const
    {
        int Count = 0;
        for (const Window Each : X.AllWindows())
            Count += X.Name(Each) == Name;
        return Count;
    }

    // The clock's window as the user sees it, row by row.
    std::vector<unsigned long> ClockPixels() const
    {
        const std::optional<Window> Found = X.FindByName("watch");
        if (!Found)
            return {};
        int Left = 0, Top = 0, Width = 0, Height = 0;
        X.Geometry(*Found, Left, Top, Width, Height);
        return X.Screenshot(Left, Top, Width, Height);
    }

    static inline std::string Prefix;
    std::string User;
    QProcessEnvironment Environment;
    Zentavo::Testing::TLocalSntpServer TimeServer;
    TXDisplay X;
    QProcess Clock, Second;
};

// Bluish pixels of the sea and greenish ones of the land: the Earth's own picture, not a blank sphere.
bool ShowsTheEarth(const std::vector<unsigned long>& Pixels)
{
    int Sea = 0, Land = 0;
    for (const unsigned long Pixel : Pixels) {
        if (Pixel == KeyColor)
            continue;
        const int Red = (Pixel >> 16) & 0xFF, Green = (Pixel >> 8) & 0xFF, Blue = Pixel & 0xFF;
        Sea += Blue > Red + 40 && Blue > Green + 10;
        Land += Green > Blue + 10 && Green > Red;
    }
    // A white sphere without its picture has a few hundred bluish pixels of shading and no green.
    return Sea > 10000 && Land > 3000;
}

// The heads-up line's orange, which nothing else of the clock has.
int HeadsUpPixels(const std::vector<unsigned long>& Pixels)
{
    int Count = 0;
    for (const unsigned long Pixel : Pixels) {
        const int Red = (Pixel >> 16) & 0xFF, Green = (Pixel >> 8) & 0xFF, Blue = Pixel & 0xFF;
        Count += Red > 190 && Green < 130 && Blue < 70;
    }
    return Count;
}

TEST_F(InstallTest, AFreshUserInSaoPauloGetsTheGlobeTheirPlaceOneClockAndNoWatchOnTheLine)
{
    Zentavo::Testing::TPrivateBus Bus;
    if (!Bus.Installed())
        GTEST_SKIP() << Bus.FailureReason();
    ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
    Zentavo::Testing::TFakeBusServices::TOptions Options;
    Options.NetworkState = 70u; // connected
    Options.TimedatedNtp = false;
    Zentavo::Testing::TFakeBusServices Services(Options);
    ASSERT_TRUE(Services.Started()) << Services.FailureReason();
    // The weather service of the installed document, here, failing.
    // A clock five seconds off, so that timedated is asked to set it.
    TimeServer.SetClockOffset(5);
    Zentavo::Testing::TLocalHttpServer Weather;
    // Nothing is served: every request gets 404.
    const fs::path Document = fs::path(Prefix) / "share/zentavo-3d/sysConf.xml";
    const std::string Installed = Read(Document);
    std::ofstream(Document) << std::regex_replace(Installed, std::regex("service=\"[^\"]*\""),
                                                  "service=\"" + Weather.Url("/compact") + "\"");
    NewUser("America/Sao_Paulo");

    const double FirstStart = StartAndWaitForWindow();
    // The working folder, made private and filled from the installed copy.
    struct stat Status
    {
    };
    ASSERT_EQ(::stat(WorkingFolder().c_str(), &Status), 0);
    EXPECT_EQ(Status.st_mode & 0777, 0700u);
    EXPECT_TRUE(fs::is_regular_file(WorkingFolder() / "sysConf.xml"));
    EXPECT_TRUE(fs::is_regular_file(WorkingFolder() / "pictures/SURFACE.bmp"));
    EXPECT_EQ(fs::read_symlink(WorkingFolder() / "weather.so"),
              fs::path(Prefix) / ZENTAVO_INSTALL_LIBDIR / "zentavo-3d/weather.so");
    EXPECT_TRUE(fs::is_empty(User + "/elsewhere")) << "nothing lands in the folder it was started from";
    // The place, from the system.
    const std::string Settings = Store();
    EXPECT_NE(Settings.find("\"Location\"=\"(GMT -03:00) Sao Paulo, Brazil\""), std::string::npos)
        << Settings;
    EXPECT_NE(Settings.find("\"GMT\"=\"-3\""), std::string::npos) << Settings;
    EXPECT_NE(Settings.find("\"UF\"=\"São Paulo, Brazil\""), std::string::npos) << Settings;
    EXPECT_NE(Settings.find("\"TimeServer\"=\"" + TimeServer.Address() + "\""), std::string::npos)
        << Settings;
    EXPECT_NE(Settings.find("\"SunTime\"=\"0\""), std::string::npos) << Settings;
    // The globe with its pictures; no error box (it would be a second window).
    EXPECT_TRUE(TXDisplay::WaitFor([&] { return ShowsTheEarth(ClockPixels()); })) << "the Earth is drawn";
    EXPECT_FALSE(X.FindByName("Zentavo 3D").has_value()) << "no error box";

    // A second start, from the menu while the session's one runs, brings nothing new.
    Start(Second);
    ASSERT_TRUE(Second.waitForFinished(10000));
    EXPECT_EQ(Second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Second.exitCode(), 0);
    EXPECT_EQ(CountWindows("watch"), 1);

    // The first online run, 30 s after the start: the document refreshes from the installed copy of
    // itself, the weather fails, the time is set.
    std::ofstream(WorkingFolder() / "sysConf.xml") << "<zentavo><!-- before the refresh --></zentavo>";
    const std::vector<unsigned long> Before = ClockPixels();
    EXPECT_TRUE(
        TXDisplay::WaitFor([&] { return Weather.RequestCount() > 0 && TimeServer.RequestCount() > 0; },
                           std::chrono::seconds(60)))
        << "the online run reached the weather service and the time server";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(CountWindows("watch"), 1);
    // The heads-up line keeps its designed text: "watch" in its place would leave a third of its orange.
    const int LineBefore = HeadsUpPixels(Before);
    const int LineAfter = HeadsUpPixels(ClockPixels());
    EXPECT_GT(LineBefore, 100) << "the designed line is drawn";
    EXPECT_NEAR(LineAfter, LineBefore, LineBefore / 10);
    EXPECT_FALSE(Services.CallsOf("org.freedesktop.timedate1.SetTime").empty())
        << "the clock was synchronised";
    // Written back as the clock saves documents, so only its content is the installed one's.
    const std::string Refreshed = Read(WorkingFolder() / "sysConf.xml");
    EXPECT_EQ(Refreshed.find("before the refresh"), std::string::npos) << "refreshed without a server";
    EXPECT_NE(Refreshed.find("service=\"" + Weather.Url("/compact") + "\""), std::string::npos) << Refreshed;

    // Closing saves; the session's entry starts the installed program.
    Stop();
    const std::string Entry = Read(User + "/home/.config/autostart/zentavo-3d.desktop");
    EXPECT_NE(Entry.find("Exec=" + Prefix + "/bin/zentavo-3d\n"), std::string::npos) << Entry;
    std::string Output;
    EXPECT_EQ(RunCommand("desktop-file-validate",
                         {QString::fromStdString(User + "/home/.config/autostart/zentavo-3d.desktop")},
                         &Output),
              0)
        << Output;

    // A start with the folder and settings in place, for the figures.
    const double LaterStart = StartAndWaitForWindow();
    EXPECT_NE(Store().find("\"UF\"=\"São Paulo, Brazil\""), std::string::npos);
    Stop();
    std::cout << "first start " << FirstStart << " ms, with an existing working folder " << LaterStart
              << " ms, ratio " << FirstStart / LaterStart << "\n";
    RecordProperty("FirstStartMilliseconds", std::to_string(FirstStart));
    RecordProperty("LaterStartMilliseconds", std::to_string(LaterStart));
    std::ofstream(Document) << Installed;
}

TEST_F(InstallTest, AFreshUserInBerlinGetsBerlinAndTheSummerTimeTheSystemHasNow)
{
    NewUser("Europe/Berlin");
    // The store exists already, with one value of the user's own.
    fs::create_directories(User + "/home/.config/zentavo-3d");
    std::ofstream(User + "/home/.config/zentavo-3d/registry.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n"
        << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n\"TimeServer\"=\"ntp.mine.example\"\r\n";
    StartAndWaitForWindow();
    const std::string Settings = Store();
    EXPECT_NE(Settings.find("\"Location\"=\"(GMT +01:00) Berlin, Germany\""), std::string::npos) << Settings;
    EXPECT_NE(Settings.find("\"GMT\"=\"1\""), std::string::npos) << Settings;
    EXPECT_NE(Settings.find("\"UF\"=\"Berlin, Germany\""), std::string::npos) << Settings;
    EXPECT_NE(Settings.find("\"TimeServer\"=\"ntp.mine.example\""), std::string::npos)
        << "stored values stay";
    const bool Summer = QTimeZone("Europe/Berlin").isDaylightTime(QDateTime::currentDateTimeUtc());
    EXPECT_NE(Settings.find(std::string("\"SunTime\"=\"") + (Summer ? "1" : "0") + "\""), std::string::npos)
        << Settings;
    EXPECT_TRUE(TXDisplay::WaitFor([&] { return ShowsTheEarth(ClockPixels()); }));
    Stop();
}

TEST_F(InstallTest, TheMenuEntryTheSoftwareCentreDataAndTheIconsAreInstalledAndValid)
{
    const fs::path Share = fs::path(Prefix) / "share";
    const fs::path Entry = Share / "applications/org.zentavo.Zentavo3D.desktop";
    std::string Output;
    EXPECT_EQ(RunCommand("desktop-file-validate", {QString::fromStdString(Entry.string())}, &Output), 0)
        << Output;
    EXPECT_NE(Read(Entry).find("Exec=" + Prefix + "/bin/zentavo-3d\n"), std::string::npos);
    EXPECT_EQ(
        RunCommand("appstreamcli",
                   {"validate", "--no-net", "--pedantic",
                    QString::fromStdString((Share / "metainfo/org.zentavo.Zentavo3D.metainfo.xml").string())},
                   &Output),
        0)
        << Output;
    EXPECT_TRUE(fs::is_regular_file(Share / "icons/hicolor/scalable/apps/zentavo-3d.svg"));
    for (const char* Size : {"16x16", "32x32", "48x48", "128x128", "256x256"})
        EXPECT_TRUE(fs::is_regular_file(Share / "icons/hicolor" / Size / "apps/zentavo-3d.png")) << Size;
    // The document refreshes from the installed copy of itself.
    EXPECT_NE(
        Read(Share / "zentavo-3d/sysConf.xml").find("<link url=\"file://" + Prefix + "/share/zentavo-3d/\""),
        std::string::npos);
    // The web windows' program, beside the library that starts it.
    EXPECT_TRUE(fs::is_regular_file(fs::path(Prefix) / ZENTAVO_INSTALL_LIBDIR / "zentavo-3d/zentavo-popup"));
    for (const char* Library : {"images", "ztaddon", "lu", "weather", "connection", "popup"})
        EXPECT_TRUE(fs::is_regular_file(fs::path(Prefix) / ZENTAVO_INSTALL_LIBDIR / "zentavo-3d" /
                                        (std::string(Library) + ".so")))
            << Library;
}

} // namespace
