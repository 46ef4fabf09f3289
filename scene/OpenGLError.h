#pragma once

#include <GL/gl.h>
#include <stdexcept>
#include <string>

namespace Scene {

// An OpenGL error was pending; the message is GLU's text for it.
class EOpenGLError : public std::runtime_error
{
public:
    EOpenGLError(GLenum Error, const std::string& Message) : std::runtime_error(Message), FError(Error) {}
    GLenum Error() const { return FError; }

private:
    GLenum FError;
};

// Raises EOpenGLError when OpenGL reports an error.
void CheckOpenGLError();
// Forgets every pending OpenGL error.
void ClearOpenGLErrors();

} // namespace Scene
