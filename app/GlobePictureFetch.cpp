#include "GlobePictureFetch.h"

#include "platform/FileSystem.h"
#include "scene/GLPicture.h"
#include "services/PictureLibrary.h"

#include <filesystem>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <stdexcept>

TGlobePictureFetch::TGlobePictureFetch(Platform::TLibraryLoader& Libraries, Platform::TFileSystem& Files)
    : FLibraries(Libraries), FFiles(Files)
{}

TGlobePictureFetch::~TGlobePictureFetch()
{
    Discard();
}

void TGlobePictureFetch::Start()
{
    Discard();
    FPending = std::async(std::launch::async, [this] { return Fetch(); });
}

std::vector<TGlobePictureFetch::TPicture> TGlobePictureFetch::Take()
{
    if (!FPending.valid())
        return Fetch();
    std::vector<TPicture> Result = FPending.get();
#ifdef __GLIBC__
    // The fetch's scratch buffers were freed in its thread's own heap, where
    // nothing else would reuse them: give those pages back.
    malloc_trim(0);
#endif
    return Result;
}

void TGlobePictureFetch::Discard()
{
    if (FPending.valid())
        FPending.wait();
    FPending = {};
}

std::vector<TGlobePictureFetch::TPicture> TGlobePictureFetch::Fetch()
{
    static constexpr const char* Pictures[][2] = {
        {"MOON", "moon.bmp"}, {"SURFACE", "surface.bmp"}, {"DOMO_H", "domo_h.bmp"}, {"DOMO_M", "domo_m.bmp"}};
    std::vector<TPicture> Result;
    for (const auto& [Name, TemporaryFile] : Pictures) {
        Result.push_back(FetchOne(Name, TemporaryFile));
        if (Result.back().Error)
            break;
    }
    return Result;
}

TGlobePictureFetch::TPicture TGlobePictureFetch::FetchOne(const char* Name, const char* TemporaryFile)
{
    TPicture Picture;
    Picture.Name = Name;
    Picture.TemporaryFile = TemporaryFile;
    try {
        TPictureLibrary Library(FLibraries);
        Library.GetPicture(Name);
        const QImage& Bitmap = Library.PictureBitmap();
        // An empty bitmap (no library, or no such picture) has no file to go through.
        if (Bitmap.isNull())
            return Picture;
        Picture.Empty = false;
        const QString FileName = QString::fromLatin1(TemporaryFile);
        if (!Bitmap.save(FileName, "BMP"))
            throw std::runtime_error("Cannot write " + FileName.toStdString());
        // The file goes whatever reading it made of it.
        struct TRemoveAfterwards
        {
            Platform::TFileSystem& Files;
            const char* Name;
            ~TRemoveAfterwards() { Files.DeleteFile(Name); }
        } Cleanup{FFiles, TemporaryFile};
        if (IsMoon(Picture)) {
            if (!Picture.Bitmap.load(FileName))
                throw std::runtime_error("Cannot load the picture " + FileName.toStdString());
        } else {
            std::error_code Missing;
            if (!std::filesystem::is_regular_file(TemporaryFile, Missing)) {
                Picture.FileMissing = true;
                return Picture;
            }
            Picture.Graphic = Scene::TGLPicture::ReadFile(TemporaryFile);
        }
    } catch (...) {
        Picture.Error = std::current_exception();
    }
    return Picture;
}
