#include "HostBitmap.h"

#include "HostGuard.h"

#include <cstring>
#include <QImage>

const ZTBitmapMethods THostBitmap::Methods = {
    sizeof(ZTBitmapMethods), &THostBitmap::LoadFromFile, &THostBitmap::SetPixels,
    &THostBitmap::Width,     &THostBitmap::Height,
};

THostBitmap::THostBitmap(QImage& Image) : FBridge{{&Methods}, this}, FImage(Image) {}

THostBitmap& THostBitmap::From(const ZTBitmap* Self)
{
    // Object is the first member of the bridge, so the two share an address.
    return *reinterpret_cast<const TBridge*>(Self)->Owner;
}

uint8_t THostBitmap::LoadFromFile(ZTBitmap* Self, const char* FileName)
{
    return Guarded<uint8_t>(0, [&]() -> uint8_t {
        if (Self == nullptr || FileName == nullptr)
            return 0;
        QImage Loaded;
        if (!Loaded.load(QString::fromUtf8(FileName)))
            return 0;
        From(Self).FImage = Loaded;
        return 1;
    });
}

uint8_t THostBitmap::SetPixels(ZTBitmap* Self, int32_t Width, int32_t Height, const uint32_t* Pixels)
{
    return Guarded<uint8_t>(0, [&]() -> uint8_t {
        if (Self == nullptr || Width < 0 || Height < 0 || Width > MaximumSide || Height > MaximumSide)
            return 0;
        if (Width == 0 || Height == 0) {
            From(Self).FImage = QImage();
            return 1;
        }
        if (Pixels == nullptr)
            return 0;
        QImage Filled(Width, Height, QImage::Format_ARGB32);
        if (Filled.isNull())
            return 0;
        for (int Row = 0; Row < Height; ++Row)
            std::memcpy(Filled.scanLine(Row), Pixels + static_cast<std::size_t>(Row) * Width,
                        static_cast<std::size_t>(Width) * sizeof(uint32_t));
        From(Self).FImage = Filled;
        return 1;
    });
}

int32_t THostBitmap::Width(const ZTBitmap* Self)
{
    return Guarded<int32_t>(0, [&] { return Self ? From(Self).FImage.width() : 0; });
}

int32_t THostBitmap::Height(const ZTBitmap* Self)
{
    return Guarded<int32_t>(0, [&] { return Self ? From(Self).FImage.height() : 0; });
}
