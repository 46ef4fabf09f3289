#pragma once

#include <QString>
#include <string>

// The Western code page (Windows-1252) of the 8-bit texts the companions and
// the heads-up font know. Characters it lacks become "?".
std::string ToAnsi(const QString& Text);
QString FromAnsi(const std::string& Text);
// UTF-8 in, the same text as it survives the code page out.
inline QString ThroughAnsi(const QString& Text)
{
    return FromAnsi(ToAnsi(Text));
}
