#pragma once

#include <memory>
#include <string>

namespace Scene::Testing {

// A small off-screen OpenGL context (a GLX pbuffer) made current on
// construction, for tests and benchmarks against the real libraries.
class TGLXTestContext
{
public:
    TGLXTestContext(int Width, int Height);
    ~TGLXTestContext();
    TGLXTestContext(const TGLXTestContext&) = delete;
    TGLXTestContext& operator=(const TGLXTestContext&) = delete;

    bool Valid() const { return FValid; }
    // Why the context could not be made.
    const std::string& Error() const { return FError; }

private:
    struct TImplementation;
    std::unique_ptr<TImplementation> FImplementation;
    bool FValid = false;
    std::string FError;
};

} // namespace Scene::Testing
