#pragma once

#include "scene/GLUpdateAbleObject.h"
#include "scene/VectorGeometry.h"

#include <memory>

namespace Scene {

class TGLTexture;

// An extra texture unit of a material. Kept so stored materials read
// completely; the scene never applies it.
class TGLTextureExItem : public TGLUpdateAbleObject
{
public:
    explicit TGLTextureExItem(TGLUpdateAbleObject* Owner);
    ~TGLTextureExItem() override;

    TGLTexture& Texture() { return *FTexture; }
    int TextureIndex() const { return FTextureIndex; }
    void SetTextureIndex(int Value);
    const TVector& TextureOffset() const { return FTextureOffset; }
    void SetTextureOffset(const TVector& Value);
    const TVector& TextureScale() const { return FTextureScale; }
    void SetTextureScale(const TVector& Value);

private:
    std::unique_ptr<TGLTexture> FTexture;
    int FTextureIndex = 0;
    TVector FTextureOffset{0, 0, 0, 0};
    TVector FTextureScale{1, 1, 1, 0};
};

} // namespace Scene
