// images.so: the clock's pictures and its tray icon.
//
// GetPicture serves the picture named by the clock from the working folder's
// pictures/ folder: NAME.bmp or NAME.png (the name as asked, then in lower
// case). An unknown picture leaves the bitmap empty.
#include "TrayIcon.h"
#include "zentavo_companion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

ZT_EXPORT ZTGetPictureFunction GetPicture;
ZT_EXPORT ZTSetTaskBarIconFunction SetTaskBarIcon;

namespace {

QString FindPicture(const QString& Name)
{
    const QDir Pictures(QDir::current().filePath(QStringLiteral("pictures")));
    for (const QString& Candidate : {Name, Name.toLower()})
        for (const char* Extension : {".bmp", ".png"}) {
            const QString Path = Pictures.filePath(Candidate + QLatin1String(Extension));
            if (QFileInfo(Path).isFile())
                return Path;
        }
    return {};
}

// Picture names are plain words; anything that could reach outside pictures/ is no picture.
bool IsPlainName(const QString& Name)
{
    if (Name.isEmpty())
        return false;
    for (const QChar Character : Name)
        if (!Character.isLetterOrNumber() && Character != QLatin1Char('_'))
            return false;
    return true;
}

} // namespace

void GetPicture(ZTBitmap** PictureBitmap, const char* Name)
{
    try {
        if (PictureBitmap == nullptr || *PictureBitmap == nullptr || Name == nullptr)
            return;
        const QString Picture = QString::fromUtf8(Name);
        if (!IsPlainName(Picture))
            return;
        const QString Path = FindPicture(Picture);
        if (!Path.isEmpty())
            (*PictureBitmap)->Methods->LoadFromFile(*PictureBitmap, QFile::encodeName(Path).constData());
    } catch (...) {
        // Nothing may cross the C interface; an unreadable picture is no picture.
    }
}

void SetTaskBarIcon(uintptr_t, int32_t Identifier, int32_t Operation, ZTPopupMenu* Menu, const char* IconName,
                    const char* ToolTip)
{
    try {
        if (Operation == 0)
            TTrayIcon::Show(Identifier, Menu, QString::fromUtf8(IconName ? IconName : "CLOCK"),
                            QString::fromUtf8(ToolTip ? ToolTip : ""));
        else if (Operation == 2)
            TTrayIcon::Remove(Identifier);
    } catch (...) {
    }
}
