#include "scene/Font.h"

#include <cstdlib>

namespace Scene {
namespace {

// A * B / C rounded half away from zero, as the platform's size conversion rounds.
int MultiplyDivide(int A, int B, int C)
{
    const long long Product = static_cast<long long>(A) * B;
    const long long Half = std::llabs(static_cast<long long>(C)) / 2;
    const long long Rounded = Product >= 0 ? Product + Half : Product - Half;
    return static_cast<int>(Rounded / C);
}

template <typename T> bool Store(T& Field, const T& Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

} // namespace

void TFont::SetName(std::string Value)
{
    if (Store(FName, Value))
        NotifyChange(this);
}

void TFont::SetHeight(int Value)
{
    if (Store(FHeight, Value))
        NotifyChange(this);
}

int TFont::Size() const
{
    return -MultiplyDivide(FHeight, 72, PixelsPerInch);
}

void TFont::SetSize(int Value)
{
    SetHeight(-MultiplyDivide(Value, PixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Store(FStyle, Value))
        NotifyChange(this);
}

void TFont::SetCharset(std::uint8_t Value)
{
    if (Store(FCharset, Value))
        NotifyChange(this);
}

void TFont::SetColor(std::uint32_t Value)
{
    if (Store(FColor, Value))
        NotifyChange(this);
}

void TFont::Assign(const TFont& Source)
{
    if (*this == Source)
        return;
    FName = Source.FName;
    FHeight = Source.FHeight;
    FStyle = Source.FStyle;
    FCharset = Source.FCharset;
    FColor = Source.FColor;
    NotifyChange(this);
}

} // namespace Scene
