#pragma once

#include "GLRecorder.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace Scene::Testing {

// One image handed to OpenGL: by glTexImage2D, or all levels by gluBuild2DMipmaps.
struct TGLUploadedImage
{
    std::string Call;
    GLint InternalFormat = 0;
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;
};

// A recorder that also keeps the pixels of texture uploads, rescales like
// gluScaleImage (nearest pixel) and answers the texture-level query. It
// makes its own table current and restores the recorder's on destruction.
class TGLTextureRecorder : public TGLRecorder
{
public:
    TGLTextureRecorder() : FTable(Table())
    {
        if (GActive)
            throw std::logic_error("only one TGLTextureRecorder at a time");
        GActive = this;
        FTable.glTexImage2D = &TexImage2D;
        FTable.gluBuild2DMipmaps = &Build2DMipmaps;
        FTable.gluScaleImage = &ScaleImage;
        FTable.glGetTexLevelParameteriv = &GetTexLevelParameteriv;
        FRecorderTable = SetGLDispatch(&FTable);
    }
    ~TGLTextureRecorder()
    {
        SetGLDispatch(FRecorderTable);
        GActive = nullptr;
    }

    std::vector<TGLUploadedImage> Uploads;
    // Answer of glGetTexLevelParameteriv, and the error it raises.
    GLint LevelParameter = 0;
    GLenum LevelParameterError = GL_NO_ERROR;

private:
    static inline TGLTextureRecorder* GActive = nullptr;

    static std::vector<std::uint8_t> Copy(int Width, int Height, const void* Pixels)
    {
        if (!Pixels)
            return {};
        const auto* Bytes = static_cast<const std::uint8_t*>(Pixels);
        return std::vector<std::uint8_t>(Bytes, Bytes + std::size_t(Width) * std::size_t(Height) * 4);
    }

    static void TexImage2D(GLenum Target, GLint Level, GLint InternalFormat, GLsizei Width, GLsizei Height,
                           GLint Border, GLenum Format, GLenum Type, const void* Pixels)
    {
        GActive->Log("glTexImage2D").Args = {double(Target), double(Level),  double(InternalFormat),
                                             double(Width),  double(Height), double(Border),
                                             double(Format), double(Type)};
        GActive->Uploads.push_back(
            {"glTexImage2D", InternalFormat, Width, Height, Copy(Width, Height, Pixels)});
    }

    static GLint Build2DMipmaps(GLenum Target, GLint InternalFormat, GLsizei Width, GLsizei Height,
                                GLenum Format, GLenum Type, const void* Pixels)
    {
        GActive->Log("gluBuild2DMipmaps").Args = {double(Target), double(InternalFormat), double(Width),
                                                  double(Height), double(Format),         double(Type)};
        GActive->Uploads.push_back(
            {"gluBuild2DMipmaps", InternalFormat, Width, Height, Copy(Width, Height, Pixels)});
        return 0;
    }

    static GLint ScaleImage(GLenum Format, GLsizei WidthIn, GLsizei HeightIn, GLenum TypeIn,
                            const void* DataIn, GLsizei WidthOut, GLsizei HeightOut, GLenum TypeOut,
                            GLvoid* DataOut)
    {
        GActive->Log("gluScaleImage").Args = {double(Format), double(WidthIn),  double(HeightIn),
                                              double(TypeIn), double(WidthOut), double(HeightOut),
                                              double(TypeOut)};
        const auto* In = static_cast<const std::uint8_t*>(DataIn);
        auto* Out = static_cast<std::uint8_t*>(DataOut);
        for (int Y = 0; Y < HeightOut; ++Y)
            for (int X = 0; X < WidthOut; ++X)
                for (int C = 0; C < 4; ++C)
                    Out[(std::size_t(Y) * WidthOut + X) * 4 + C] =
                        In[(std::size_t(Y * HeightIn / HeightOut) * WidthIn + X * WidthIn / WidthOut) * 4 +
                           C];
        return 0;
    }

    static void GetTexLevelParameteriv(GLenum Target, GLint Level, GLenum Name, GLint* Value)
    {
        GActive->Log("glGetTexLevelParameteriv").Args = {double(Target), double(Level), double(Name)};
        *Value = GActive->LevelParameter;
        if (GActive->LevelParameterError != GL_NO_ERROR)
            GActive->SetError(GActive->LevelParameterError);
    }

    TGLDispatch FTable;
    const TGLDispatch* FRecorderTable;
};

} // namespace Scene::Testing
