#pragma once

#include "scene/GLGraphic.h"

#include <memory>
#include <string>

namespace Scene {

// Decodes a picture file with Qt (BMP, PNG and the other formats Qt reads).
// Throws EInvalidGraphic when it cannot.
std::unique_ptr<TGLGraphic> LoadQtPicture(const std::string& FileName);

// Makes LoadQtPicture the scene's picture loader.
void InstallQtPictureLoader();

} // namespace Scene
