#pragma once

#include "scene/GLBitmap32.h"
#include "scene/GLPicture.h"
#include "scene/GLTextureImage.h"

#include <memory>
#include <stdexcept>

namespace Scene {

// A texture could not get its picture.
class ETexture : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A texture image made from a picture; its size is the picture's.
class TGLPictureImage : public TGLTextureImage
{
public:
    explicit TGLPictureImage(TGLTexture* Owner);
    ~TGLPictureImage() override;

    TGLPicture& Picture() { return FPicture; }
    const TGLPicture& Picture() const { return FPicture; }

    int Width() const override { return FPicture.Width(); }
    int Height() const override { return FPicture.Height(); }
    TGLBitmap32& GetBitmap32() override;
    void ReleaseBitmap32() override { FBitmap.reset(); }
    // Replaces the picture with the file's; a missing file clears the
    // picture and raises ETexture "Could not open file: <name>".
    void LoadFromFile(const std::string& FileName) override;

    // The picture changed: the converted pixels are stale.
    void NotifyChange(TGLUpdateAbleObject* Sender) override;

private:
    TGLPicture FPicture;
    std::unique_ptr<TGLBitmap32> FBitmap;
};

} // namespace Scene
