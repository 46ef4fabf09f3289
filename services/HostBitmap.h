#pragma once

#include "zentavo_companion.h"

class QImage;

// Lends a QImage to a companion library as a ZTBitmap. The image must outlive
// the adapter; the library's changes land directly in it.
class THostBitmap
{
public:
    explicit THostBitmap(QImage& Image);
    THostBitmap(const THostBitmap&) = delete;
    THostBitmap& operator=(const THostBitmap&) = delete;

    ZTBitmap* Object() { return &FBridge.Object; }
    QImage& Image() const { return FImage; }

    // Pictures larger than this on a side are refused, so that a wrong size
    // from a library cannot exhaust memory.
    static constexpr int MaximumSide = 16384;

private:
    struct TBridge
    {
        ZTBitmap Object;
        THostBitmap* Owner;
    };
    static THostBitmap& From(const ZTBitmap* Self);
    static uint8_t LoadFromFile(ZTBitmap* Self, const char* FileName);
    static uint8_t SetPixels(ZTBitmap* Self, int32_t Width, int32_t Height, const uint32_t* Pixels);
    static int32_t Width(const ZTBitmap* Self);
    static int32_t Height(const ZTBitmap* Self);
    static const ZTBitmapMethods Methods;

    TBridge FBridge;
    QImage& FImage;
};
