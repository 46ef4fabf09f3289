#pragma once

#include "scene/GLGraphic.h"
#include "scene/GLUpdateAbleObject.h"

#include <memory>
#include <string>

namespace Scene {

// Holds one graphic, or none. Every change of its content notifies the owner.
class TGLPicture : public TGLUpdateAbleObject
{
public:
    explicit TGLPicture(TGLUpdateAbleObject* Owner = nullptr) : TGLUpdateAbleObject(Owner) {}

    // Null when empty.
    const TGLGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGLGraphic> Value);
    bool Empty() const { return !FGraphic; }
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    void Assign(const TGLPicture& Source);
    void Clear();
    // Decodes the file with the installed picture loader. On failure the
    // picture keeps its content and the loader's EInvalidGraphic goes on.
    void LoadFromFile(const std::string& FileName);

private:
    std::unique_ptr<TGLGraphic> FGraphic;
};

} // namespace Scene
