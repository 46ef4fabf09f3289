#include "WatchFixture.h"

#include "app/ErrorReport.h"
#include "app/FlatImageButton.h"
#include "app/language/Translations.h"
#include "scene/qt/GLSceneViewer.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <filesystem>
#include <stdexcept>

namespace {

// A window with extra published handlers, to watch timers call them by name.
class TRecordingWatch : public Twatch
{
    Q_OBJECT

public:
    using Twatch::Twatch;
    int Calls = 0;

public slots:
    void zt_CountCall() { ++Calls; }
    void zt_FailingCall() { throw std::runtime_error("falhou de propósito"); }
};

class WatchTest : public TWatchFixture
{
protected:
    TRecordingWatch& StartRecording()
    {
        auto* Recording = new TRecordingWatch(Services, 0);
        Window.reset(Recording);
        return *Recording;
    }

    QStringList ServiceCaptions() const
    {
        QStringList Captions;
        for (QAction* Item : Window->MenuServices->actions())
            Captions << (Item->isSeparator() ? QStringLiteral("-") : Item->text());
        return Captions;
    }
};

} // namespace

TEST_F(WatchTest, TheWindowIsTheDesignedBorderlessGadget)
{
    SeedStore();
    Twatch& Watch = Start();
    EXPECT_EQ(Watch.windowTitle(), QStringLiteral("watch"));
    EXPECT_EQ(Watch.size(), QSize(329, 345));
    EXPECT_TRUE(Watch.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Watch.palette().color(QPalette::Window), QColor(166, 202, 240));
    EXPECT_EQ(Watch.ScreenView->geometry(), QRect(0, 0, 328, 344));
    EXPECT_EQ(Watch.Moon->geometry(), QRect(1, 1, 32, 32));
    EXPECT_TRUE(Watch.isVisible());
    ASSERT_EQ(Desktop.Calls().size(), 1u);
    EXPECT_EQ(Desktop.Calls().front().Window, &Watch);
}

TEST_F(WatchTest, ThePopupMenuHasItsDesignedItemsAndTags)
{
    SeedStore();
    Twatch& Watch = Start();
    QStringList Captions;
    QList<int> Tags;
    for (QAction* Item : Watch.PopupMenu->actions()) {
        Captions << (Item->isSeparator() ? QStringLiteral("-") : Item->text());
        Tags << Item->data().toInt();
    }
    EXPECT_EQ(Captions, (QStringList{"Configurações", "Serviços", "&Ajuda", "&Sobre...", "-", "&Sair"}));
    EXPECT_EQ(Tags, (QList<int>{0, 1, 5, 6, 0, 7}));
    EXPECT_EQ(Watch.WeatherChannel->data().toInt(), 2);
    EXPECT_EQ(Watch.WeatherForecast->data().toInt(), 3);
    EXPECT_EQ(Watch.Moon->PopupMenu(), Watch.PopupMenu);
}

TEST_F(WatchTest, InEnglishTheMenuTheMoonsHintAndTheDefaultDocumentsItemsAreEnglish)
{
    SeedStore();
    const TTranslations English("en");
    Twatch& Watch = Start();
    QStringList Captions;
    for (QAction* Item : Watch.PopupMenu->actions())
        Captions << (Item->isSeparator() ? QStringLiteral("-") : Item->text());
    EXPECT_EQ(Captions, (QStringList{"Settings", "Services", "&Help", "&About...", "-", "&Quit"}));
    EXPECT_EQ(ServiceCaptions(), (QStringList{"Weather channel", "Weather forecast", "-",
                                              "Exact time around the world", "Day and night on the map"}));
    EXPECT_TRUE(Watch.Moon->Hint().startsWith(QStringLiteral("Drag the moon")))
        << Watch.Moon->Hint().toStdString();
    EXPECT_EQ(Watch.PopupMenu->actions().value(1)->data().toInt(), 1) << "the items keep their tags";
}

TEST_F(WatchTest, TheDocumentLabelsTheWeatherItemsAndAddsOneItemPerService)
{
    SeedStore();
    WriteConfiguration(R"(<?xml version="1.0" encoding="UTF-8"?>
<zentavo>
  <library>
    <weather><channel font="Canal do Tempo" link="http://127.0.0.1/"/><forecast font="Previsão"/></weather>
    <popup><shopwindow elapse="2"/></popup>
  </library>
  <services>
    <a id="service_one" link="http://127.0.0.1/1" caption="Um"/>
    <!-- a comment gives no item -->
    <b id="service_two" link="http://127.0.0.1/2"/>
    <c id="9bad" link="http://127.0.0.1/3" caption="Inválido"/>
    <d id="plain" link="http://127.0.0.1/4" caption="Quatro"/>
    <e id="service_five" link="http://127.0.0.1/5" caption="Cinco"/>
  </services>
</zentavo>)");
    Twatch& Watch = Start();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(ServiceCaptions(), (QStringList{"Canal do Tempo", "Previsão", "-", "Um", "Quatro", "Cinco"}));
    const QList<QAction*> Items = Watch.MenuServices->actions();
    EXPECT_EQ(Items[3]->objectName(), QStringLiteral("service_one"));
    EXPECT_EQ(Items[3]->toolTip(), QStringLiteral("http://127.0.0.1/1"));
    EXPECT_EQ(Items[3]->data().toInt(), -1);
    EXPECT_EQ(Watch.TimerInterval(2), 120000) << "an elapse of 2 minutes";
    EXPECT_EQ(Watch.TimerInterval(1), 30000);
    EXPECT_TRUE(Watch.IsTimerArmed(1));
    EXPECT_TRUE(Watch.IsTimerArmed(2));
}

TEST_F(WatchTest, AMissingDocumentShowsTheMessageAndEndsStartUpAtTheLibrarySwap)
{
    SeedStore();
    std::filesystem::remove("sysConf.xml");
    Twatch& Watch = Start();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0], QStringLiteral("Erro ao carregar configurações."));
    EXPECT_NE(Errors[1], Errors[0]) << "the failed document read is reported on its own";
    EXPECT_EQ(ServiceCaptions(), (QStringList{"Weather Channel", "Weather Forecast", "-"}));
    EXPECT_TRUE(Watch.isVisible());
    EXPECT_FALSE(Watch.IsTimerArmed(1));
    EXPECT_FALSE(Watch.IsTimerArmed(2));
}

TEST_F(WatchTest, ADocumentWithoutAUsableElapseLeavesOnlyTimerTwoUnarmed)
{
    SeedStore();
    WriteConfiguration(R"(<zentavo><library><weather><channel font="C"/><forecast font="F"/></weather>
        <popup><shopwindow elapse="logo"/></popup></library></zentavo>)");
    Twatch& Watch = Start();
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_TRUE(Watch.IsTimerArmed(1));
    EXPECT_FALSE(Watch.IsTimerArmed(2));
}

TEST_F(WatchTest, TimersFindHandlersByNameWhateverTheLetterCase)
{
    SeedStore();
    TRecordingWatch& Watch = StartRecording();
    Watch.zt_SetTimer(7, 10, "ZT_COUNTCALL");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Watch.Calls >= 2; }, 2000));
}

TEST_F(WatchTest, ATimerWithAnUnknownNameIsArmedAndDoesNothing)
{
    SeedStore();
    TRecordingWatch& Watch = StartRecording();
    EXPECT_NE(Watch.zt_SetTimer(8, 5, "zt_NoSuchHandler"), 0u);
    EXPECT_TRUE(Watch.IsTimerArmed(8));
    QTest::qWait(50);
    EXPECT_EQ(Watch.Calls, 0);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WatchTest, ReArmingATimerReplacesItsIntervalAndHandler)
{
    SeedStore();
    TRecordingWatch& Watch = StartRecording();
    Watch.zt_SetTimer(9, 5, "zt_CountCall");
    Watch.zt_SetTimer(9, 60000, "zt_NoSuchHandler");
    EXPECT_EQ(Watch.TimerInterval(9), 60000);
    QTest::qWait(60);
    EXPECT_EQ(Watch.Calls, 0);
}

TEST_F(WatchTest, AnErrorInATimerHandlerIsReportedAndTheProgramGoesOn)
{
    SeedStore();
    TRecordingWatch& Watch = StartRecording();
    Watch.zt_SetTimer(10, 5, "zt_FailingCall");
    Watch.zt_SetTimer(11, 5, "zt_CountCall");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Errors.size() >= 2 && Watch.Calls >= 2; }, 2000));
    EXPECT_EQ(Errors.front(), QStringLiteral("falhou de propósito"));
}

TEST_F(WatchTest, TheTrayIconShowsTheArmedEventWithItsDateAndTime)
{
    SeedStore();
    StoreText("Waiting", "1");
    InstallPicturesLibrary();
    Twatch& Watch = Start();
    // Loading with an armed event shows the icon without removing it first.
    ASSERT_EQ(TrayRequests.size(), 1u);
    EXPECT_EQ(TrayRequests[0].Operation, 0);
    EXPECT_EQ(TrayRequests[0].Identifier, 193);
    EXPECT_TRUE(TrayRequests[0].HasMenu);
    EXPECT_EQ(TrayRequests[0].IconName, "CLOCK");
    const std::string Tip = TrayRequests[0].ToolTip;
    EXPECT_EQ(Tip.rfind("Zentavo agendou um evento para\r", 0), 0u) << Tip;
    EXPECT_NE(Tip.find("07:30:00"), std::string::npos) << Tip;

    TrayRequests.clear();
    Watch.zt_SaveSettings();
    ASSERT_EQ(TrayRequests.size(), 2u) << "a save removes the icon first";
    EXPECT_EQ(TrayRequests[0].Operation, 2);
    EXPECT_FALSE(TrayRequests[0].HasMenu);
    EXPECT_EQ(TrayRequests[0].ToolTip, "");
    EXPECT_EQ(TrayRequests[1].Operation, 0);

    TrayRequests.clear();
    Watch.GMTSystem->DateTime = 46000; // midnight: the date only
    Watch.zt_SaveSettings();
    ASSERT_EQ(TrayRequests.size(), 2u);
    EXPECT_EQ(TrayRequests[1].ToolTip.find(':'), std::string::npos) << TrayRequests[1].ToolTip;

    TrayRequests.clear();
    Watch.GMTSystem->Waiting = false;
    Watch.zt_SaveSettings();
    ASSERT_EQ(TrayRequests.size(), 2u);
    EXPECT_EQ(TrayRequests[0].Operation, 2);
    EXPECT_EQ(TrayRequests[1].Operation, 2);
}

TEST_F(WatchTest, SairSavesTheSettingsAndClosesTheWindow)
{
    SeedStore();
    Twatch& Watch = Start();
    Watch.move(15, 25);
    Watch.Planetarium->SetTurnAngle(33);
    Watch.Menu_Close->trigger();
    EXPECT_FALSE(Watch.isVisible());
    EXPECT_EQ(StoredText("Top"), "25");
    EXPECT_EQ(StoredText("Left"), "15");
    EXPECT_DOUBLE_EQ(StoredFloat("Turn"), 33.0);
    EXPECT_FALSE(Watch.IsTimerArmed(1));
}

TEST_F(WatchTest, TheMoonRecordsWhereItWasPressedAndMovesTheWindowOnlyWithCtrlAndTheLeftButton)
{
    SeedStore();
    Twatch& Watch = Start();
    QTest::mousePress(Watch.Moon, Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
    EXPECT_EQ(Watch.DragOffsetX, 5);
    EXPECT_EQ(Watch.DragOffsetY, 6);
    const QPoint Before = Watch.pos();
    QMouseEvent ShiftedDrag(QEvent::MouseMove, QPointF(9, 9), QPointF(400, 400), Qt::NoButton, Qt::LeftButton,
                            Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(Watch.Moon, &ShiftedDrag);
    EXPECT_EQ(Watch.pos(), Before);
}

namespace {

// Frames drawn from now until no new one came for a while.
std::int64_t FramesAfterSettling(const Scene::TGLSceneViewer& View, std::int64_t Before)
{
    QElapsedTimer Quiet;
    QElapsedTimer Total;
    Quiet.start();
    Total.start();
    std::int64_t Frames = View.Buffer().RenderedFrames();
    while (Quiet.elapsed() < 400 && Total.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
        if (View.Buffer().RenderedFrames() != Frames) {
            Frames = View.Buffer().RenderedFrames();
            Quiet.restart();
        }
    }
    return Frames - Before;
}

} // namespace

TEST_F(WatchTest, TheGlobeDrawsOneFrameToAppearAndOneFramePerSceneChange)
{
    SeedStore();
    InstallPicturesLibrary();
    Twatch& Watch = Start();
    const Scene::TGLSceneViewer& View = *Watch.ScreenView;
    // The worker's passes reset the frame statistics: it must be at rest first.
    ASSERT_TRUE(WorkerPasses());
    ASSERT_TRUE(QTest::qWaitFor([&] { return View.Buffer().RenderedFrames() > 0; }, 15000))
        << View.LastError();
    EXPECT_EQ(FramesAfterSettling(View, 0), 1) << "frames drawn before and while the window first showed";

    // Several changes between two paints: one frame.
    std::int64_t Frames = View.Buffer().RenderedFrames();
    Watch.Globe->Horas->SetTurnAngle(10);
    Watch.Globe->Horas->SetTurnAngle(20);
    Watch.Globe->Horas->SetTurnAngle(30);
    Watch.Globe->Minutos->SetTurnAngle(-60);
    EXPECT_EQ(FramesAfterSettling(View, Frames), 1);

    // One change: one frame; each in turn.
    for (float Angle : {45.0f, 60.0f, 75.0f}) {
        Frames = View.Buffer().RenderedFrames();
        Watch.Globe->Horas->SetTurnAngle(Angle);
        EXPECT_EQ(FramesAfterSettling(View, Frames), 1) << "turn to " << Angle;
    }

    // Setting what is already there changes nothing and draws nothing.
    Frames = View.Buffer().RenderedFrames();
    Watch.Globe->Horas->SetTurnAngle(75);
    EXPECT_EQ(FramesAfterSettling(View, Frames), 0);
}

#include "WatchTest.moc"
