#pragma once

namespace Scene {

class TGLScene;

// What a scene knows of a buffer that displays it (the viewer's buffer). The
// scene does not own it; the buffer registers and unregisters itself.
class TGLAbstractSceneBuffer
{
public:
    virtual ~TGLAbstractSceneBuffer() = default;

    // Something visible changed. The buffer repaints later, never inside this call.
    virtual void NotifyChange() = 0;
    // The scene is being destroyed; the buffer must forget it.
    virtual void SceneDestroyed(TGLScene& Scene) { (void)Scene; }
};

} // namespace Scene
