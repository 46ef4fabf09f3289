#include "scene/GLTextureEx.h"

namespace Scene {

TGLTextureExItem& TGLTextureEx::Add()
{
    FItems.push_back(std::make_unique<TGLTextureExItem>(this));
    NotifyChange(this);
    return *FItems.back();
}

void TGLTextureEx::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    NotifyChange(this);
}

} // namespace Scene
