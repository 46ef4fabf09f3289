#include "TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QThread>

#include <dlfcn.h>

namespace {

// One icon per identifier; the clock uses only 193.
TTrayIcon* Shown = nullptr;

// Runs Work on the application's thread and waits for it.
template <typename TWork> void OnApplicationThread(TWork Work)
{
    QCoreApplication* Application = QCoreApplication::instance();
    if (Application == nullptr)
        return;
    if (QThread::currentThread() == Application->thread())
        Work();
    else
        QMetaObject::invokeMethod(Application, Work, Qt::BlockingQueuedConnection);
}

QIcon LoadIcon(const QString& Name)
{
    for (const char* Extension : {".png", ".bmp"}) {
        const QString Path =
            QDir::current().filePath(QStringLiteral("pictures/") + Name + QLatin1String(Extension));
        if (QFileInfo::exists(Path))
            return QIcon(Path);
    }
    // No picture installed: a plain clock face keeps the icon recognisable.
    QPixmap Face(32, 32);
    Face.fill(Qt::transparent);
    QPainter Painter(&Face);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setBrush(QColor(250, 230, 160));
    Painter.setPen(QPen(QColor(90, 60, 0), 2));
    Painter.drawEllipse(2, 2, 28, 28);
    Painter.drawLine(16, 16, 16, 7);
    Painter.drawLine(16, 16, 23, 16);
    return QIcon(Face);
}

} // namespace

TTrayIcon::TTrayIcon(int Identifier, ZTPopupMenu* Menu, const QString& IconName, const QString& ToolTip)
    : QObject(QCoreApplication::instance()), FIdentifier(Identifier)
{
    setObjectName(QStringLiteral("ZentavoTrayIcon"));
    Dl_info Self = {};
    if (dladdr(reinterpret_cast<void*>(&TTrayIcon::Show), &Self) != 0 && Self.dli_fname != nullptr)
        FSelfReference = dlopen(Self.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    FIcon = new QSystemTrayIcon(this);
    FIcon->setObjectName(QStringLiteral("ZentavoTrayIcon"));
    connect(FIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason Reason) { OnActivated(static_cast<int>(Reason)); });
    Update(Menu, IconName, ToolTip);
}

TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::Update(ZTPopupMenu* Menu, const QString& IconName, const QString& ToolTip)
{
    FMenu = Menu;
    FIcon->setIcon(LoadIcon(IconName));
    // The clock separates the lines of its tip with a carriage return.
    QString Tip = ToolTip;
    Tip.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FIcon->setToolTip(Tip);
    FIcon->show();
}

void TTrayIcon::OnActivated(int Reason)
{
    if (FMenu == nullptr || Reason == QSystemTrayIcon::Unknown)
        return;
    const QPoint Where = QCursor::pos();
    FMenu->Methods->Popup(FMenu, Where.x(), Where.y());
}

void TTrayIcon::Show(int Identifier, ZTPopupMenu* Menu, const QString& IconName, const QString& ToolTip)
{
    OnApplicationThread([=] {
        if (Shown != nullptr && Shown->FIdentifier == Identifier)
            Shown->Update(Menu, IconName, ToolTip);
        else if (Shown == nullptr)
            Shown = new TTrayIcon(Identifier, Menu, IconName, ToolTip);
    });
}

void TTrayIcon::Remove(int Identifier)
{
    OnApplicationThread([=] {
        if (Shown == nullptr || Shown->FIdentifier != Identifier)
            return;
        TTrayIcon* Icon = Shown;
        Shown = nullptr;
        void* Reference = Icon->FSelfReference;
        delete Icon;
        // The clock still holds the library for this call, so this cannot unload the code running now.
        if (Reference != nullptr)
            dlclose(Reference);
    });
}
