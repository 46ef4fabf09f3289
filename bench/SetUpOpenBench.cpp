// The setup dialog's opening: from a double click on the moon to the
// dialog's first complete paint, with a 600-entry zone list, against opening
// an empty dialog of the same size in the same run; then where the time goes.
// Run under an X server (xvfb-run) from the build folder; it makes its own
// HOME, settings and working folder.
#include "app/FlatImageButton.h"
#include "app/Watch.h"
#include "app/ZentavoApplication.h"
#include "platform/Platform.h"
#include "setup/Frm_SetUp.h"
#include "setup/SetUpHost.h"
#include "setup/SetUpTransfer.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 20;

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// Stamps the end of the first paint of a window, once the event loop is back.
class TFirstPaint : public QObject
{
public:
    TFirstPaint(QWidget& Window, QElapsedTimer& Clock, double& Milliseconds)
        : FClock(Clock), FMilliseconds(Milliseconds)
    {
        Window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            auto* Window = static_cast<QWidget*>(Watched);
            // The children paint in the same pass; the stamp comes after it.
            QTimer::singleShot(0, Window, [this, Window] {
                FMilliseconds = static_cast<double>(FClock.nsecsElapsed()) / 1e6;
                QMetaObject::invokeMethod(Window, "reject", Qt::QueuedConnection);
            });
        }
        return false;
    }

private:
    QElapsedTimer& FClock;
    double& FMilliseconds;
    bool FSeen = false;
};

class TQuietHost : public TSetUpHost
{
public:
    int Alpha() const override { return 255; }
    bool Lighting() const override { return true; }
    void SetLighting(bool) override {}
    QRect WindowGeometry() const override { return {10, 10, 329, 345}; }
    QSize ScreenSize() const override { return {1280, 1024}; }
    void SetMoonEnabled(bool) override {}
    void ShowMessage(const QString&) override {}
    void GMTChange(QObject*) override {}
    void AlphaBarrChange(QObject*) override {}
    void SumLightClick(QObject*) override {}
    void SetSystemParams() override {}
    void ApplyGMT() override {}
    void SaveSettings() override {}
};

// With --real-lists the working folder holds the real ztaddon.so and the
// shipped weather city list instead of the 600-zone stand-in.
bool RealLists = false;

void PrepareFolders()
{
    const std::filesystem::path Scratch = std::filesystem::temp_directory_path() / "zentavo-setup-bench";
    std::filesystem::remove_all(Scratch);
    const std::filesystem::path Work = Scratch / "work", Config = Scratch / "config";
    std::filesystem::create_directories(Work);
    std::filesystem::create_directories(Config / "zentavo-3d");
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", Work / "sysConf.xml");
    std::filesystem::copy(ZENTAVO_SOURCE_DIR "/data/pictures", Work / "pictures");
    std::filesystem::copy_file(ZENTAVO_IMAGES_LIBRARY, Work / "images.so");
    if (RealLists) {
        std::filesystem::copy_file(ZENTAVO_ADDON_LIBRARY, Work / "ztaddon.so");
        std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/weather-cities.txt",
                                   Work / "weather-cities.txt");
    } else {
        std::filesystem::copy_file(ZENTAVO_ZONE_LIBRARY, Work / "ztaddon.so");
    }
    std::ofstream(Config / "zentavo-3d" / "registry.reg")
        << "Windows Registry Editor Version "
           "5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        << "\"Pitch\"=hex:00,00,00,00,00,00,00,00\r\n\"Roll\"=hex:00,00,00,00,00,00,00,00\r\n"
        << "\"Turn\"=hex:00,00,00,00,00,00,00,00\r\n\"FocalLength\"=hex:00,00,00,00,00,00,5e,40\r\n"
        << "\"DateTime\"=hex:00,00,00,00,00,00,e0,40\r\n\"RunOnce\"=\"0\"\r\n"
        // The stored zone is the listed one: opening the dialog turns no globe.
        << "\"Location\"=\""
        << (RealLists ? "(GMT -03:00) Sao Paulo, Brazil" : "(GMT -03:00) City 009, Country")
        << "\"\r\n\"GMT\"=\"-3\"\r\n";
    setenv("HOME", Scratch.c_str(), 1);
    setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
    std::filesystem::current_path(Work);
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    RealLists = ArgumentCount > 1 && std::string(Arguments[1]) == "--real-lists";
    PrepareFolders();
    TZentavoApplication Application(ArgumentCount, Arguments);
    Platform::TServices& Services = Platform::LinuxServices();
    Twatch Watch(Services, 0);
    QTest::qWait(500);

    // The floor: the same double click on the moon opening an empty borderless
    // dialog of the same size, painted the same way.
    std::vector<double> Floor, Clock;
    const std::function<void()> OpenSetUp = Watch.Moon->OnDblClick;
    for (int Run = 0; Run < Runs; ++Run) {
        QElapsedTimer Timer;
        double Painted = 0;
        Watch.Moon->OnDblClick = [&] {
            QDialog Empty(nullptr, Qt::FramelessWindowHint);
            Empty.resize(358, 430);
            TFirstPaint Probe(Empty, Timer, Painted);
            Empty.exec();
        };
        Timer.start();
        QTest::mouseDClick(Watch.Moon, Qt::LeftButton);
        Floor.push_back(Painted);
        QTest::qWait(20);
    }
    Watch.Moon->OnDblClick = OpenSetUp;
    for (int Run = 0; Run < Runs; ++Run) {
        QElapsedTimer Timer;
        double Painted = 0;
        std::unique_ptr<TFirstPaint> Probe;
        // The dialog exists once the double click's handler has made it.
        QTimer::singleShot(0, [&] {
            if (auto* Dialog = qobject_cast<TFrm_SetUp*>(QApplication::activeModalWidget()))
                Probe = std::make_unique<TFirstPaint>(*Dialog, Timer, Painted);
        });
        Timer.start();
        QTest::mouseDClick(Watch.Moon, Qt::LeftButton);
        Clock.push_back(Painted);
        QTest::qWait(20);
    }

    // Where the time goes, on dialogs made apart from the window.
    std::vector<double> Make, Fill, Show, Skin;
    TQuietHost Host;
    for (int Run = 0; Run < Runs; ++Run) {
        QElapsedTimer Timer;
        Timer.start();
        auto* Dialog = new TFrm_SetUp(Services);
        Make.push_back(static_cast<double>(Timer.nsecsElapsed()) / 1e6);
        Timer.restart();
        TSetUpTransfer Transfer(*Watch.GMTSystem, *Services.Libraries, *Services.Clock, Host);
        Transfer.Load(*Dialog);
        Fill.push_back(static_cast<double>(Timer.nsecsElapsed()) / 1e6);
        double Painted = 0;
        Timer.restart();
        TFirstPaint Probe(*Dialog, Timer, Painted);
        Dialog->exec();
        Show.push_back(Painted);
        delete Dialog;
        // The show handler alone (pictures, skin, map, marker, colour key), on a dialog never shown.
        TFrm_SetUp Hidden(Services);
        Timer.restart();
        Hidden.FormShow(&Hidden);
        Skin.push_back(static_cast<double>(Timer.nsecsElapsed()) / 1e6);
    }

    // The moon greyed while the dialog is open: what its repaint costs the window.
    std::vector<double> Moon;
    for (int Run = 0; Run < Runs; ++Run) {
        QElapsedTimer Timer;
        Timer.start();
        Watch.Moon->setEnabled(false);
        QCoreApplication::processEvents();
        Watch.Moon->setEnabled(true);
        QCoreApplication::processEvents();
        Moon.push_back(static_cast<double>(Timer.nsecsElapsed()) / 1e6 / 2);
    }

    std::printf("setup dialog opening, median of %d runs (ms)%s\n", Runs,
                RealLists ? ", with the real zone, server and weather city lists" : "");
    std::printf("  the same to an empty dialog (floor)     %8.2f\n", Median(Floor));
    std::printf("  double click on the moon to first paint %8.2f   %.2fx the floor\n", Median(Clock),
                Median(Clock) / Median(Floor));
    std::printf("  of which: making the dialog (widgets)   %8.2f\n", Median(Make));
    std::printf("            filling it (600 zones, lists) %8.2f\n", Median(Fill));
    std::printf("            show to paint (skin, map)     %8.2f\n", Median(Show));
    std::printf("              of which the show handler   %8.2f   (pictures, skin, map, colour key)\n",
                Median(Skin));
    std::printf("  the moon's repaint when it is disabled  %8.2f\n", Median(Moon));
    Watch.close();
    return 0;
}
