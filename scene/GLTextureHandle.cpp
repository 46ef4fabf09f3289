#include "scene/GLTextureHandle.h"

#include "scene/GLDispatch.h"

namespace Scene {

GLuint TGLTextureHandle::AllocateHandle()
{
    if (FHandle == 0)
        GL().glGenTextures(1, &FHandle);
    return FHandle;
}

void TGLTextureHandle::DestroyHandle()
{
    if (FHandle == 0)
        return;
    GL().glDeleteTextures(1, &FHandle);
    FHandle = 0;
}

} // namespace Scene
