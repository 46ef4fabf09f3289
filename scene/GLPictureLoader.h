#pragma once

#include "scene/GLGraphic.h"

#include <functional>
#include <memory>
#include <string>

namespace Scene {

// Decodes a picture file (the format chosen by the decoder, normally by the
// file extension). Throws EInvalidGraphic when it cannot. The program
// installs the Qt adapter's decoder at start.
using TGLPictureLoader = std::function<std::unique_ptr<TGLGraphic>(const std::string& FileName)>;

// Installs Loader (an empty one uninstalls) and returns the previous one.
TGLPictureLoader SetGLPictureLoader(TGLPictureLoader Loader);
const TGLPictureLoader& GLPictureLoader();

} // namespace Scene
