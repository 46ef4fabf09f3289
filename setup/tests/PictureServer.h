#pragma once

#include "platform/testing/FakeLibraryLoader.h"
#include "services/zentavo_companion.h"

#include <QImage>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// A stand-in images.so whose GetPicture hands out the test's own pictures by
// name; a name it does not hold leaves the bitmap empty, and a null picture
// makes it throw, as a failing library would. One at a time.
class TPictureServer
{
public:
    explicit TPictureServer(Platform::TFakeLibraryLoader& Libraries)
    {
        Current() = this;
        Libraries.AddLibrary("images.so", {{"GetPicture", reinterpret_cast<void*>(&Serve)}});
    }
    ~TPictureServer() { Current() = nullptr; }

    std::map<std::string, QImage> Pictures;

    // No pixel alike to any pixel's inverse, so that any inverted column shows.
    static QImage Map(int Width = 512, int Height = 256) { return Pattern({Width, Height}, 100); }
    // A skin of Size tiled to the window: x and y in red and green, a 4 x 4
    // top left corner in the key colour, and Sampled at (16, 12) alone.
    static QImage Skin(QSize Size, QRgb Sampled)
    {
        QImage Picture = Pattern(Size, 77);
        for (int Y = 0; Y < 4; ++Y)
            for (int X = 0; X < 4; ++X)
                Picture.setPixel(X, Y, qRgb(166, 202, 240));
        Picture.setPixel(16, 12, Sampled);
        return Picture;
    }

private:
    static TPictureServer*& Current()
    {
        static TPictureServer* Server = nullptr;
        return Server;
    }
    static QImage Pattern(QSize Size, int Blue)
    {
        QImage Picture(Size, QImage::Format_RGB32);
        for (int Y = 0; Y < Size.height(); ++Y)
            for (int X = 0; X < Size.width(); ++X)
                Picture.setPixel(X, Y, qRgb(X % 256, (Y + X / 256 * 64) % 256, Blue));
        return Picture;
    }
    static void Serve(ZTBitmap** Bitmap, const char* Name)
    {
        const auto Found = Current()->Pictures.find(Name);
        if (Found == Current()->Pictures.end())
            return;
        if (Found->second.isNull())
            throw std::runtime_error("the picture library failed");
        const QImage Picture = Found->second.convertToFormat(QImage::Format_ARGB32);
        std::vector<uint32_t> Pixels;
        for (int Y = 0; Y < Picture.height(); ++Y)
            for (int X = 0; X < Picture.width(); ++X)
                Pixels.push_back(Picture.pixel(X, Y));
        (*Bitmap)->Methods->SetPixels(*Bitmap, Picture.width(), Picture.height(), Pixels.data());
    }
};
