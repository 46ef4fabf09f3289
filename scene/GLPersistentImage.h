#pragma once

#include "scene/GLPictureImage.h"

namespace Scene {

// The picture image whose picture is part of the stored form: the kind
// every texture of the scene uses.
class TGLPersistentImage final : public TGLPictureImage
{
public:
    using TGLPictureImage::TGLPictureImage;
};

} // namespace Scene
