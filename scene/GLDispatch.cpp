#include "scene/GLDispatch.h"

namespace Scene {
namespace {

// Constant-initialised, so it is valid before any other static initialiser runs.
constinit const TGLDispatch GSystemGLDispatch = {
#define ZENTAVO_GL_SYSTEM_ENTRY(Name) .Name = &::Name,
    ZENTAVO_ALL_GL_FUNCTIONS(ZENTAVO_GL_SYSTEM_ENTRY)
#undef ZENTAVO_GL_SYSTEM_ENTRY
};

} // namespace

namespace Detail {
constinit const TGLDispatch* GCurrentGLDispatch = &GSystemGLDispatch;
}

const TGLDispatch& SystemGLDispatch()
{
    return GSystemGLDispatch;
}

const TGLDispatch* SetGLDispatch(const TGLDispatch* Table)
{
    const TGLDispatch* Previous = Detail::GCurrentGLDispatch;
    Detail::GCurrentGLDispatch = Table ? Table : &GSystemGLDispatch;
    return Previous;
}

} // namespace Scene
