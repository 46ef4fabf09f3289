#include "scene/GLBitmap32.h"

#include "scene/GLDispatch.h"
#include "scene/GLGraphic.h"

#include <algorithm>
#include <cmath>

#ifndef GL_GENERATE_MIPMAP_SGIS
#define GL_GENERATE_MIPMAP_SGIS 0x8191
#endif

namespace Scene {
namespace {

std::uint8_t Intensity(const std::uint8_t* Pixel)
{
    return std::uint8_t((int(Pixel[0]) + int(Pixel[1]) + int(Pixel[2])) / 3);
}

std::uint8_t SqrtIntensity(const std::uint8_t* Pixel)
{
    return std::uint8_t(std::lround(255.0 * std::sqrt(Intensity(Pixel) / 255.0)));
}

} // namespace

int RoundUpToPowerOfTwo(int Value)
{
    int Result = 1;
    while (Result < Value)
        Result *= 2;
    return Result;
}

TGLBitmap32::TGLBitmap32(int Width, int Height)
    : FWidth(Width), FHeight(Height), FData(std::size_t(Width) * std::size_t(Height) * 4, 0)
{}

void TGLBitmap32::Assign(const TGLGraphic* Graphic)
{
    if (!Graphic || Graphic->Width() <= 0 || Graphic->Height() <= 0) {
        *this = TGLBitmap32();
        return;
    }
    const int Width = Graphic->Width();
    const int Height = Graphic->Height();
    const int Bits = Graphic->BitsPerPixel();
    if ((Bits == 24 || Bits == 32) && Width % 4 == 0) {
        *this = TGLBitmap32(Width, Height);
        const int Step = Bits / 8;
        for (int Y = 0; Y < Height; ++Y) {
            const std::uint8_t* Source = Graphic->ScanLine(Y);
            std::uint8_t* Target = Pixel(0, Height - 1 - Y);
            for (int X = 0; X < Width; ++X, Source += Step, Target += 4) {
                Target[0] = Source[2];
                Target[1] = Source[1];
                Target[2] = Source[0];
                Target[3] = Bits == 32 ? Source[3] : 255;
            }
        }
        return;
    }
    // Keeps rows 4-byte aligned for the upload.
    const int DrawnWidth = Width % 4 == 0 ? Width : Width / 4 * 4 + 4;
    const std::vector<std::uint8_t> Drawn = Graphic->Draw24(DrawnWidth, Height);
    *this = TGLBitmap32(DrawnWidth, Height);
    const std::uint8_t* Source = Drawn.data();
    for (int Y = 0; Y < Height; ++Y) {
        std::uint8_t* Target = Pixel(0, Height - 1 - Y);
        for (int X = 0; X < DrawnWidth; ++X, Source += 3, Target += 4) {
            Target[0] = Source[2];
            Target[1] = Source[1];
            Target[2] = Source[0];
            Target[3] = 255;
        }
    }
}

void TGLBitmap32::ApplyImageAlpha(TGLTextureImageAlpha Mode)
{
    if (Mode == tiaDefault || FData.empty())
        return;
    if (Mode == tiaTopLeftPointColorTransparent) {
        // Keyed on the first pixel of the data: the picture's bottom-left one.
        MakeColorTransparent(0, 0);
        return;
    }
    for (std::size_t I = 0; I < FData.size(); I += 4) {
        std::uint8_t* P = &FData[I];
        switch (Mode) {
        case tiaAlphaFromIntensity:
        case tiaLuminance:
            P[3] = Intensity(P);
            break;
        case tiaSuperBlackTransparent:
            P[3] = P[0] == 0 && P[1] == 0 && P[2] == 0 ? 0 : 255;
            break;
        case tiaLuminanceSqrt:
            P[3] = SqrtIntensity(P);
            break;
        case tiaOpaque:
            P[3] = 255;
            break;
        case tiaInverseLuminance:
            P[3] = std::uint8_t(255 - Intensity(P));
            break;
        case tiaInverseLuminanceSqrt:
            P[3] = std::uint8_t(255 - SqrtIntensity(P));
            break;
        case tiaDefault:
        case tiaTopLeftPointColorTransparent:
            break;
        }
    }
}

void TGLBitmap32::MakeColorTransparent(int X, int Row)
{
    const std::uint8_t* Key = Pixel(X, Row);
    const std::uint8_t Red = Key[0];
    const std::uint8_t Green = Key[1];
    const std::uint8_t Blue = Key[2];
    for (std::size_t I = 0; I < FData.size(); I += 4) {
        std::uint8_t* P = &FData[I];
        P[3] = P[0] == Red && P[1] == Green && P[2] == Blue ? 0 : 255;
    }
}

void TGLBitmap32::RegisterAsOpenGLTexture(TGLMinFilter MinFilter, GLint InternalFormat,
                                          bool GenerateMipmapAvailable, int& TextureWidth,
                                          int& TextureHeight) const
{
    const TGLDispatch& Gl = GL();
    GLint MaxSize = 0;
    Gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &MaxSize);
    if (MaxSize <= 0)
        MaxSize = 64; // the least any implementation offers
    TextureWidth = std::min(RoundUpToPowerOfTwo(FWidth), int(MaxSize));
    TextureHeight = std::min(RoundUpToPowerOfTwo(FHeight), int(MaxSize));

    const std::uint8_t* Pixels = FData.data();
    std::vector<std::uint8_t> Scaled;
    if (TextureWidth != FWidth || TextureHeight != FHeight) {
        Scaled.resize(std::size_t(TextureWidth) * std::size_t(TextureHeight) * 4);
        Gl.gluScaleImage(GL_RGBA, FWidth, FHeight, GL_UNSIGNED_BYTE, FData.data(), TextureWidth,
                         TextureHeight, GL_UNSIGNED_BYTE, Scaled.data());
        Pixels = Scaled.data();
    }
    if (!IsMipmapped(MinFilter)) {
        Gl.glTexImage2D(GL_TEXTURE_2D, 0, InternalFormat, TextureWidth, TextureHeight, 0, GL_RGBA,
                        GL_UNSIGNED_BYTE, Pixels);
    } else if (GenerateMipmapAvailable) {
        Gl.glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, 1);
        Gl.glTexImage2D(GL_TEXTURE_2D, 0, InternalFormat, TextureWidth, TextureHeight, 0, GL_RGBA,
                        GL_UNSIGNED_BYTE, Pixels);
    } else {
        Gl.gluBuild2DMipmaps(GL_TEXTURE_2D, InternalFormat, TextureWidth, TextureHeight, GL_RGBA,
                             GL_UNSIGNED_BYTE, Pixels);
    }
}

} // namespace Scene
