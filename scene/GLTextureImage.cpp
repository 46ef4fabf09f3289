#include "scene/GLTextureImage.h"

#include "scene/GLTexture.h"

namespace Scene {

TGLTextureImage::TGLTextureImage(TGLTexture* Owner) : TGLUpdateAbleObject(Owner), FOwnerTexture(Owner) {}

void TGLTextureImage::Invalidate()
{
    ReleaseBitmap32();
    NotifyChange(this);
}

} // namespace Scene
