#pragma once

#include <functional>
#include <QImage>
#include <string>

namespace Platform {
class TFileSystem;
class TLibraryLoader;
} // namespace Platform

// One picture of the pictures library on its way to its target: the library
// fills a bitmap, the bitmap becomes a private temporary file in the working
// folder, the target loads that file, the file goes. An empty bitmap (no
// library, or no such picture) calls Clear instead. Throws when the file
// cannot be written.
void LoadGlobePicture(Platform::TLibraryLoader& Libraries, Platform::TFileSystem& Files,
                      const std::string& PictureName, const std::string& TemporaryFile,
                      const std::function<void(const std::string&)>& LoadFromFile,
                      const std::function<void()>& Clear);

// The second half of the way: Bitmap becomes the temporary file, the target
// loads it, the file goes; an empty Bitmap calls Clear.
void PassPictureThroughFile(const QImage& Bitmap, Platform::TFileSystem& Files, const std::string& TemporaryFile,
                            const std::function<void(const std::string&)>& LoadFromFile,
                            const std::function<void()>& Clear);
