#include "scene/GLTextureExItem.h"

#include "scene/GLTexture.h"

namespace Scene {

TGLTextureExItem::TGLTextureExItem(TGLUpdateAbleObject* Owner)
    : TGLUpdateAbleObject(Owner), FTexture(std::make_unique<TGLTexture>(this))
{}

TGLTextureExItem::~TGLTextureExItem() = default;

void TGLTextureExItem::SetTextureIndex(int Value)
{
    if (Value == FTextureIndex)
        return;
    FTextureIndex = Value;
    NotifyChange(this);
}

void TGLTextureExItem::SetTextureOffset(const TVector& Value)
{
    if (Value == FTextureOffset)
        return;
    FTextureOffset = Value;
    NotifyChange(this);
}

void TGLTextureExItem::SetTextureScale(const TVector& Value)
{
    if (Value == FTextureScale)
        return;
    FTextureScale = Value;
    NotifyChange(this);
}

} // namespace Scene
