#pragma once

#include <stdexcept>
#include <string>

namespace Scene {

// A rendering context could not be made; the message is for the user.
class EGLContextError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;

    // The window system refused every pixel format.
    static EGLContextError OSError(const std::string& SystemText)
    {
        return EGLContextError("OS Error : " + SystemText);
    }
};

} // namespace Scene
