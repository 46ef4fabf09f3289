#include "WeatherCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimeZone>

#include <cstring>

namespace {

QString EntryBase(const QString& Url)
{
    const QByteArray Hash =
        QCryptographicHash::hash(Url.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    return TWeatherCache::Folder() + QLatin1Char('/') + QString::fromLatin1(Hash);
}

bool MakeFolder()
{
    const QString Path = TWeatherCache::Folder();
    if (!QDir().mkpath(Path))
        return false;
    return QFile::setPermissions(Path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool WritePrivate(const QString& FileName, const QByteArray& Content)
{
    QSaveFile File(FileName);
    if (!File.open(QIODevice::WriteOnly))
        return false;
    File.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (File.write(Content) != Content.size())
        return false;
    return File.commit();
}

QByteArray ReadSmall(const QString& FileName, qint64 Limit)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly) || File.size() > Limit)
        return {};
    return File.readAll();
}

QString ShortText(const ZTShortText& Text)
{
    return QString::fromUtf8(Text.Characters, std::min<int>(Text.Length, sizeof Text.Characters));
}

void SetShortText(ZTShortText& Text, const QString& Value)
{
    const QByteArray Bytes = Value.toUtf8().left(255);
    std::memset(&Text, 0, sizeof Text);
    Text.Length = static_cast<uint8_t>(Bytes.size());
    std::memcpy(Text.Characters, Bytes.constData(), static_cast<size_t>(Bytes.size()));
}

} // namespace

QString TWeatherCache::Folder()
{
    QString Base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (Base.isEmpty() || !QDir::isAbsolutePath(Base))
        Base = QDir::homePath() + QStringLiteral("/.cache");
    return Base + QStringLiteral("/zentavo-3d/weather");
}

std::optional<TWeatherCache::TEntry> TWeatherCache::Load(const QString& Url)
{
    const QString Base = EntryBase(Url);
    const QJsonObject Meta =
        QJsonDocument::fromJson(ReadSmall(Base + QStringLiteral(".meta"), 64 * 1024)).object();
    // The hash names the file; the address inside tells a collision or a foreign file apart.
    if (Meta.value(QLatin1String("url")).toString() != Url)
        return std::nullopt;
    TEntry Entry;
    Entry.Body = ReadSmall(Base + QStringLiteral(".json"), 16 * 1024 * 1024);
    if (Entry.Body.isEmpty())
        return std::nullopt;
    Entry.Expires = QDateTime::fromSecsSinceEpoch(Meta.value(QLatin1String("expires")).toInteger(), Qt::UTC);
    Entry.LastModified = Meta.value(QLatin1String("lastModified")).toString();
    return Entry;
}

bool TWeatherCache::Store(const QString& Url, const TEntry& Entry)
{
    if (!MakeFolder())
        return false;
    const QString Base = EntryBase(Url);
    QJsonObject Meta;
    Meta.insert(QLatin1String("url"), Url);
    Meta.insert(QLatin1String("expires"), Entry.Expires.toSecsSinceEpoch());
    Meta.insert(QLatin1String("lastModified"), Entry.LastModified);
    // Body first: a meta file never points at a body that is not there yet.
    return WritePrivate(Base + QStringLiteral(".json"), Entry.Body) &&
           WritePrivate(Base + QStringLiteral(".meta"), QJsonDocument(Meta).toJson(QJsonDocument::Compact));
}

bool TWeatherCache::StoreLastRequest(const QString& WeatherCode, const ZTUserConnection& Connection)
{
    if (!MakeFolder())
        return false;
    // Where the proxy is, never who may use it: credentials stay in the clock's settings.
    QJsonObject Request;
    Request.insert(QLatin1String("code"), WeatherCode);
    Request.insert(QLatin1String("proxyServer"), ShortText(Connection.ProxyServer));
    Request.insert(QLatin1String("proxyPort"), ShortText(Connection.ProxyPort));
    const QString FileName = Folder() + QStringLiteral("/last-request.json");
    const QByteArray Content = QJsonDocument(Request).toJson(QJsonDocument::Compact);
    // Every fetch names the same city again and again: the disk only hears of a change.
    if (ReadSmall(FileName, 64 * 1024) == Content)
        return true;
    return WritePrivate(FileName, Content);
}

std::optional<QString> TWeatherCache::LastWeatherCode(ZTUserConnection& Connection)
{
    const QJsonObject Request =
        QJsonDocument::fromJson(ReadSmall(Folder() + QStringLiteral("/last-request.json"), 64 * 1024))
            .object();
    const QString Code = Request.value(QLatin1String("code")).toString();
    if (Code.isEmpty())
        return std::nullopt;
    std::memset(&Connection, 0, sizeof Connection);
    SetShortText(Connection.ProxyServer, Request.value(QLatin1String("proxyServer")).toString());
    SetShortText(Connection.ProxyPort, Request.value(QLatin1String("proxyPort")).toString());
    return Code;
}
