#pragma once

#include "scene/GLGraphic.h"

#include <exception>
#include <future>
#include <memory>
#include <QImage>
#include <string>
#include <vector>

namespace Platform {
class TFileSystem;
class TLibraryLoader;
} // namespace Platform

// The globe's four pictures as start-up takes them from the pictures library:
// each filled by the library, saved to its temporary file in the working
// folder, read back from that file and the file deleted. Start() does this on
// a thread of its own, so that the decoding overlaps the creation of the
// window and its OpenGL context; Take() hands the pictures over in order.
class TGlobePictureFetch
{
public:
    struct TPicture
    {
        std::string Name;          // "MOON", "SURFACE", "DOMO_H" or "DOMO_M"
        std::string TemporaryFile; // "moon.bmp" ...
        bool Empty = true;         // the library gave no picture: the target is cleared
        bool FileMissing = false;  // the temporary file was not there to be read
        QImage Bitmap;             // the moon's picture, read back
        std::unique_ptr<Scene::TGLGraphic> Graphic; // a texture's picture, read back
        std::exception_ptr Error;  // what stopped the fetch at this picture
    };

    TGlobePictureFetch(Platform::TLibraryLoader& Libraries, Platform::TFileSystem& Files);
    ~TGlobePictureFetch();
    TGlobePictureFetch(const TGlobePictureFetch&) = delete;
    TGlobePictureFetch& operator=(const TGlobePictureFetch&) = delete;

    void Start();
    // The pictures of the fetch started last, waiting for it; without one,
    // fetches them now. A picture with an Error is the last one.
    std::vector<TPicture> Take();
    // Forgets a fetch that will not be used (it is still waited for).
    void Discard();

    static bool IsMoon(const TPicture& Picture) { return Picture.Name == "MOON"; }

private:
    std::vector<TPicture> Fetch();
    TPicture FetchOne(const char* Name, const char* TemporaryFile);

    Platform::TLibraryLoader& FLibraries;
    Platform::TFileSystem& FFiles;
    std::future<std::vector<TPicture>> FPending;
};
