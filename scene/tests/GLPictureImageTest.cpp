#include "GLRecorder.h"
#include "scene/GLBitmapGraphic.h"
#include "scene/GLPersistentImage.h"
#include "scene/GLPictureLoader.h"
#include "scene/GLTexture.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace Scene;

namespace {

// Installs a loader for one test and puts the previous one back.
class TLoaderScope
{
public:
    explicit TLoaderScope(TGLPictureLoader Loader) : FPrevious(SetGLPictureLoader(std::move(Loader))) {}
    ~TLoaderScope() { SetGLPictureLoader(std::move(FPrevious)); }

private:
    TGLPictureLoader FPrevious;
};

class PictureImage : public ::testing::Test
{
protected:
    PictureImage()
    {
        Image().Picture().SetGraphic(std::make_unique<TGLBitmapGraphic>(4, 2));
        std::ofstream("picture.bmp") << "not decoded by the test loader";
    }

    TGLPersistentImage& Image() { return Texture.Image(); }
    Scene::Testing::TGLRecorder Recorder;
    TGLTexture Texture{nullptr};
    std::vector<std::string> Loaded;
    TLoaderScope Loader{[this](const std::string& FileName) -> std::unique_ptr<TGLGraphic> {
        Loaded.push_back(FileName);
        if (FileName.ends_with(".png"))
            throw EInvalidGraphic("unsupported");
        return std::make_unique<TGLBitmapGraphic>(16, 8);
    }};
};

} // namespace

TEST_F(PictureImage, SizeFollowsThePicture)
{
    EXPECT_EQ(Image().Width(), 4);
    EXPECT_EQ(Image().Height(), 2);
    EXPECT_EQ(Image().OwnerTexture(), &Texture);
    Image().Picture().Clear();
    EXPECT_EQ(Image().Width(), 0);
    EXPECT_EQ(Image().GetBitmap32().DataSize(), 0u);
}

TEST_F(PictureImage, LoadingAFileReplacesThePictureAndMarksTheImageChanged)
{
    Texture.GetHandle(); // built: no change pending
    ASSERT_TRUE(Texture.Changes().Empty());
    Image().LoadFromFile("picture.bmp");
    EXPECT_EQ(Loaded, (std::vector<std::string>{"picture.bmp"}));
    EXPECT_EQ(Image().Width(), 16);
    EXPECT_EQ(Image().GetBitmap32().Width(), 16);
    EXPECT_TRUE(Texture.Changes().Contains(TGLTextureChange::Image));
}

TEST_F(PictureImage, AMissingFileClearsThePictureAndRaises)
{
    Texture.GetHandle();
    try {
        Image().LoadFromFile("no such picture.bmp");
        FAIL() << "no ETexture";
    } catch (const ETexture& Error) {
        EXPECT_STREQ(Error.what(), "Could not open file: no such picture.bmp");
    }
    EXPECT_TRUE(Image().Picture().Empty());
    EXPECT_TRUE(Texture.Changes().Contains(TGLTextureChange::Image));
    EXPECT_TRUE(Loaded.empty());
    // A folder is not a picture file either.
    EXPECT_THROW(Image().LoadFromFile("."), ETexture);
}

TEST_F(PictureImage, AnUndecodableFileKeepsThePicture)
{
    std::ofstream("picture.png") << "x";
    EXPECT_THROW(Image().LoadFromFile("picture.png"), EInvalidGraphic);
    EXPECT_EQ(Image().Width(), 4);

    TLoaderScope NoLoader{nullptr};
    EXPECT_THROW(Image().LoadFromFile("picture.bmp"), EInvalidGraphic);
    EXPECT_EQ(Image().Width(), 4);
}

TEST_F(PictureImage, APictureChangeDropsTheConvertedPixels)
{
    EXPECT_EQ(Image().GetBitmap32().Width(), 4);
    Image().Picture().SetGraphic(std::make_unique<TGLBitmapGraphic>(8, 8));
    EXPECT_EQ(Image().GetBitmap32().Width(), 8);
    Image().ReleaseBitmap32();

    TGLPicture Copy;
    Copy.Assign(Image().Picture());
    EXPECT_EQ(Copy.Width(), 8);
    EXPECT_NE(Copy.Graphic(), Image().Picture().Graphic());
}
