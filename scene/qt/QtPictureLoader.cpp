#include "scene/qt/QtPictureLoader.h"

#include "scene/GLPictureLoader.h"
#include "scene/qt/QtPictureGraphic.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace Scene {
namespace {

// A BMP file's own bits per pixel, 0 for anything else. Qt widens 24-bit
// files to 32 bits when it decodes them, so the header is the only witness.
int BmpBitsPerPixel(const QString& FileName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray Header = File.read(30);
    if (Header.size() < 26 || !Header.startsWith("BM"))
        return 0;
    const auto* Bytes = reinterpret_cast<const uchar*>(Header.constData());
    // A 12-byte core header keeps the count at offset 24, every later one at 28.
    if (qFromLittleEndian<quint32>(Bytes + 14) == 12)
        return qFromLittleEndian<quint16>(Bytes + 24);
    return Header.size() >= 30 ? qFromLittleEndian<quint16>(Bytes + 28) : 0;
}

int DecodedBitsPerPixel(const QImage& Image)
{
    if (Image.hasAlphaChannel())
        return 32;
    if (Image.depth() >= 24 && Image.colorCount() == 0)
        return 24;
    return Image.depth();
}

} // namespace

std::unique_ptr<TGLGraphic> LoadQtPicture(const std::string& FileName)
{
    const QString Name = QString::fromStdString(FileName);
    QImageReader Reader(Name);
    const QImage Image = Reader.read();
    if (Image.isNull())
        throw EInvalidGraphic("Cannot read the picture " + FileName + ": " +
                              Reader.errorString().toStdString());
    int Bits = BmpBitsPerPixel(Name);
    if (Bits == 0)
        Bits = DecodedBitsPerPixel(Image);
    return std::make_unique<TQtPictureGraphic>(Image, Bits);
}

void InstallQtPictureLoader()
{
    SetGLPictureLoader(&LoadQtPicture);
}

} // namespace Scene
