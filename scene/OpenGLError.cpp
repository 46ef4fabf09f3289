#include "scene/OpenGLError.h"

#include "scene/GLDispatch.h"

#include <string>

namespace Scene {

void CheckOpenGLError()
{
    const GLenum Error = GL().glGetError();
    if (Error == GL_NO_ERROR)
        return;
    const GLubyte* Text = GL().gluErrorString(Error);
    throw EOpenGLError(Error, Text ? std::string(reinterpret_cast<const char*>(Text))
                                   : "OpenGL error " + std::to_string(Error));
}

void ClearOpenGLErrors()
{
    // Each call takes one error flag; an implementation has only a few.
    for (int Guard = 0; Guard < 32 && GL().glGetError() != GL_NO_ERROR; ++Guard) {
    }
}

} // namespace Scene
