#pragma once

#include "scene/GLDispatch.h"

#include <cstdint>

namespace Scene::Testing {

// A table whose functions do nothing, to measure the scene's own cost.
// glGenLists hands out names, gluNewQuadric a non-null handle, glGetFloatv
// the identity; glNewList and glMultMatrixf are counted.
const TGLDispatch& NullGLDispatch();

struct TNullGLCounters
{
    std::uint64_t ListCompiles = 0;
    std::uint64_t ListCalls = 0;
    std::uint64_t MatrixMultiplies = 0;
};

TNullGLCounters& NullGLCounters();

} // namespace Scene::Testing
