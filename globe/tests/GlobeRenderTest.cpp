#include "globe/GlobeScene.h"
#include "scene/GLPictureImage.h"
#include "scene/GLTexture.h"
#include "scene/qt/GLSceneViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

using namespace Scene;

namespace {

// The designed globe in a 328 x 344 viewer, dressed with the pictures the
// clock ships, drawn by the real OpenGL.
class GlobeRenderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Globe.ConfigureViewer(Viewer);
        for (auto [Sphere, Name] : {std::pair{Globe.Earth, "SURFACE"}, std::pair{Globe.Horas, "DOMO_H"},
                                    std::pair{Globe.Minutos, "DOMO_M"}})
            Sphere->Material().Texture().Image().LoadFromFile(std::string(ZENTAVO_SOURCE_DIR "/data/pictures/") +
                                                              Name + ".bmp");
        Viewer.setGeometry(0, 0, 328, 344);
        Viewer.show();
    }

    QImage Frame()
    {
        QElapsedTimer Timer;
        Timer.start();
        const auto Before = Viewer.Buffer().FrameCount();
        Viewer.update();
        while (Viewer.Buffer().FrameCount() == Before && Timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        return Viewer.GrabFrame();
    }

    TGlobeScene Globe;
    TGLSceneViewer Viewer;
};

} // namespace

TEST_F(GlobeRenderTest, DrawsTheDressedGlobe)
{
    Frame();
    const QImage Picture = Frame();
    Picture.save("/tmp/globe-frame.png");
    Globe.Horas->SetVisible(false);
    Globe.Minutos->SetVisible(false);
    Frame().save("/tmp/globe-nodomes.png");
    Globe.Earth->Material().Texture().SetDisabled(true);
    Frame().save("/tmp/globe-notexture.png");
    Globe.Sum->SetShining(false);
    Globe.Sum_1->SetShining(false);
    Frame().save("/tmp/globe-nolight.png");
    Viewer.Buffer().SetLighting(false);
    Frame().save("/tmp/globe-unlit.png");
    Viewer.Buffer().SetLighting(true);
    Globe.Earth->Material().FrontProperties().Emission().SetColor(0.5f, 0, 0, 1);
    Frame().save("/tmp/globe-red.png");
    Globe.Earth->Material().FrontProperties().Specular().SetColor(0, 0, 0, 1);
    Frame().save("/tmp/globe-nospec.png");
    ASSERT_EQ(Picture.size(), QSize(328, 344));
}
