// The painters' pictures, freshly drawn, and the committed copies the clock ships.
#include "Pictures.h"

#include "DialLayout.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QDir>
#include <QFontDatabase>
#include <QImage>

namespace {

const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

QFont LabelFont()
{
    const int Id = QFontDatabase::addApplicationFont(FontFile);
    QFont Font(Id >= 0 ? QFontDatabase::applicationFontFamilies(Id).value(0) : QString("DejaVu Sans"));
    Font.setBold(true);
    return Font;
}

int Luminance(QRgb Pixel)
{
    return (qRed(Pixel) + qGreen(Pixel) + qBlue(Pixel)) / 3;
}

QPoint SurfacePixel(const QImage& Surface, double Longitude, double Latitude)
{
    return QPoint(int(SurfaceS(Longitude) * Surface.width()), int((90 - Latitude) / 180 * Surface.height()));
}

bool IsLand(const QImage& Surface, double Longitude, double Latitude)
{
    const QRgb Pixel = Surface.pixel(SurfacePixel(Surface, Longitude, Latitude));
    // Sea is the one clearly blue colour of the map.
    return qBlue(Pixel) < qRed(Pixel) + 40;
}

// The brightest pixel within columns [Left, Right) and rows [Top, Bottom), across the seam.
int BrightestIn(const QImage& Image, double Left, double Right, double Top, double Bottom)
{
    int Brightest = 0;
    for (int X = int(std::floor(Left)); X < int(std::ceil(Right)); ++X)
        for (int Y = qMax(0, int(Top)); Y < qMin(Image.height(), int(std::ceil(Bottom))); ++Y)
            Brightest = qMax(Brightest, Luminance(Image.pixel((X + Image.width()) % Image.width(), Y)));
    return Brightest;
}

void ExpectSurfaceIsRight(const QImage& Surface)
{
    ASSERT_EQ(Surface.size(), QSize(512, 256));
    for (int Y = 0; Y < Surface.height(); ++Y)
        for (int X = 0; X < Surface.width(); ++X)
            ASSERT_NE(Surface.pixel(X, Y) & 0xFFFFFF, 0u) << "pure black at " << X << "," << Y;
    // Greenwich in the middle, east to the right, north up: a mirrored or shifted map fails these.
    EXPECT_TRUE(IsLand(Surface, 20, 5)) << "central Africa";
    EXPECT_TRUE(IsLand(Surface, 100, 60)) << "Siberia";
    EXPECT_TRUE(IsLand(Surface, -100, 40)) << "North America";
    EXPECT_TRUE(IsLand(Surface, -55, -10)) << "Brazil";
    EXPECT_TRUE(IsLand(Surface, 135, -25)) << "Australia";
    EXPECT_TRUE(IsLand(Surface, 0, -85)) << "Antarctica";
    EXPECT_TRUE(IsLand(Surface, 178, -89.5)) << "Antarctica at the seam";
    EXPECT_FALSE(IsLand(Surface, -30, 0)) << "Atlantic";
    EXPECT_FALSE(IsLand(Surface, -150, 20)) << "Pacific";
    EXPECT_FALSE(IsLand(Surface, 80, -20)) << "Indian Ocean";
    EXPECT_FALSE(IsLand(Surface, -170, 67)) << "Chukchi sea beside the antimeridian";
}

void ExpectHourDomeIsRight(const QImage& Dome)
{
    const auto Row = [&](double Latitude) {
        return BandRow(Latitude, HourDomeTop, HourDomeBottom, Dome.height());
    };
    for (int Hour = 0; Hour < 24; ++Hour) {
        // Each hour's label fills its own sector, beyond the cone, near the equator edge.
        const double Start = HourDialS(Hour) * Dome.width(), End = Start + Dome.width() / 24.0;
        EXPECT_GT(BrightestIn(Dome, Start + 4, End - 4, Row(12), Row(6)), 200) << "hour " << Hour;
        // No mark spills far into the neighbouring sectors (labels stay inside theirs).
        EXPECT_LT(BrightestIn(Dome, Start + 1.5, Start + 2.5, Row(12), Row(6)), 120) << "hour " << Hour;
    }
    // The upper dome is glass.
    EXPECT_LT(BrightestIn(Dome, 0, Dome.width(), 0, Row(75)), 10);
}

void ExpectMinuteDomeIsRight(const QImage& Dome)
{
    const auto Row = [&](double Latitude) {
        return BandRow(Latitude, MinuteDomeTop, MinuteDomeBottom, Dome.height());
    };
    for (int Minute = 0; Minute < 60; ++Minute) {
        // A tick under the arrow for every minute, reaching out beyond the cone.
        const double X = MinuteDialS(Minute) * Dome.width();
        EXPECT_GT(BrightestIn(Dome, X - 0.5, X + 0.5, Row(-5), Row(-6)), 150) << "minute " << Minute;
        // Midway between two minutes there is no tick.
        EXPECT_LT(BrightestIn(Dome, X + 8, X + 9, Row(-5), Row(-6)), 60) << "minute " << Minute;
        // Labels every five minutes, centred on their tick; the minutes between two labels have none.
        if (Minute % 5 == 0) {
            EXPECT_GT(BrightestIn(Dome, X - 10, X + 10, Row(-10), Row(-16)), 200) << "minute " << Minute;
        } else if (Minute % 5 == 2 || Minute % 5 == 3) {
            EXPECT_LT(BrightestIn(Dome, X - 3, X + 3, Row(-10), Row(-16)), 60) << "minute " << Minute;
        }
    }
    EXPECT_LT(BrightestIn(Dome, 0, Dome.width(), Row(-75), Dome.height()), 10);
}

void ExpectMoonIsRight(const QImage& Moon)
{
    ASSERT_EQ(Moon.size(), QSize(32, 32));
    for (const QPoint Corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        EXPECT_EQ(Moon.pixel(Corner) & 0xFFFFFF, 0xFFFFFFu);
    for (int Y = 0; Y < 32; ++Y)
        for (int X = 0; X < 32; ++X)
            if (std::hypot(X + 0.5 - 16, Y + 0.5 - 16) < 14) {
                ASSERT_NE(Moon.pixel(X, Y) & 0xFFFFFF, 0xFFFFFFu)
                    << "white inside the moon at " << X << "," << Y;
            }
}

void ExpectSetupSkinIsRight(const QImage& Skin)
{
    ASSERT_EQ(Skin.size(), QSize(358, 430));
    const QRgb Key = KeyColour & 0xFFFFFF;
    for (const QPoint Corner : {QPoint(0, 0), QPoint(357, 0), QPoint(0, 429), QPoint(357, 429), QPoint(2, 2)})
        EXPECT_EQ(Skin.pixel(Corner) & 0xFFFFFF, Key);
    // The sampled pixel is the page colour under the page control.
    const QRgb Page = Skin.pixel(100, 200) & 0xFFFFFF;
    EXPECT_NE(Page, Key);
    EXPECT_EQ(Skin.pixel(SetupSampleX, SetupSampleY) & 0xFFFFFF, Page);
    for (int Y = 15; Y < 369; ++Y)
        for (int X = 11; X < 344; ++X)
            ASSERT_EQ(Skin.pixel(X, Y) & 0xFFFFFF, Page) << "page area not flat at " << X << "," << Y;
    // A hard outline: no skin pixel next to the key is a near miss of it, which would show as a fringe.
    const auto IsKey = [&](int X, int Y) {
        return X < 0 || Y < 0 || X >= Skin.width() || Y >= Skin.height() ||
               (Skin.pixel(X, Y) & 0xFFFFFF) == Key;
    };
    for (int Y = 0; Y < Skin.height(); ++Y)
        for (int X = 0; X < Skin.width(); ++X) {
            if (IsKey(X, Y) || !(IsKey(X - 1, Y) || IsKey(X + 1, Y) || IsKey(X, Y - 1) || IsKey(X, Y + 1)))
                continue;
            const QRgb Pixel = Skin.pixel(X, Y);
            const int Distance = qAbs(qRed(Pixel) - qRed(Key)) + qAbs(qGreen(Pixel) - qGreen(Key)) +
                                 qAbs(qBlue(Pixel) - qBlue(Key));
            ASSERT_GT(Distance, 120) << "outline pixel close to the key at " << X << "," << Y;
        }
    // No hole in the skin: the strip under the page control, with its decoration, has no key pixel.
    for (int Y = 370; Y < 424; ++Y)
        for (int X = 8; X < 350; ++X)
            ASSERT_NE(Skin.pixel(X, Y) & 0xFFFFFF, Key) << "key colour inside the skin at " << X << "," << Y;
    // The middle of every edge is skin, so the window keeps its full size.
    EXPECT_NE(Skin.pixel(179, 3) & 0xFFFFFF, Key);
    EXPECT_NE(Skin.pixel(179, 426) & 0xFFFFFF, Key);
    EXPECT_NE(Skin.pixel(3, 215) & 0xFFFFFF, Key);
    EXPECT_NE(Skin.pixel(354, 215) & 0xFFFFFF, Key);
}

void ExpectTrayClockIsRight(const QImage& Clock)
{
    ASSERT_EQ(Clock.size(), QSize(32, 32));
    ASSERT_TRUE(Clock.hasAlphaChannel());
    EXPECT_EQ(qAlpha(Clock.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(Clock.pixel(31, 31)), 0);
    EXPECT_EQ(qAlpha(Clock.pixel(16, 22)), 255);
}

TEST(Pictures, SurfaceIsAnUnmirroredMapCentredOnGreenwichWithoutPureBlack)
{
    ExpectSurfaceIsRight(PaintSurface(TLandTopology::FromFile(ZENTAVO_LAND_FILE, "land")));
}

TEST(Pictures, ReplacePureBlackTouchesOnlyPureBlack)
{
    QImage Image(3, 1, QImage::Format_RGB32);
    Image.setPixel(0, 0, qRgb(0, 0, 0));
    Image.setPixel(1, 0, qRgb(0, 0, 1));
    Image.setPixel(2, 0, qRgb(1, 0, 0));
    ReplacePureBlack(Image);
    EXPECT_NE(Image.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_LE(Luminance(Image.pixel(0, 0)), 1);
    EXPECT_EQ(Image.pixel(1, 0) & 0xFFFFFF, 0x000001u);
    EXPECT_EQ(Image.pixel(2, 0) & 0xFFFFFF, 0x010000u);
}

TEST(Pictures, HourDomeHasEveryHourInItsSector)
{
    ExpectHourDomeIsRight(PaintHourDome(LabelFont()));
}

TEST(Pictures, MinuteDomeHasATickPerMinuteAndALabelEveryFive)
{
    ExpectMinuteDomeIsRight(PaintMinuteDome(LabelFont()));
}

TEST(Pictures, SmallPicturesKeepTheirKeysOutsideOnly)
{
    ExpectMoonIsRight(PaintMoon());
    ExpectSetupSkinIsRight(PaintSetupSkin(LabelFont()));
    ExpectTrayClockIsRight(PaintTrayClock());
}

TEST(Pictures, CommittedPicturesAreTheGeneratorsAndLoadAsTheClockLoadsThem)
{
    const QDir Folder(ZENTAVO_PICTURES_DIR);
    const QImage Surface(Folder.filePath("SURFACE.bmp"));
    const QImage HourDome(Folder.filePath("DOMO_H.bmp"));
    const QImage MinuteDome(Folder.filePath("DOMO_M.bmp"));
    ASSERT_FALSE(Surface.isNull());
    ASSERT_FALSE(HourDome.isNull());
    ASSERT_FALSE(MinuteDome.isNull());
    // 24-bit pictures with a width that is a multiple of 4 reach the texture without conversion.
    for (const QImage* Picture : {&Surface, &HourDome, &MinuteDome}) {
        EXPECT_EQ(Picture->depth(), 32);
        EXPECT_FALSE(Picture->hasAlphaChannel());
        EXPECT_EQ(Picture->width() % 4, 0);
    }
    ExpectSurfaceIsRight(Surface);
    ExpectHourDomeIsRight(HourDome);
    ExpectMinuteDomeIsRight(MinuteDome);
    ExpectMoonIsRight(QImage(Folder.filePath("MOON.bmp")));
    ExpectSetupSkinIsRight(QImage(Folder.filePath("SETUP.bmp")));
    ExpectTrayClockIsRight(QImage(Folder.filePath("CLOCK.png")));
}

// The desktop's icon is the tray clock at every size.
TEST(Pictures, CommittedDesktopIconsAreTheTrayClockAtTheirSizes)
{
    const QImage Tray = PaintTrayClock().convertToFormat(QImage::Format_ARGB32);
    for (const int Size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage Icon(QDir(ZENTAVO_DESKTOP_ICONS_DIR).filePath(QString("zentavo-3d-%1.png").arg(Size)));
        ASSERT_EQ(Icon.size(), QSize(Size, Size)) << Size;
        ASSERT_TRUE(Icon.hasAlphaChannel()) << Size;
        EXPECT_EQ(qAlpha(Icon.pixel(0, 0)), 0) << Size;
        EXPECT_EQ(qAlpha(Icon.pixel(Size / 2, Size * 11 / 16)), 255) << Size;
        if (Size < 32)
            continue;
        const QImage Reduced = Icon.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_ARGB32);
        double Difference = 0;
        for (int Y = 0; Y < 32; ++Y)
            for (int X = 0; X < 32; ++X) {
                const QRgb A = Reduced.pixel(X, Y), B = Tray.pixel(X, Y);
                Difference += std::abs(qAlpha(A) - qAlpha(B)) + std::abs(qRed(A) - qRed(B)) +
                              std::abs(qGreen(A) - qGreen(B)) + std::abs(qBlue(A) - qBlue(B));
            }
        EXPECT_LT(Difference / (32 * 32 * 4), 12) << Size;
    }
}

} // namespace
