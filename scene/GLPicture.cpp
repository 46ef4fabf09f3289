#include "scene/GLPicture.h"

#include "scene/GLPictureLoader.h"

#include <utility>

namespace Scene {
namespace {

TGLPictureLoader& InstalledLoader()
{
    static TGLPictureLoader Loader;
    return Loader;
}

} // namespace

TGLPictureLoader SetGLPictureLoader(TGLPictureLoader Loader)
{
    return std::exchange(InstalledLoader(), std::move(Loader));
}

const TGLPictureLoader& GLPictureLoader()
{
    return InstalledLoader();
}

void TGLPicture::SetGraphic(std::unique_ptr<TGLGraphic> Value)
{
    if (!Value && !FGraphic)
        return;
    FGraphic = std::move(Value);
    NotifyChange(this);
}

void TGLPicture::Assign(const TGLPicture& Source)
{
    if (&Source != this)
        SetGraphic(Source.FGraphic ? Source.FGraphic->Clone() : nullptr);
}

void TGLPicture::Clear()
{
    SetGraphic(nullptr);
}

void TGLPicture::LoadFromFile(const std::string& FileName)
{
    const TGLPictureLoader& Loader = InstalledLoader();
    if (!Loader)
        throw EInvalidGraphic("No picture decoder is installed to read " + FileName);
    std::unique_ptr<TGLGraphic> Loaded = Loader(FileName);
    if (!Loaded)
        throw EInvalidGraphic("Cannot decode the picture file " + FileName);
    SetGraphic(std::move(Loaded));
}

} // namespace Scene
