#pragma once

#include "scene/GLTextureExItem.h"
#include "scene/GLUpdateAbleObject.h"

#include <memory>
#include <vector>

namespace Scene {

// The extra texture units of a material (stored, never applied).
class TGLTextureEx : public TGLUpdateAbleObject
{
public:
    explicit TGLTextureEx(TGLUpdateAbleObject* Owner) : TGLUpdateAbleObject(Owner) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    TGLTextureExItem& Item(int Index) { return *FItems.at(static_cast<std::size_t>(Index)); }
    TGLTextureExItem& Add();
    void Clear();

private:
    std::vector<std::unique_ptr<TGLTextureExItem>> FItems;
};

} // namespace Scene
