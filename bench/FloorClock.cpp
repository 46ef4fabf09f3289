// The floor the clock's costs are measured against: the clock itself, started
// the same way (settings, pictures, window, companion libraries), whose scene
// is emptied before its first frame, so each frame is the clear and the
// presentation and nothing else.
#include "app/RunClock.h"
#include "app/Watch.h"
#include "scene/GLSceneGraph.h"

int main(int ArgumentCount, char** Arguments)
{
    return RunClock(ArgumentCount, Arguments, [](Twatch& Window) {
        Scene::TGLBaseSceneObject& Objects = Window.Globe->Cene().Objects();
        for (int Index = 0; Index < Objects.Count(); ++Index)
            Objects.Child(Index).SetVisible(false);
    });
}
