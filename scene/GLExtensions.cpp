#include "scene/GLExtensions.h"

#include "scene/GLDispatch.h"

#include <cstdio>
#include <string_view>

namespace Scene {

TGLExtensions TGLExtensions::Read()
{
    TGLExtensions Result;
    if (const GLubyte* Version = GL().glGetString(GL_VERSION))
        if (std::sscanf(reinterpret_cast<const char*>(Version), "%d.%d", &Result.FMajor, &Result.FMinor) != 2)
            Result.FMajor = Result.FMinor = 0;
    if (const GLubyte* Extensions = GL().glGetString(GL_EXTENSIONS))
        Result.FExtensions = reinterpret_cast<const char*>(Extensions);
    if (const GLubyte* Renderer = GL().glGetString(GL_RENDERER)) {
        const std::string_view Name = reinterpret_cast<const char*>(Renderer);
        for (const std::string_view Software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
            if (Name.find(Software) != std::string_view::npos)
                Result.FSoftwareRasteriser = true;
    }
    return Result;
}

bool TGLExtensions::Has(std::string_view Name) const
{
    // Whole names only: GL_EXT_foo must not match GL_EXT_foo_bar.
    for (std::size_t Start = FExtensions.find(Name); Start != std::string::npos;
         Start = FExtensions.find(Name, Start + 1)) {
        const std::size_t End = Start + Name.size();
        if ((Start == 0 || FExtensions[Start - 1] == ' ') &&
            (End == FExtensions.size() || FExtensions[End] == ' '))
            return true;
    }
    return false;
}

} // namespace Scene
