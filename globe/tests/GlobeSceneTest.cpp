#include "GLRecorder.h"
#include "TestRenderingContext.h"
#include "globe/GlobeScene.h"
#include "scene/GLSceneBuffer.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace Scene;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TTestDeviceContext;

namespace {

class GlobeSceneTest : public testing::Test
{
protected:
    GlobeSceneTest()
    {
        Buffer.SetCamera(Globe.Camera_1);
        Buffer.ResizeViewport(328, 344);
        Buffer.CreateRenderingContext(Device);
    }

    void Frame()
    {
        Recorder.Clear();
        Buffer.RenderFrame();
    }

    TGLRecorder Recorder;
    TGlobeScene Globe;
    TTestDeviceContext Device;
    TGLSceneBuffer Buffer;
};

} // namespace

TEST_F(GlobeSceneTest, Dump)
{
    Frame();
    Frame();
    std::ofstream Out("/tmp/globe-calls.txt");
    for (const auto& Call : Recorder.Calls()) {
        Out << Call.Name;
        for (double A : Call.Args)
            Out << ' ' << A;
        if (Call.List)
            Out << " [list " << Call.List << "]";
        Out << '\n';
    }
}
