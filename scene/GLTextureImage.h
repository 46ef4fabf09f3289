#pragma once

#include "scene/GLUpdateAbleObject.h"

#include <GL/gl.h>
#include <string>

namespace Scene {

class TGLBitmap32;
class TGLTexture;

// The source of a texture's pixels, owned by its texture. Its changes mark
// the texture's image changed.
class TGLTextureImage : public TGLUpdateAbleObject
{
public:
    explicit TGLTextureImage(TGLTexture* Owner);

    TGLTexture* OwnerTexture() const { return FOwnerTexture; }
    GLenum NativeTextureTarget() const { return GL_TEXTURE_2D; }

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The converted pixels, made on first need and kept until released.
    virtual TGLBitmap32& GetBitmap32() = 0;
    virtual void ReleaseBitmap32() = 0;
    virtual void LoadFromFile(const std::string& FileName) = 0;

    // The texture must upload the image again.
    void Invalidate();

private:
    TGLTexture* FOwnerTexture;
};

} // namespace Scene
