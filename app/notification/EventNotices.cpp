#include "EventNotices.h"

#include "state/DateTimeText.h"

#include <QCoreApplication>

namespace {

std::string Text(const char* Source)
{
    return QCoreApplication::translate("TEventNotices", Source).toStdString();
}

// The kinds as the setup dialog names them.
std::string KindName(std::uint8_t Task)
{
    switch (Task) {
    case 0:
        return Text(QT_TRANSLATE_NOOP("TEventNotices", "Alarme"));
    case 1:
        return Text(QT_TRANSLATE_NOOP("TEventNotices", "Desligar"));
    case 2:
        return Text(QT_TRANSLATE_NOOP("TEventNotices", "Tarefa"));
    default:
        return Text(QT_TRANSLATE_NOOP("TEventNotices", "Evento"));
    }
}

} // namespace

TEventNotices::TEventNotices(Platform::TNotifications& Notifications, std::function<void()> StopAlarm,
                             std::string IconFile, QLocale Locale)
    : FNotifications(Notifications), FStopAlarm(std::move(StopAlarm)), FIconFile(std::move(IconFile)),
      FLocale(std::move(Locale))
{}

TEventNotices::~TEventNotices()
{
    // A "Parar" or "Cancelar" left on the desktop would do nothing once the clock is gone.
    AlarmEnded();
    if (FShutDownNotice != 0)
        FNotifications.Close(FShutDownNotice);
}

void TEventNotices::AlarmRinging(Platform::TDateTime Due)
{
    Platform::TNotice Notice;
    Notice.Summary = Text(QT_TRANSLATE_NOOP("TEventNotices", "Alarme"));
    Notice.Body = DateTimeText(Due, FLocale).toStdString();
    Notice.Icon = FIconFile;
    // Critical: the desktop keeps it in sight even under a full-screen window.
    Notice.Urgency = Platform::TNotice::TUrgency::Critical;
    Notice.Persistent = true;
    Notice.Actions = {{StopAction, Text(QT_TRANSLATE_NOOP("TEventNotices", "Parar"))}};
    const auto Id = FNotifications.Show(Notice, [this](const std::string& Action) {
        if (Action == StopAction && FStopAlarm)
            FStopAlarm();
    });
    std::lock_guard Lock(FLock);
    FAlarmNotice = Id;
}

void TEventNotices::AlarmEnded()
{
    Platform::TNotifications::TNoticeId Id = 0;
    {
        std::lock_guard Lock(FLock);
        std::swap(Id, FAlarmNotice);
    }
    if (Id != 0)
        FNotifications.Close(Id);
}

void TEventNotices::ApplicationStarted(const std::string& CommandLine)
{
    Platform::TNotice Notice;
    Notice.Summary = Text(QT_TRANSLATE_NOOP("TEventNotices", "Tarefa iniciada"));
    Notice.Body = CommandLine;
    Notice.Icon = FIconFile;
    FNotifications.Show(Notice);
}

void TEventNotices::SetOnCallOffShutDown(std::function<void(Platform::TDateTime)> Handler)
{
    FCallOffShutDown = std::move(Handler);
}

void TEventNotices::ShutDownComing(Platform::TDateTime Due)
{
    {
        std::lock_guard Lock(FLock);
        if (FShutDownDue == Due && FCalledOffDue != Due)
            return;
        FShutDownDue = Due;
        FCalledOffDue.reset();
    }
    Platform::TNotice Notice;
    Notice.Summary = Text(QT_TRANSLATE_NOOP("TEventNotices", "O computador será desligado em breve"));
    Notice.Body = QCoreApplication::translate("TEventNotices", "Evento agendado do Zentavo para %1")
                      .arg(DateTimeText(Due, FLocale))
                      .toStdString();
    Notice.Icon = FIconFile;
    Notice.Urgency = Platform::TNotice::TUrgency::Critical;
    Notice.Persistent = true;
    Notice.Actions = {{CancelAction, Text(QT_TRANSLATE_NOOP("TEventNotices", "Cancelar"))}};
    const auto Id = FNotifications.Show(Notice, [this, Due](const std::string& Action) {
        if (Action != CancelAction)
            return;
        Platform::TNotifications::TNoticeId Shown = 0;
        {
            std::lock_guard Lock(FLock);
            FCalledOffDue = Due;
            if (FShutDownDue == Due)
                std::swap(Shown, FShutDownNotice);
        }
        if (Shown != 0)
            FNotifications.Close(Shown);
        if (FCallOffShutDown)
            FCallOffShutDown(Due);
    });
    std::lock_guard Lock(FLock);
    FShutDownNotice = Id;
}

bool TEventNotices::ShutDownCalledOff(Platform::TDateTime Due) const
{
    std::lock_guard Lock(FLock);
    return FCalledOffDue == Due;
}

void TEventNotices::ShuttingDown()
{
    Platform::TNotifications::TNoticeId Warning = 0;
    {
        std::lock_guard Lock(FLock);
        std::swap(Warning, FShutDownNotice);
    }
    if (Warning != 0)
        FNotifications.Close(Warning);
    Platform::TNotice Notice;
    Notice.Summary = Text(QT_TRANSLATE_NOOP("TEventNotices", "Desligando o computador"));
    Notice.Body = Text(QT_TRANSLATE_NOOP("TEventNotices", "Evento agendado do Zentavo"));
    Notice.Icon = FIconFile;
    Notice.Urgency = Platform::TNotice::TUrgency::Critical;
    FNotifications.Show(Notice);
}

void TEventNotices::EventMissed(std::uint8_t Task, Platform::TDateTime Due)
{
    Platform::TNotice Notice;
    Notice.Summary = Text(QT_TRANSLATE_NOOP("TEventNotices", "Evento perdido"));
    Notice.Body = KindName(Task) + ": " + DateTimeText(Due, FLocale).toStdString();
    Notice.Icon = FIconFile;
    // Told once and gone: the desktop keeps it in its list.
    FNotifications.Show(Notice);
}
