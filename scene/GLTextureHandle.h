#pragma once

#include <GL/gl.h>

namespace Scene {

// The name of one OpenGL texture object of the current rendering context.
// The context owner decides when objects die (DestroyHandle when the
// context goes away); everything goes through the dispatch table.
class TGLTextureHandle
{
public:
    TGLTextureHandle() = default;
    ~TGLTextureHandle() { DestroyHandle(); }
    TGLTextureHandle(const TGLTextureHandle&) = delete;
    TGLTextureHandle& operator=(const TGLTextureHandle&) = delete;

    // 0 while there is no object.
    GLuint Handle() const { return FHandle; }
    // Makes an object when there is none; returns its name.
    GLuint AllocateHandle();
    void DestroyHandle();

private:
    GLuint FHandle = 0;
};

} // namespace Scene
