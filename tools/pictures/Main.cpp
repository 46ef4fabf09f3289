// Draws the clock's pictures into a folder: SURFACE, DOMO_H, DOMO_M, MOON and SETUP as BMP files (the
// form the clock saves and loads) and CLOCK, which needs alpha, as PNG. Optionally renders a preview
// of the clock's view for one zone and local time, to check the dials by eye, and the desktop icon's
// sizes (the tray clock, drawn larger; data/desktop/icons holds its vector form beside them).

#include "GlobePose.h"
#include "LandTopology.h"
#include "Pictures.h"
#include "Preview.h"

#include <cstdio>
#include <exception>
#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>

namespace {

void Save(const QImage& Image, const QDir& Folder, const QString& FileName)
{
    const QString Path = Folder.filePath(FileName);
    if (!Image.save(Path))
        throw std::runtime_error("cannot write " + Path.toStdString());
    std::printf("%s %dx%d\n", qPrintable(Path), Image.width(), Image.height());
}

QFont LoadFont(const QString& FileName)
{
    const int Id = QFontDatabase::addApplicationFont(FileName);
    const QStringList Families = QFontDatabase::applicationFontFamilies(Id);
    if (Id < 0 || Families.isEmpty())
        throw std::runtime_error("cannot load the font " + FileName.toStdString());
    QFont Font(Families.first());
    Font.setBold(true);
    Font.setHintingPreference(QFont::PreferNoHinting);
    return Font;
}

int Run(const QStringList& Arguments)
{
    QCommandLineParser Parser;
    Parser.setApplicationDescription("Draws the Zentavo 3D pictures.");
    Parser.addHelpOption();
    const QCommandLineOption LandOption("land", "TopoJSON land topology (object \"land\").", "file");
    const QCommandLineOption OutOption("out", "Folder for the pictures.", "folder");
    const QCommandLineOption FontOption("font", "Bold sans-serif font file for the labels.", "file",
                                        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    const QCommandLineOption PreviewOption(
        "preview", "Also render the clock's view at zone offset and local time, e.g. -3,10:31.", "gmt,hh:mm");
    const QCommandLineOption PreviewFileOption("preview-file", "Where the preview goes.", "file",
                                               "preview.png");
    const QCommandLineOption IconsOption("icons", "Also draw the desktop icon's sizes into this folder.",
                                         "folder");
    Parser.addOptions({LandOption, OutOption, FontOption, PreviewOption, PreviewFileOption, IconsOption});
    Parser.process(Arguments);
    if (!Parser.isSet(LandOption) || !Parser.isSet(OutOption)) {
        std::fprintf(stderr, "%s", qPrintable(Parser.helpText()));
        return 2;
    }

    const QFont Font = LoadFont(Parser.value(FontOption));
    const TLandTopology Land = TLandTopology::FromFile(Parser.value(LandOption), "land");
    QDir Folder(Parser.value(OutOption));
    if (!Folder.mkpath("."))
        throw std::runtime_error("cannot make the folder " + Folder.path().toStdString());

    const QImage Surface = PaintSurface(Land);
    const QImage HourDome = PaintHourDome(Font);
    const QImage MinuteDome = PaintMinuteDome(Font);
    Save(Surface, Folder, "SURFACE.bmp");
    Save(HourDome, Folder, "DOMO_H.bmp");
    Save(MinuteDome, Folder, "DOMO_M.bmp");
    Save(PaintMoon(), Folder, "MOON.bmp");
    Save(PaintSetupSkin(Font), Folder, "SETUP.bmp");
    Save(PaintTrayClock(), Folder, "CLOCK.png");
    if (Parser.isSet(IconsOption)) {
        QDir Icons(Parser.value(IconsOption));
        if (!Icons.mkpath("."))
            throw std::runtime_error("cannot make the folder " + Icons.path().toStdString());
        for (const int Size : {16, 24, 32, 48, 64, 128, 256})
            Save(PaintTrayClock(Size), Icons, QString("zentavo-3d-%1.png").arg(Size));
    }

    if (Parser.isSet(PreviewOption)) {
        const QRegularExpression Pattern(R"(^([+-]?\d{1,2}),(\d{1,2}):(\d{2})$)");
        const QRegularExpressionMatch Match = Pattern.match(Parser.value(PreviewOption));
        if (!Match.hasMatch())
            throw std::runtime_error("--preview wants zone,hh:mm, e.g. -3,10:31");
        const TGlobePose Pose(Match.captured(1).toInt(), Match.captured(2).toInt(),
                              Match.captured(3).toInt());
        const QImage Preview = RenderPreview(Pose, Surface, HourDome, MinuteDome);
        if (!Preview.save(Parser.value(PreviewFileOption)))
            throw std::runtime_error("cannot write the preview");
        std::printf("%s (preview)\n", qPrintable(Parser.value(PreviewFileOption)));
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    try {
        return Run(Application.arguments());
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo_pictures: %s\n", Error.what());
        return 1;
    }
}
