#include "WeatherDownload.h"

#include "ProxySettings.h"

#include <curl/curl.h>

#include <QLocale>
#include <QTimeZone>

#include <memory>
#include <string>

namespace {

struct TTransfer
{
    QByteArray Body;
    bool TooLarge = false;
    QString ExpiresHeader;
    QString CacheControlHeader;
    QString DateHeader;
    QString LastModifiedHeader;
};

size_t WriteBody(char* Data, size_t Size, size_t Count, void* Context)
{
    auto* Transfer = static_cast<TTransfer*>(Context);
    const size_t Bytes = Size * Count;
    if (Transfer->Body.size() + static_cast<qint64>(Bytes) > TWeatherDownload::MaximumBodySize) {
        Transfer->TooLarge = true;
        return 0; // aborts the transfer
    }
    Transfer->Body.append(Data, static_cast<qsizetype>(Bytes));
    return Bytes;
}

size_t ReadHeader(char* Data, size_t Size, size_t Count, void* Context)
{
    auto* Transfer = static_cast<TTransfer*>(Context);
    const size_t Bytes = Size * Count;
    const QString Line = QString::fromLatin1(Data, static_cast<qsizetype>(Bytes)).trimmed();
    // A new status line (after a redirect or a 100) starts a new set of headers.
    if (Line.startsWith(QLatin1String("HTTP/"))) {
        Transfer->ExpiresHeader.clear();
        Transfer->CacheControlHeader.clear();
        Transfer->DateHeader.clear();
        Transfer->LastModifiedHeader.clear();
        return Bytes;
    }
    const qsizetype Colon = Line.indexOf(QLatin1Char(':'));
    if (Colon <= 0)
        return Bytes;
    const QString Name = Line.left(Colon).trimmed().toLower();
    const QString Value = Line.mid(Colon + 1).trimmed();
    if (Name == QLatin1String("expires"))
        Transfer->ExpiresHeader = Value;
    else if (Name == QLatin1String("cache-control"))
        Transfer->CacheControlHeader = Value;
    else if (Name == QLatin1String("date"))
        Transfer->DateHeader = Value;
    else if (Name == QLatin1String("last-modified"))
        Transfer->LastModifiedHeader = Value;
    return Bytes;
}

QDateTime ParseHttpDate(const QString& Text)
{
    // RFC 7231's IMF-fixdate, the only form servers send today.
    QDateTime Time = QLocale::c().toDateTime(Text, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (Time.isValid())
        Time.setTimeSpec(Qt::UTC);
    return Time;
}

QDateTime ExpiryOf(const TTransfer& Transfer)
{
    // max-age wins over Expires, as in HTTP caching.
    for (const QString& Directive : Transfer.CacheControlHeader.split(QLatin1Char(','))) {
        const QString Trimmed = Directive.trimmed().toLower();
        if (Trimmed.startsWith(QLatin1String("max-age="))) {
            bool Ok = false;
            const qint64 Seconds = Trimmed.mid(8).toLongLong(&Ok);
            if (Ok && Seconds >= 0)
                return QDateTime::currentDateTimeUtc().addSecs(Seconds);
        }
    }
    if (Transfer.ExpiresHeader.isEmpty())
        return {};
    const QDateTime Expires = ParseHttpDate(Transfer.ExpiresHeader);
    if (!Expires.isValid())
        return QDateTime::currentDateTimeUtc(); // an unreadable Expires means already expired
    // Judge the expiry on the server's clock when it sent one, so a skewed local clock does not matter.
    const QDateTime ServerNow = ParseHttpDate(Transfer.DateHeader);
    if (ServerNow.isValid())
        return QDateTime::currentDateTimeUtc().addSecs(ServerNow.secsTo(Expires));
    return Expires;
}

struct TCurlDeleter
{
    void operator()(CURL* Handle) const { curl_easy_cleanup(Handle); }
};
struct TListDeleter
{
    void operator()(curl_slist* List) const { curl_slist_free_all(List); }
};

} // namespace

const char* TWeatherDownload::UserAgent()
{
    return "Zentavo-3D/1.0 weather.so (desktop world clock for Linux; libcurl)";
}

TWeatherDownload::TResult TWeatherDownload::Get(const QString& Url, const ZTUserConnection& Connection,
                                                int TimeoutMilliseconds, const QString& IfModifiedSince)
{
    TResult Result;
    std::unique_ptr<CURL, TCurlDeleter> Curl(curl_easy_init());
    if (!Curl)
        return Result;
    CURL* Handle = Curl.get();
    TTransfer Transfer;
    const QByteArray UrlBytes = Url.toUtf8();
    curl_easy_setopt(Handle, CURLOPT_URL, UrlBytes.constData());
    curl_easy_setopt(Handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(Handle, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(Handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(Handle, CURLOPT_MAXREDIRS, 3L);
    curl_easy_setopt(Handle, CURLOPT_USERAGENT, UserAgent());
    curl_easy_setopt(Handle, CURLOPT_ACCEPT_ENCODING, ""); // whatever libcurl can decode
    curl_easy_setopt(Handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(Handle, CURLOPT_TIMEOUT_MS, static_cast<long>(TimeoutMilliseconds));
    curl_easy_setopt(Handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::min(TimeoutMilliseconds, 4000)));
    curl_easy_setopt(Handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MaximumBodySize));
    curl_easy_setopt(Handle, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(Handle, CURLOPT_WRITEDATA, &Transfer);
    curl_easy_setopt(Handle, CURLOPT_HEADERFUNCTION, &ReadHeader);
    curl_easy_setopt(Handle, CURLOPT_HEADERDATA, &Transfer);

    // A proxy that cannot be reached as set must not turn into a direct connection.
    if (!TProxySettings::FromRecord(Connection).ApplyTo(Handle))
        return Result;

    std::unique_ptr<curl_slist, TListDeleter> Headers;
    curl_slist* List = curl_slist_append(nullptr, "Accept: application/json");
    std::string Conditional;
    if (!IfModifiedSince.isEmpty()) {
        Conditional = "If-Modified-Since: " + IfModifiedSince.toStdString();
        List = curl_slist_append(List, Conditional.c_str());
    }
    Headers.reset(List);
    curl_easy_setopt(Handle, CURLOPT_HTTPHEADER, Headers.get());

    if (curl_easy_perform(Handle) != CURLE_OK || Transfer.TooLarge)
        return Result;
    long Status = 0;
    curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &Status);
    Result.Expires = ExpiryOf(Transfer);
    Result.LastModified = Transfer.LastModifiedHeader;
    if (Status == 304 && !IfModifiedSince.isEmpty()) {
        Result.Succeeded = true;
        Result.NotModified = true;
    } else if (Status == 200 || Status == 203) {
        // 203 is how the service announces a deprecated product that still answers.
        Result.Succeeded = true;
        Result.Body = std::move(Transfer.Body);
    }
    return Result;
}
