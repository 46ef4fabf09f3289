#include "scene/GLTexture.h"

#include "GLTextureRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLBitmapGraphic.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneObject.h"
#include "scene/GLStateCache.h"
#include "scene/OpenGLError.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <functional>
#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLTextureRecorder;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#endif
#ifndef GL_GENERATE_MIPMAP_SGIS
#define GL_GENERATE_MIPMAP_SGIS 0x8191
#endif
#ifndef GL_TEXTURE_RECTANGLE
#define GL_TEXTURE_RECTANGLE 0x84F5
#endif

namespace {

class Texture : public ::testing::Test
{
protected:
    Texture()
    {
        Pass.StateCache = &Cache;
        T.SetDisabled(false);
        SetPicture(4, 4);
    }

    void SetPicture(int Width, int Height)
    {
        auto Picture = std::make_unique<TGLBitmapGraphic>(Width, Height);
        Picture->Fill(30, 60, 91);
        T.Image().Picture().SetGraphic(std::move(Picture));
    }

    void Apply()
    {
        Recorder.Clear();
        Recorder.Uploads.clear();
        T.Apply(Pass);
    }

    // The value set for one texture parameter during the last apply, -1 if none.
    double Parameter(GLenum Name) const
    {
        double Result = -1;
        for (const TGLCall& Call : Recorder.CallsNamed("glTexParameteri"))
            if (Call.Args[1] == Name)
                Result = Call.Args[2];
        return Result;
    }

    bool Rebuilt() const { return Recorder.Count("glTexParameteri") > 0; }

    TGLTextureRecorder Recorder;
    TGLStateCache Cache;
    TRenderContextInfo Pass;
    TGLSceneObject Owner;
    TGLTexture& T = Owner.Material().Texture();
};

} // namespace

TEST(TextureDefaults, EveryPropertyStartsAtItsDefault)
{
    TGLTexture T(nullptr);
    EXPECT_TRUE(T.Disabled());
    EXPECT_EQ(T.ImageAlpha(), tiaDefault);
    EXPECT_EQ(T.ImageBrightness(), 1.0f);
    EXPECT_EQ(T.ImageGamma(), 1.0f);
    EXPECT_EQ(T.MagFilter(), maLinear);
    EXPECT_EQ(T.MinFilter(), miLinearMipmapLinear);
    EXPECT_EQ(T.TextureMode(), tmDecal);
    EXPECT_EQ(T.TextureWrap(), twBoth);
    EXPECT_EQ(T.TextureFormat(), tfDefault);
    EXPECT_EQ(T.Compression(), tcDefault);
    EXPECT_EQ(T.FilteringQuality(), tfIsotropic);
    EXPECT_EQ(T.MappingMode(), tmmUser);
    EXPECT_TRUE(VectorNear(T.EnvColor().AsVector(), TVector{0, 0, 0, 0}, 0));
    EXPECT_EQ(T.NormalMapScale(), 0.125f);
    EXPECT_TRUE(T.Image().Picture().Empty());
    EXPECT_EQ(T.Image().NativeTextureTarget(), GLenum(GL_TEXTURE_2D));
    EXPECT_TRUE(T.Changes().Contains(TGLTextureChange::Image));
    EXPECT_TRUE(T.Changes().Contains(TGLTextureChange::Parameters));
    EXPECT_EQ(T.Handle(), 0u);
    EXPECT_EQ(T.RequiredMemorySize(), -1);
    // The last value of each enumeration, in stored order.
    EXPECT_EQ(int(tiaInverseLuminanceSqrt), 8);
    EXPECT_EQ(int(miLinearMipmapLinear), 5);
    EXPECT_EQ(int(tmReplace), 3);
    EXPECT_EQ(int(twHorizontal), 3);
    EXPECT_EQ(int(tfRGBAFloat32), 11);
    EXPECT_EQ(int(tcHighSpeed), 4);
    EXPECT_EQ(int(tfAnisotropic), 1);
    EXPECT_EQ(int(tmmCubeMapCamera), 7);
}

TEST_F(Texture, FirstApplyBuildsBindsAndSetsTheEnvironment)
{
    T.SetTextureMode(tmModulate);
    T.EnvColor().SetColor(1, 1, 1, 1);
    Apply();
    ASSERT_EQ(Recorder.Count("glGenTextures"), 1u);
    const GLuint Name = T.Handle();
    ASSERT_NE(Name, 0u);
    EXPECT_TRUE(Recorder.IsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(Cache.Texture(0), Name);

    const auto Names = Recorder.Names();
    const std::vector<std::string> Start(Names.begin(), Names.begin() + 9);
    // The three strings are the version, the extensions and the renderer.
    EXPECT_EQ(Start, (std::vector<std::string>{"glEnable", "glGenTextures", "glBindTexture", "glGetString",
                                               "glGetString", "glGetString", "glHint", "glPixelStorei",
                                               "glPixelStorei"}));
    EXPECT_EQ(Recorder.CallsNamed("glHint")[0].Args,
              (std::vector<double>{GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}));
    const auto Stores = Recorder.CallsNamed("glPixelStorei");
    ASSERT_EQ(Stores.size(), 4u);
    EXPECT_EQ(Stores[0].Args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 4}));
    EXPECT_EQ(Stores[1].Args, (std::vector<double>{GL_UNPACK_ROW_LENGTH, 0}));
    EXPECT_EQ(Stores[2].Args, (std::vector<double>{GL_UNPACK_SKIP_ROWS, 0}));
    EXPECT_EQ(Stores[3].Args, (std::vector<double>{GL_UNPACK_SKIP_PIXELS, 0}));
    EXPECT_EQ(Recorder.CallsNamed("glBindTexture").back().Args,
              (std::vector<double>{GL_TEXTURE_2D, double(Name)}));

    const auto Env = Recorder.CallsNamed("glTexEnvi");
    ASSERT_EQ(Env.size(), 1u);
    EXPECT_EQ(Env[0].Args, (std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
    const auto EnvColor = Recorder.CallsNamed("glTexEnvfv");
    ASSERT_EQ(EnvColor.size(), 1u);
    EXPECT_EQ(EnvColor[0].Args, (std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, 1, 1, 1, 1}));
    EXPECT_TRUE(T.Changes().Empty());
}

TEST_F(Texture, TextureModes)
{
    const std::pair<TGLTextureMode, GLenum> Modes[] = {
        {tmDecal, GL_DECAL}, {tmModulate, GL_MODULATE}, {tmBlend, GL_BLEND}, {tmReplace, GL_REPLACE}};
    for (auto [Mode, Expected] : Modes) {
        T.SetTextureMode(Mode);
        Apply();
        EXPECT_EQ(Recorder.CallsNamed("glTexEnvi")[0].Args[2], Expected);
    }
}

TEST_F(Texture, WrapTableWithAndWithoutEdgeClamp)
{
    struct TWrapCase
    {
        TGLTextureWrap Wrap;
        bool RepeatS;
        bool RepeatT;
    };
    const TWrapCase Cases[] = {
        {twBoth, true, true}, {twNone, false, false}, {twVertical, false, true}, {twHorizontal, true, false}};
    // The recorder reports 1.4; then 1.1 with and without the extension.
    const std::pair<const char*, const char*> Contexts[] = {
        {"1.4", ""}, {"1.1", "GL_EXT_texture_edge_clamp"}, {"1.1", "GL_EXT_texture_edge_clamp_more"}};
    const GLenum Clamps[] = {GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, GL_CLAMP};
    for (int C = 0; C < 3; ++C) {
        Recorder.SetString(GL_VERSION, Contexts[C].first);
        Recorder.SetString(GL_EXTENSIONS, Contexts[C].second);
        for (const TWrapCase& Case : Cases) {
            SCOPED_TRACE(::testing::Message() << "context " << C << " wrap " << int(Case.Wrap));
            T.SetTextureWrap(Case.Wrap == twBoth ? twNone : twBoth);
            T.SetTextureWrap(Case.Wrap);
            Apply();
            EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), Case.RepeatS ? GL_REPEAT : Clamps[C]);
            EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), Case.RepeatT ? GL_REPEAT : Clamps[C]);
        }
    }
}

TEST_F(Texture, FiltersAndAnisotropy)
{
    const GLenum Min[] = {GL_NEAREST,
                          GL_LINEAR,
                          GL_NEAREST_MIPMAP_NEAREST,
                          GL_LINEAR_MIPMAP_NEAREST,
                          GL_NEAREST_MIPMAP_LINEAR,
                          GL_LINEAR_MIPMAP_LINEAR};
    for (int Filter = miNearest; Filter <= miLinearMipmapLinear; ++Filter) {
        T.SetMinFilter(TGLMinFilter(Filter));
        Apply();
        EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), Min[Filter]);
    }
    T.SetMagFilter(maNearest);
    Apply();
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAX_ANISOTROPY_EXT), -1); // no extension, no call
    T.SetMagFilter(maLinear);
    Recorder.SetString(GL_EXTENSIONS, "GL_ARB_multitexture GL_EXT_texture_filter_anisotropic");
    Apply();
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAX_ANISOTROPY_EXT), 1);
    T.SetFilteringQuality(tfAnisotropic);
    Apply();
    EXPECT_EQ(Parameter(GL_TEXTURE_MAX_ANISOTROPY_EXT), 2);
}

TEST_F(Texture, SoftwareRasterisersSampleIsotropically)
{
    Recorder.SetString(GL_EXTENSIONS, "GL_EXT_texture_filter_anisotropic");
    const std::pair<const char*, GLint> Renderers[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", 1},
        {"softpipe", 1},
        {"Mesa X11 Software Rasterizer", 1},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", 2},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 2},
    };
    for (const auto& [Renderer, Anisotropy] : Renderers) {
        Recorder.SetString(GL_RENDERER, Renderer);
        T.SetFilteringQuality(tfIsotropic); // a change, so the parameters are set again
        T.SetFilteringQuality(tfAnisotropic);
        Apply();
        EXPECT_EQ(Parameter(GL_TEXTURE_MAX_ANISOTROPY_EXT), Anisotropy) << Renderer;
    }
}

TEST_F(Texture, InternalFormats)
{
    const std::pair<TGLTextureFormat, GLint> Formats[] = {
        {tfDefault, GL_RGBA8},
        {tfRGB, GL_RGB8},
        {tfRGBA, GL_RGBA8},
        {tfRGB16, GL_RGB5},
        {tfRGBA16, GL_RGBA4},
        {tfAlpha, GL_ALPHA8},
        {tfLuminance, GL_LUMINANCE8},
        {tfIntensity, GL_INTENSITY8},
        {tfLuminanceAlpha, GL_LUMINANCE8_ALPHA8},
    };
    T.SetMinFilter(miLinear);
    for (auto [Format, Expected] : Formats) {
        T.SetTextureFormat(Format);
        T.SetCompression(tcStandard); // uploads stay uncompressed
        Apply();
        ASSERT_EQ(Recorder.Uploads.size(), 1u);
        EXPECT_EQ(Recorder.Uploads[0].InternalFormat, Expected) << int(Format);
        T.SetCompression(tcDefault);
    }
}

TEST_F(Texture, ImageAlphaIsWrittenIntoTheUploadedPixels)
{
    T.SetMinFilter(miNearest);
    T.SetImageAlpha(tiaLuminance);
    Apply();
    ASSERT_EQ(Recorder.Uploads.size(), 1u);
    const auto& Pixels = Recorder.Uploads[0].Pixels;
    ASSERT_EQ(Pixels.size(), 4u * 4u * 4u);
    EXPECT_EQ((std::vector<int>{Pixels[0], Pixels[1], Pixels[2], Pixels[3]}),
              (std::vector<int>{30, 60, 91, 60}));
}

TEST_F(Texture, UploadsArePowersOfTwoWithinTheMaximumSize)
{
    struct TSizeCase
    {
        int Width, Height, MaxSize, TextureWidth, TextureHeight;
    };
    const TSizeCase Cases[] = {
        {512, 235, 2048, 512, 256},
        {85, 81, 2048, 128, 128}, // stretched to 88 first
        {1024, 512, 256, 256, 256},
        {64, 32, 2048, 64, 32},
    };
    T.SetMinFilter(miLinear);
    for (const TSizeCase& Case : Cases) {
        SCOPED_TRACE(::testing::Message() << Case.Width << " x " << Case.Height);
        Recorder.SetInteger(GL_MAX_TEXTURE_SIZE, Case.MaxSize);
        SetPicture(Case.Width, Case.Height);
        Apply();
        ASSERT_EQ(Recorder.Uploads.size(), 1u);
        EXPECT_EQ(Recorder.Uploads[0].Width, Case.TextureWidth);
        EXPECT_EQ(Recorder.Uploads[0].Height, Case.TextureHeight);
        const auto Scales = Recorder.CallsNamed("gluScaleImage");
        const int ConvertedWidth = (Case.Width + 3) / 4 * 4;
        if (ConvertedWidth == Case.TextureWidth && Case.Height == Case.TextureHeight) {
            EXPECT_TRUE(Scales.empty());
        } else {
            ASSERT_EQ(Scales.size(), 1u);
            EXPECT_EQ(Scales[0].Args,
                      (std::vector<double>{GL_RGBA, double(ConvertedWidth), double(Case.Height),
                                           GL_UNSIGNED_BYTE, double(Case.TextureWidth),
                                           double(Case.TextureHeight), GL_UNSIGNED_BYTE}));
        }
        const auto Image = Recorder.CallsNamed("glTexImage2D");
        ASSERT_EQ(Image.size(), 1u);
        EXPECT_EQ(Image[0].Args,
                  (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGBA8, double(Case.TextureWidth),
                                       double(Case.TextureHeight), 0, GL_RGBA, GL_UNSIGNED_BYTE}));
    }
}

TEST_F(Texture, MipmapsOnlyForMipmappedFilters)
{
    for (TGLMinFilter Filter : {miNearest, miLinear}) {
        T.SetMinFilter(Filter);
        Recorder.SetString(GL_EXTENSIONS, "GL_SGIS_generate_mipmap");
        Apply();
        EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);
        EXPECT_EQ(Recorder.Count("gluBuild2DMipmaps"), 0u);
        EXPECT_EQ(Parameter(GL_GENERATE_MIPMAP_SGIS), -1);
    }
    T.SetMinFilter(miNearestMipmapLinear);
    Apply();
    EXPECT_EQ(Parameter(GL_GENERATE_MIPMAP_SGIS), 1);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);
    EXPECT_EQ(Recorder.Count("gluBuild2DMipmaps"), 0u);

    Recorder.SetString(GL_EXTENSIONS, "");
    T.SetMinFilter(miLinearMipmapLinear);
    Apply();
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 0u);
    const auto Built = Recorder.CallsNamed("gluBuild2DMipmaps");
    ASSERT_EQ(Built.size(), 1u);
    EXPECT_EQ(Built[0].Args, (std::vector<double>{GL_TEXTURE_2D, GL_RGBA8, 4, 4, GL_RGBA, GL_UNSIGNED_BYTE}));
}

TEST_F(Texture, MemorySizeComesFromTheDriverOrIsUnknown)
{
    Recorder.LevelParameter = 4096;
    Apply();
    EXPECT_EQ(T.RequiredMemorySize(), 4096);
    ASSERT_EQ(Recorder.CallsNamed("glGetTexLevelParameteriv").size(), 1u);
    EXPECT_EQ(Recorder.CallsNamed("glGetTexLevelParameteriv")[0].Args,
              (std::vector<double>{GL_TEXTURE_2D, 0, 0x86A0}));

    // An uncompressed texture has no compressed size: the query fails.
    Recorder.LevelParameterError = GL_INVALID_OPERATION;
    T.SetImageAlpha(tiaOpaque);
    Apply();
    EXPECT_EQ(T.RequiredMemorySize(), -1);
    EXPECT_EQ(Recorder.TakeError(), GLenum(GL_NO_ERROR)); // discarded
}

TEST_F(Texture, APendingErrorRaisesAndTheImageIsNotUploadedAgain)
{
    Recorder.SetError(GL_INVALID_ENUM);
    Recorder.Clear();
    try {
        T.Apply(Pass);
        FAIL() << "no EOpenGLError";
    } catch (const EOpenGLError& Error) {
        EXPECT_STREQ(Error.what(), "recorded error"); // the GLU text
        EXPECT_EQ(Error.Error(), GLenum(GL_INVALID_ENUM));
    }
    EXPECT_EQ(Recorder.Count("glTexImage2D") + Recorder.Count("gluBuild2DMipmaps"), 0u);
    EXPECT_EQ(Recorder.CallsNamed("gluErrorString")[0].Args[0], GL_INVALID_ENUM);
    EXPECT_TRUE(T.Changes().Empty());
    EXPECT_EQ(Cache.Texture(0), T.Handle()); // the cache knows what is bound

    Apply();
    EXPECT_EQ(Recorder.Count("glTexImage2D") + Recorder.Count("gluBuild2DMipmaps"), 0u);
}

TEST_F(Texture, RebuildsOnlyAfterAChange)
{
    Apply();
    ASSERT_TRUE(Rebuilt());
    Apply();
    EXPECT_FALSE(Rebuilt());
    EXPECT_EQ(Recorder.Count("glBindTexture"), 0u); // the cache has it bound
    EXPECT_EQ(Recorder.Count("glTexEnvi"), 1u);

    // Same values: nothing to do.
    T.SetImageAlpha(tiaDefault);
    T.SetMagFilter(maLinear);
    T.EnvColor().SetColor(0, 0, 0, 0);
    T.SetDisabled(false);
    Apply();
    EXPECT_FALSE(Rebuilt());

    const std::function<void()> Changes[] = {
        [&] { T.SetImageAlpha(tiaSuperBlackTransparent); },
        [&] { T.SetImageBrightness(0.5f); },
        [&] { T.SetImageGamma(2); },
        [&] { T.SetMagFilter(maNearest); },
        [&] { T.SetMinFilter(miLinear); },
        [&] { T.SetTextureMode(tmReplace); },
        [&] { T.SetTextureWrap(twHorizontal); },
        [&] { T.SetTextureFormat(tfRGB); },
        [&] { T.SetCompression(tcNone); },
        [&] { T.SetFilteringQuality(tfAnisotropic); },
        [&] { T.EnvColor().SetAlpha(1); },
        [&] { SetPicture(8, 8); },
    };
    for (std::size_t I = 0; I < std::size(Changes); ++I) {
        Changes[I]();
        Apply();
        EXPECT_TRUE(Rebuilt()) << "change " << I;
        EXPECT_EQ(Recorder.Uploads.size(), 1u) << "change " << I;
        EXPECT_EQ(Recorder.Count("glGenTextures"), 0u); // the same object
    }
}

TEST_F(Texture, DisablingSwitchesTexturingOffWithoutABuild)
{
    Apply();
    T.SetDisabled(true);
    Cache.Enable(stTextureRect);
    Apply();
    EXPECT_FALSE(Recorder.IsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(Recorder.IsEnabled(GL_TEXTURE_RECTANGLE));
    EXPECT_FALSE(Rebuilt());
    EXPECT_EQ(Recorder.Count("glTexEnvi"), 0u);
}

TEST_F(Texture, UnApplyDisablesTheTargetInUse)
{
    Apply();
    T.UnApply(Pass);
    EXPECT_FALSE(Cache.IsEnabled(stTexture2D));
    Cache.Enable(stTextureRect);
    T.UnApply(Pass);
    EXPECT_FALSE(Cache.IsEnabled(stTextureRect));
}

TEST_F(Texture, AnEmptyPictureKeepsABoundObjectWithoutAnImage)
{
    T.Image().Picture().Clear();
    Apply();
    EXPECT_NE(T.Handle(), 0u);
    EXPECT_EQ(Cache.Texture(0), T.Handle());
    EXPECT_EQ(Recorder.Count("glTexImage2D") + Recorder.Count("gluBuild2DMipmaps"), 0u);

    // After an upload, clearing the picture must not leave the old image showing.
    SetPicture(4, 4);
    Apply();
    T.Image().Picture().Clear();
    Apply();
    ASSERT_EQ(Recorder.Uploads.size(), 1u);
    EXPECT_EQ(Recorder.Uploads[0].Width, 0);
    EXPECT_EQ(Recorder.Uploads[0].Height, 0);
}

TEST_F(Texture, LosingTheContextBuildsAFreshObject)
{
    Apply();
    const GLuint First = T.Handle();
    Recorder.Clear();
    T.DestroyHandles();
    ASSERT_EQ(Recorder.CallsNamed("glDeleteTextures").size(), 1u);
    EXPECT_EQ(Recorder.CallsNamed("glDeleteTextures")[0].Args, (std::vector<double>{1, double(First)}));
    EXPECT_EQ(T.RequiredMemorySize(), -1);
    Cache.Reset();
    Apply();
    EXPECT_EQ(Recorder.Count("glGenTextures"), 1u);
    EXPECT_NE(T.Handle(), First);
    EXPECT_EQ(Recorder.Uploads.size(), 1u);
}

TEST_F(Texture, SettersNotifyTheOwner)
{
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    Scene.AddBuffer(Buffer);
    TGLSceneObject& Object = Scene.AddNewObject<TGLSceneObject>();
    TGLTexture& Texture = Object.Material().Texture();
    int Expected = Buffer.Changes;
    Texture.SetImageAlpha(tiaLuminance);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Texture.SetMinFilter(miNearest);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Texture.SetMappingMode(tmmSphere);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Texture.EnvColor().SetRed(1);
    EXPECT_EQ(Buffer.Changes, ++Expected);
    Texture.Image().Picture().SetGraphic(std::make_unique<TGLBitmapGraphic>(1, 1));
    EXPECT_EQ(Buffer.Changes, ++Expected);
}
