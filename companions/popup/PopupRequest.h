#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// One web window asked of the popup program: a line on its input, so that
// any caption or address travels whole (texts are base64 of UTF-8).
struct TPopupRequest
{
    int Number = 0; // the program answers "shown Number" or "outside Number"
    QUrl Link;
    QString Caption;
    int Top = 0, Left = 0, Width = 0, Height = 0;
    int Delay = 0, Style = 0;

    QByteArray ToLine() const;
    // Nothing for a line that is not a request.
    static std::optional<TPopupRequest> FromLine(const QByteArray& Line);
};
