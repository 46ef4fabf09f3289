#include "scene/GLPictureImage.h"

#include <filesystem>
#include <system_error>

namespace Scene {

TGLPictureImage::TGLPictureImage(TGLTexture* Owner) : TGLTextureImage(Owner), FPicture(this) {}

TGLPictureImage::~TGLPictureImage() = default;

TGLBitmap32& TGLPictureImage::GetBitmap32()
{
    if (!FBitmap) {
        FBitmap = std::make_unique<TGLBitmap32>();
        FBitmap->Assign(FPicture.Graphic());
    }
    return *FBitmap;
}

void TGLPictureImage::LoadFromFile(const std::string& FileName)
{
    std::error_code Error;
    if (!std::filesystem::is_regular_file(FileName, Error)) {
        FPicture.Clear();
        throw ETexture("Could not open file: " + FileName);
    }
    FPicture.LoadFromFile(FileName);
}

void TGLPictureImage::NotifyChange(TGLUpdateAbleObject* Sender)
{
    if (Sender == &FPicture)
        ReleaseBitmap32();
    TGLTextureImage::NotifyChange(this);
}

} // namespace Scene
