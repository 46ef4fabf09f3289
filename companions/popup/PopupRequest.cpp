#include "PopupRequest.h"

#include <QList>

QByteArray TPopupRequest::ToLine() const
{
    QByteArray Line = "open";
    for (const int Value : {Number, Top, Left, Width, Height, Delay, Style})
        Line += ' ' + QByteArray::number(Value);
    Line += ' ' + Link.toEncoded().toBase64();
    Line += ' ' + Caption.toUtf8().toBase64();
    // An empty caption still needs its field.
    if (Caption.isEmpty())
        Line += '=';
    return Line + '\n';
}

std::optional<TPopupRequest> TPopupRequest::FromLine(const QByteArray& Line)
{
    const QList<QByteArray> Fields = Line.trimmed().split(' ');
    if (Fields.size() != 10 || Fields[0] != "open")
        return std::nullopt;
    TPopupRequest Request;
    int* const Numbers[] = {&Request.Number, &Request.Top,   &Request.Left, &Request.Width,
                            &Request.Height, &Request.Delay, &Request.Style};
    for (int Index = 0; Index < 7; ++Index) {
        bool Valid = false;
        *Numbers[Index] = Fields[Index + 1].toInt(&Valid);
        if (!Valid)
            return std::nullopt;
    }
    const auto Link = QByteArray::fromBase64Encoding(Fields[8], QByteArray::AbortOnBase64DecodingErrors);
    const auto Caption = QByteArray::fromBase64Encoding(Fields[9] == "=" ? QByteArray() : Fields[9],
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!Link || !Caption)
        return std::nullopt;
    Request.Link = QUrl::fromEncoded(*Link, QUrl::StrictMode);
    Request.Caption = QString::fromUtf8(*Caption);
    if (!Request.Link.isValid())
        return std::nullopt;
    return Request;
}
