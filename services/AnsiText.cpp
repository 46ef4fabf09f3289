#include "AnsiText.h"

#include <array>
#include <QList>

namespace {

// 0x80 to 0x9F; zero where the code page has no character.
constexpr std::array<char16_t, 32> UpperControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char Encode(char32_t Character)
{
    if (Character < 0x80 || (Character >= 0xA0 && Character <= 0xFF))
        return static_cast<char>(Character);
    for (std::size_t Index = 0; Index < UpperControls.size(); ++Index)
        if (UpperControls[Index] != 0 && UpperControls[Index] == Character)
            return static_cast<char>(0x80 + Index);
    return '?';
}

} // namespace

std::string ToAnsi(const QString& Text)
{
    std::string Result;
    Result.reserve(static_cast<std::size_t>(Text.size()));
    for (const char32_t Character : Text.toUcs4())
        Result += Encode(Character);
    return Result;
}

QString FromAnsi(const std::string& Text)
{
    QString Result;
    Result.reserve(static_cast<qsizetype>(Text.size()));
    for (const char Byte : Text) {
        const auto Code = static_cast<unsigned char>(Byte);
        const char16_t Upper = Code >= 0x80 && Code < 0xA0 ? UpperControls[Code - 0x80] : 0;
        Result += QChar(Code >= 0x80 && Code < 0xA0 ? (Upper != 0 ? Upper : u'?') : char16_t(Code));
    }
    return Result;
}
