#include "scene/GLSceneRootObject.h"

namespace Scene {

TGLSceneRootObject::TGLSceneRootObject(TGLScene& Scene, std::string Name)
{
    SetName(std::move(Name));
    FObjectStyle.Include(TGLObjectStyle::DirectDraw);
    SetScene(&Scene);
}

} // namespace Scene
