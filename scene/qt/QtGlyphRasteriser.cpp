#include "scene/qt/QtGlyphRasteriser.h"

#include "scene/Font.h"
#include "scene/GlyphPicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace Scene {
namespace {

// Codes 0x80..0x9F of the Western code page; 0 where the page has none.
// (Qt's decoder for this page needs ICU, which not every build has.)
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Drawn for codes that have no visible character of their own (controls,
// unassigned codes), as the platform draws its missing-glyph box.
constexpr char16_t MissingGlyph = 0x25A1;
constexpr char16_t SoftHyphen = 0x00AD;

char16_t ToCharacter(unsigned char Code)
{
    if (Code < 0x20 || Code == 0x7F)
        return MissingGlyph;
    if (Code >= 0x80 && Code <= 0x9F) {
        const char16_t Mapped = HighControlRange[Code - 0x80];
        return Mapped != 0 ? Mapped : MissingGlyph;
    }
    // Shown as a plain hyphen, not hidden as in flowing text.
    if (Code == SoftHyphen)
        return u'-';
    return Code;
}

class TQtGlyphCanvas : public TGlyphCanvas
{
public:
    TQtGlyphCanvas(TGlyphPicture& Picture, const QFont& Font) : FPicture(Picture), FFont(Font), FMetrics(Font)
    {}

    int TextWidth(std::string_view Text) override
    {
        return FMetrics.horizontalAdvance(TQtGlyphRasteriser::ToUnicode(Text));
    }

    int TextHeight(std::string_view Text) override
    {
        return FMetrics.size(Qt::TextSingleLine, TQtGlyphRasteriser::ToUnicode(Text)).height();
    }

    void TextRect(const TGlyphRectangle& Clip, int X, int Y, std::string_view Text) override
    {
        if (FPicture.Empty())
            return;
        // Paints straight into the picture's words (0xAARRGGBB, as RGB32 keeps them).
        QImage Image(reinterpret_cast<uchar*>(FPicture.Bits()), FPicture.Width(), FPicture.Height(),
                     FPicture.Width() * 4, QImage::Format_RGB32);
        QPainter Painter(&Image);
        Painter.setClipRect(QRect(Clip.Left, Clip.Top, Clip.Right - Clip.Left, Clip.Bottom - Clip.Top));
        Painter.setFont(FFont);
        Painter.setPen(Qt::white);
        Painter.drawText(QPoint(X, Y + FMetrics.ascent()), TQtGlyphRasteriser::ToUnicode(Text));
    }

private:
    TGlyphPicture& FPicture;
    QFont FFont;
    QFontMetrics FMetrics;
};

} // namespace

QString TQtGlyphRasteriser::ToUnicode(std::string_view Text)
{
    QString Result;
    Result.reserve(static_cast<qsizetype>(Text.size()));
    for (const char Character : Text)
        Result.append(QChar(ToCharacter(static_cast<unsigned char>(Character))));
    return Result;
}

QFont TQtGlyphRasteriser::ToQFont(const TFont& Font)
{
    QFont Result(QString::fromStdString(Font.Name()));
    if (Font.Height() < 0) {
        Result.setPixelSize(-Font.Height());
    } else if (Font.Height() > 0) {
        // The line height is asked for: scale the em until the line fits it.
        Result.setPixelSize(Font.Height());
        const int LineHeight = QFontMetrics(Result).height();
        if (LineHeight > 0)
            Result.setPixelSize(std::max(
                1, static_cast<int>(std::lround(double(Font.Height()) * Font.Height() / LineHeight))));
    }
    const TFontStyles Style = Font.Style();
    Result.setBold(Style.Contains(fsBold));
    Result.setItalic(Style.Contains(fsItalic));
    Result.setUnderline(Style.Contains(fsUnderline));
    Result.setStrikeOut(Style.Contains(fsStrikeOut));
    // Grey edges, not coloured ones: the atlas keeps only intensity.
    Result.setStyleStrategy(QFont::NoSubpixelAntialias);
    return Result;
}

std::unique_ptr<TGlyphCanvas> TQtGlyphRasteriser::CreateCanvas(TGlyphPicture& Picture, const TFont& Font)
{
    return std::make_unique<TQtGlyphCanvas>(Picture, ToQFont(Font));
}

} // namespace Scene
