#pragma once

#include "scene/GLRenderingContext.h"

#include <memory>

namespace Scene {

// The window a buffer draws into, as the window-system binding sees it.
class TGLDeviceContext
{
public:
    virtual ~TGLDeviceContext() = default;

    // A new, not yet created, context for this window; null when none can be had.
    virtual std::unique_ptr<TGLRenderingContext> NewRenderingContext() = 0;
};

} // namespace Scene
