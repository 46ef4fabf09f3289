#include "WindowTimers.h"

#include "app/ErrorReport.h"

#include <QMetaMethod>
#include <QTimer>

TWindowTimers::TWindowTimers(QObject& Owner) : FOwner(Owner) {}

unsigned TWindowTimers::Arm(unsigned Id, unsigned Interval, const std::string& Name)
{
    QMetaMethod Handler;
    const QString Wanted = QString::fromStdString(Name);
    const QMetaObject* Meta = FOwner.metaObject();
    for (int Index = 0; Index < Meta->methodCount(); ++Index) {
        const QMetaMethod Method = Meta->method(Index);
        if (Method.parameterCount() == 0 && Method.methodType() == QMetaMethod::Slot &&
            Method.access() == QMetaMethod::Public &&
            QString::fromLatin1(Method.name()).compare(Wanted, Qt::CaseInsensitive) == 0) {
            Handler = Method;
            break;
        }
    }
    QTimer*& Timer = FTimers[Id];
    delete Timer;
    Timer = new QTimer(&FOwner);
    Timer->setObjectName(QStringLiteral("Timer%1").arg(Id));
    Timer->setInterval(static_cast<int>(Interval));
    if (Handler.isValid()) {
        QObject* Owner = &FOwner;
        QObject::connect(Timer, &QTimer::timeout, Owner, [Owner, Handler] {
            RunGuarded([&] { Handler.invoke(Owner, Qt::DirectConnection); });
        });
    }
    Timer->start();
    return Id == 0 ? 1 : Id;
}

void TWindowTimers::Kill(unsigned Id)
{
    const auto Found = FTimers.find(Id);
    if (Found != FTimers.end())
        Found->second->stop();
}

void TWindowTimers::KillAll()
{
    for (auto& [Id, Timer] : FTimers)
        Timer->stop();
}

bool TWindowTimers::IsArmed(unsigned Id) const
{
    const auto Found = FTimers.find(Id);
    return Found != FTimers.end() && Found->second->isActive();
}

int TWindowTimers::Interval(unsigned Id) const
{
    const auto Found = FTimers.find(Id);
    return Found == FTimers.end() ? -1 : Found->second->interval();
}
