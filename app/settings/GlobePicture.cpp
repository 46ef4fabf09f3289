#include "GlobePicture.h"

#include "platform/FileSystem.h"
#include "services/PictureLibrary.h"

#include <QFile>

#include <stdexcept>

void LoadGlobePicture(Platform::TLibraryLoader& Libraries, Platform::TFileSystem& Files,
                      const std::string& PictureName, const std::string& TemporaryFile,
                      const std::function<void(const std::string&)>& LoadFromFile,
                      const std::function<void()>& Clear)
{
    TPictureLibrary Pictures(Libraries);
    Pictures.GetPicture(PictureName);
    PassPictureThroughFile(Pictures.PictureBitmap(), Files, TemporaryFile, LoadFromFile, Clear);
}

void PassPictureThroughFile(const QImage& Bitmap, Platform::TFileSystem& Files, const std::string& TemporaryFile,
                            const std::function<void(const std::string&)>& LoadFromFile,
                            const std::function<void()>& Clear)
{
    if (Bitmap.isNull()) {
        Clear(); // there is no picture file to write
        return;
    }
    const QString FileName = QString::fromStdString(TemporaryFile);
    // The file goes whatever the write or the load made of it.
    struct TRemoveAfterwards
    {
        Platform::TFileSystem& Files;
        const std::string& Name;
        ~TRemoveAfterwards() { Files.DeleteFile(Name); }
    } Cleanup{Files, TemporaryFile};
    {
        // Private whatever the umask: nobody else may swap the picture before it is read.
        QFile::remove(FileName);
        QFile File(FileName);
        if (!File.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            !Bitmap.save(&File, "BMP"))
            throw std::runtime_error("Cannot write " + TemporaryFile);
    }
    LoadFromFile(TemporaryFile);
}
