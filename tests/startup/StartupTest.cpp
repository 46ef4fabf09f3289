#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

constexpr unsigned long KeyColor = 0xA6CAF0;
constexpr unsigned long Wallpaper = 0x2E8B57;

std::string HexBytes(const void* Data, std::size_t Size)
{
    std::ostringstream Text;
    const auto* Bytes = static_cast<const unsigned char*>(Data);
    for (std::size_t Index = 0; Index < Size; ++Index) {
        char Pair[4];
        std::snprintf(Pair, sizeof Pair, "%02x", Bytes[Index]);
        Text << (Index ? "," : "") << Pair;
    }
    return Text.str();
}

std::string Float(double Value)
{
    return "hex:" + HexBytes(&Value, sizeof Value);
}

// One run of the real program in its own working folder and settings store.
class StartupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Folder = Zentavo::Testing::MakeScratchFolder("startup");
        WorkingFolder = Folder + "/work";
        ConfigHome = Folder + "/config";
        std::filesystem::create_directories(WorkingFolder);
        std::filesystem::create_directories(ConfigHome + "/zentavo-3d");
        std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", WorkingFolder + "/sysConf.xml");
    }

    void TearDown() override
    {
        if (Program.state() != QProcess::NotRunning) {
            Program.kill();
            Program.waitForFinished(5000);
        }
        for (const Window Made : Backdrops)
            X.Destroy(Made);
    }

    // The pictures companion and the moon picture, as the run command installs them.
    void InstallMoon()
    {
        std::filesystem::copy_file(ZENTAVO_IMAGES_LIBRARY, WorkingFolder + "/images.so");
        std::filesystem::create_directory(WorkingFolder + "/pictures");
        std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/pictures/MOON.bmp",
                                   WorkingFolder + "/pictures/MOON.bmp");
    }

    // Every picture the pictures companion serves.
    void InstallPictures()
    {
        std::filesystem::copy_file(ZENTAVO_IMAGES_LIBRARY, WorkingFolder + "/images.so");
        std::filesystem::copy(ZENTAVO_SOURCE_DIR "/data/pictures", WorkingFolder + "/pictures");
    }

    std::string StorePath() const { return ConfigHome + "/zentavo-3d/registry.reg"; }

    void WriteStore(int Top, int Left)
    {
        std::ofstream Store(StorePath());
        Store << "Windows Registry Editor Version 5.00\r\n\r\n"
              << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
              << "\"Top\"=\"" << Top << "\"\r\n"
              << "\"Left\"=\"" << Left << "\"\r\n"
              << "\"Pitch\"=" << Float(0) << "\r\n"
              << "\"Roll\"=" << Float(0) << "\r\n"
              << "\"Turn\"=" << Float(0) << "\r\n"
              << "\"FocalLength\"=" << Float(119.99996) << "\r\n"
              << "\"DateTime\"=" << Float(46000.5) << "\r\n"
              << "\"RunOnce\"=\"0\"\r\n";
    }

    std::string ReadStore() const
    {
        std::ifstream Store(StorePath());
        return std::string(std::istreambuf_iterator<char>(Store), {});
    }

    // Saves fail while the marker file exists.
    std::string FaultMarker() const { return Folder + "/saves-fail"; }
    void FailSaves() { std::ofstream(FaultMarker()) << "on"; }
    std::string ErrorOutput() { return Program.readAllStandardError().toStdString(); }

    void RunTool(const QStringList& Arguments)
    {
        QProcess Tool;
        Tool.start("xdotool", Arguments);
        ASSERT_TRUE(Tool.waitForFinished(10000));
        ASSERT_EQ(Tool.exitCode(), 0) << Arguments.join(' ').toStdString();
    }

    void Start()
    {
        QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert("LD_PRELOAD", ZENTAVO_SAVE_FAULT_LIBRARY);
        Environment.insert("ZENTAVO_TEST_SAVE_FAULT", QString::fromStdString(FaultMarker()));
        Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(ConfigHome));
        Environment.insert("HOME", QString::fromStdString(Folder));
        Environment.remove("QT_QPA_PLATFORM");
        Program.setProcessEnvironment(Environment);
        Program.setWorkingDirectory(QString::fromStdString(WorkingFolder));
        Program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        Program.start(ZENTAVO_EXECUTABLE, {});
        ASSERT_TRUE(Program.waitForStarted(10000));
    }

    Window WaitForWindow(const std::string& Name)
    {
        std::optional<Window> Found;
        EXPECT_TRUE(TXDisplay::WaitFor([&] { return (Found = X.FindByName(Name)).has_value(); }))
            << "no window named " << Name;
        return Found.value_or(0);
    }

    Window Backdrop(unsigned long Rgb, bool Desktop)
    {
        Backdrops.push_back(X.CreateBackdrop(Rgb, Desktop));
        return Backdrops.back();
    }

    TXDisplay X;
    QProcess Program;
    std::vector<Window> Backdrops;
    std::string Folder, WorkingFolder, ConfigHome;
};

TEST_F(StartupTest, ShowsABorderlessWindowOfTheDesignedSizeWithNoTaskBarEntry)
{
    WriteStore(40, 50);
    Start();
    const Window Clock = WaitForWindow("watch");
    ASSERT_NE(Clock, 0u);
    int Left, Top, Width, Height;
    X.Geometry(Clock, Left, Top, Width, Height);
    EXPECT_EQ(Width, 329);
    EXPECT_EQ(Height, 345);
    EXPECT_EQ(Left, 50);
    EXPECT_EQ(Top, 40);
    const auto States = X.AtomList(Clock, "_NET_WM_STATE");
    EXPECT_NE(std::find(States.begin(), States.end(), "_NET_WM_STATE_SKIP_TASKBAR"), States.end());
    EXPECT_NE(std::find(States.begin(), States.end(), "_NET_WM_STATE_SKIP_PAGER"), States.end());
}

TEST_F(StartupTest, BecomesAChildOfTheDesktopWindow)
{
    const Window Desktop = Backdrop(Wallpaper, true);
    WriteStore(10, 10);
    Start();
    const Window Clock = WaitForWindow("watch");
    ASSERT_NE(Clock, 0u);
    EXPECT_TRUE(TXDisplay::WaitFor([&] { return X.Parent(Clock) == Desktop; }));
}

TEST_F(StartupTest, KeyColouredPixelsShowTheDesktopBeneath)
{
    Backdrop(Wallpaper, false);
    InstallMoon();
    WriteStore(100, 120);
    Start();
    const Window Clock = WaitForWindow("watch");
    ASSERT_NE(Clock, 0u);
    // The shape must really arrive on the server, not only inside the toolkit.
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return X.BoundingShape(Clock).has_value(); }));
    int Left, Top, Width, Height;
    X.Geometry(Clock, Left, Top, Width, Height);
    std::vector<unsigned long> Pixels;
    const auto At = [&](int Column, int Row) {
        return Pixels[static_cast<std::size_t>(Row) * Width + Column];
    };
    // Until the first frame is on the screen the window shows nothing of its own.
    EXPECT_TRUE(TXDisplay::WaitFor([&] {
        Pixels = X.Screenshot(Left, Top, Width, Height);
        return At(164, 172) != Wallpaper && At(16, 16) != Wallpaper;
    })) << "the globe and the moon are drawn";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Pixels = X.Screenshot(Left, Top, Width, Height);
    const auto KeyPixels = std::count(Pixels.begin(), Pixels.end(), KeyColor);
    EXPECT_EQ(KeyPixels, 0) << "sky-blue pixels visible on the desktop";
    // The moon button (32 x 32 at 1, 1) shows its picture over the wallpaper.
    int MoonPixels = 0;
    for (int Row = 1; Row < 33; ++Row)
        for (int Column = 1; Column < 33; ++Column)
            MoonPixels += At(Column, Row) != Wallpaper ? 1 : 0;
    EXPECT_GT(MoonPixels, 200) << "the moon is drawn";
    // The globe covers the middle; the corners away from it are the wallpaper.
    EXPECT_NE(At(164, 172), Wallpaper);
    for (const auto& [Column, Row] :
         {std::pair{320, 10}, std::pair{320, 335}, std::pair{10, 335}, std::pair{60, 5}})
        EXPECT_EQ(At(Column, Row), Wallpaper) << Column << ", " << Row;
}

TEST_F(StartupTest, MissingConfigurationShowsTheErrorAndStopsStartUp)
{
    std::filesystem::remove(WorkingFolder + "/sysConf.xml");
    WriteStore(10, 10);
    Start();
    // First the load's message, then the failed read of the document ends start-up.
    const Window FirstBox = WaitForWindow("Zentavo 3D");
    ASSERT_NE(FirstBox, 0u);
    EXPECT_FALSE(X.FindByName("watch").has_value()) << "the window shows only after the message";
    X.RequestClose(FirstBox);
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return !X.IsShown(FirstBox); }));
    const Window SecondBox = WaitForWindow("Zentavo 3D");
    ASSERT_NE(SecondBox, 0u);
    EXPECT_TRUE(X.FindByName("watch").has_value()) << "the window is shown before the failing step";
    X.RequestClose(SecondBox);
    EXPECT_TRUE(TXDisplay::WaitFor([&] { return !X.FindByName("Zentavo 3D").has_value(); }));
    EXPECT_EQ(Program.state(), QProcess::Running) << "the program keeps running";
}

TEST_F(StartupTest, TerminationSavesTheSettings)
{
    WriteStore(10, 20);
    Start();
    const Window Clock = WaitForWindow("watch");
    ASSERT_NE(Clock, 0u);
    X.Move(Clock, 44, 33);
    ASSERT_TRUE(TXDisplay::WaitFor([&] {
        int Left, Top, Width, Height;
        X.Geometry(Clock, Left, Top, Width, Height);
        return Left == 44 && Top == 33;
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // let the program see its new place
    ::kill(static_cast<pid_t>(Program.processId()), SIGTERM);
    ASSERT_TRUE(Program.waitForFinished(10000));
    EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit);
    const std::string Store = ReadStore();
    EXPECT_NE(Store.find("\"Top\"=\"33\""), std::string::npos) << Store;
    EXPECT_NE(Store.find("\"Left\"=\"44\""), std::string::npos) << Store;
    EXPECT_NE(Store.find("\"Task\"=\"255\""), std::string::npos) << Store;
}

TEST_F(StartupTest, ASaveThatFailsOnTerminationIsWrittenToStandardErrorAndTheExitCodeSaysSo)
{
    WriteStore(10, 20);
    const std::string Before = ReadStore();
    Start();
    ASSERT_NE(WaitForWindow("watch"), 0u);
    FailSaves();
    ::kill(static_cast<pid_t>(Program.processId()), SIGTERM);
    ASSERT_TRUE(Program.waitForFinished(5000)) << "nobody is waited for";
    EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(Program.exitCode(), 0);
    EXPECT_NE(ErrorOutput().find("registry.reg"), std::string::npos);
    EXPECT_EQ(ReadStore(), Before) << "the old settings, byte for byte";
}

TEST_F(StartupTest, ASaveThatFailsOnSairKeepsItsBoxUntilConfirmedThenTheExitCodeSaysSo)
{
    InstallMoon();
    WriteStore(10, 20);
    Start();
    const Window Clock = WaitForWindow("watch");
    ASSERT_NE(Clock, 0u);
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return X.BoundingShape(Clock).has_value(); }));
    FailSaves();
    int Left, Top, Width, Height;
    X.Geometry(Clock, Left, Top, Width, Height);
    // The moon's menu, and its last item "&Sair".
    RunTool({"mousemove", QString::number(Left + 16), QString::number(Top + 16), "click", "3"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    RunTool({"key", "Up", "Return"});
    const Window Box = WaitForWindow("Zentavo 3D");
    ASSERT_NE(Box, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(X.IsShown(Box)) << "the box waits for the user";
    EXPECT_EQ(Program.state(), QProcess::Running);
    X.RequestClose(Box);
    ASSERT_TRUE(Program.waitForFinished(5000));
    EXPECT_NE(Program.exitCode(), 0);
}

TEST_F(StartupTest, TerminationWhileTheStartUpErrorBoxIsOpenEndsTheProgram)
{
    std::filesystem::remove(WorkingFolder + "/sysConf.xml");
    WriteStore(10, 10);
    Start();
    ASSERT_NE(WaitForWindow("Zentavo 3D"), 0u);
    ::kill(static_cast<pid_t>(Program.processId()), SIGTERM);
    EXPECT_TRUE(Program.waitForFinished(5000));
    EXPECT_NE(ErrorOutput().find("zentavo-3d: "), std::string::npos)
        << "the rest of start-up reports on standard error";
}

TEST_F(StartupTest, ADoubleClickOnTheMoonOpensTheSkinnedDialogBesideTheClock)
{
    Backdrop(Wallpaper, false);
    InstallPictures();
    WriteStore(40, 50);
    Start();
    const Window Clock = WaitForWindow("watch");
    ASSERT_NE(Clock, 0u);
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return X.BoundingShape(Clock).has_value(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RunTool({"mousemove", "66", "56", "click", "--repeat", "2", "--delay", "60", "1"});
    const Window Dialog = WaitForWindow("Zentavo 3D Setup");
    ASSERT_NE(Dialog, 0u);
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return X.IsShown(Dialog) && X.BoundingShape(Dialog).has_value(); }));
    int Left, Top, Width, Height;
    X.Geometry(Dialog, Left, Top, Width, Height);
    EXPECT_EQ(Left, 50 + 329) << "beside the clock";
    EXPECT_EQ(Top, 40);
    EXPECT_EQ(Width, 358);
    EXPECT_EQ(Height, 430);
    std::vector<unsigned long> Pixels;
    // The skin's key-coloured corner shows the wallpaper; its middle is the dialog's own.
    EXPECT_TRUE(TXDisplay::WaitFor([&] {
        Pixels = X.Screenshot(Left, Top, Width, Height);
        return Pixels[0] == Wallpaper && Pixels[static_cast<std::size_t>(200) * Width + 180] != Wallpaper;
    }));
    EXPECT_EQ(std::count(Pixels.begin(), Pixels.end(), KeyColor), 0)
        << "sky-blue pixels visible on the desktop";
}

} // namespace
