#pragma once

#include "scene/GLAbstractSceneBuffer.h"

namespace Scene::Testing {

// A scene buffer that counts what the scene tells it.
class TRecordingSceneBuffer : public TGLAbstractSceneBuffer
{
public:
    void NotifyChange() override { ++Changes; }
    void SceneDestroyed(TGLScene& Scene) override
    {
        (void)Scene;
        ++Destroyed;
    }

    int Changes = 0;
    int Destroyed = 0;
};

} // namespace Scene::Testing
