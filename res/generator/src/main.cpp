// Draws every picture of the skin and writes them, with a resource list that
// names each by its number, into the output folder given as the argument.
// The build packs that list into TalvikRES.rcc. The program's icon for the
// desktop goes to the folder's icons/ at every installed size.

#include "talvik/skin/DevicePictures.h"
#include "talvik/skin/KeyMapPicture.h"
#include "talvik/skin/MainPicture.h"
#include "talvik/skin/ProgramIcon.h"
#include "talvik/skin/SkinPictureFile.h"
#include "talvik/skin/ProgressPicture.h"
#include "talvik/skin/ScrollBarPicture.h"
#include "talvik/skin/ThemeIcons.h"
#include "talvik/skin/VirtualKeyboardPicture.h"
#include "talvik/skin/WaitPicture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace {

using talvik::skin::PictureSet;

// Only a round trip through PNG: no need to spend time compressing.
constexpr int kFastPngQuality = 100;

// Every window's pictures register here.
PictureSet allPictures() {
    PictureSet pictures;
    talvik::skin::addMainPictures(pictures);
    talvik::skin::addBacklightPictures(pictures);
    talvik::skin::addFirmwarePictures(pictures);
    talvik::skin::addKeyMapPictures(pictures);
    talvik::skin::addProgressPictures(pictures);
    talvik::skin::addScrollBarPicture(pictures);
    talvik::skin::addVirtualKeyboardPictures(pictures);
    talvik::skin::addWaitPictures(pictures);
    return pictures;
}

// The picture exactly as the program saw it when the skin held PNGs: written
// as PNG and read back, then kept in the stored form.
QByteArray storedPixels(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", kFastPngQuality);
    return talvik::skin::encodeSkinPicture(QImage::fromData(png, "PNG"));
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Writes one folder of pictures, in the stored form the program reads without
// an image decoder, and lists them in the resource list.
bool writeGroup(const QString& outDir, const QString& prefix, const std::map<int, QImage>& pictures,
                QTextStream& list) {
    QDir().mkpath(outDir + QLatin1Char('/') + prefix);
    list << "  <qresource prefix=\"/" << prefix << "\">\n";
    for (const auto& [id, image] : pictures) {
        const QString name = QString::number(id) + QStringLiteral(".pix");
        const QString path = outDir + QLatin1Char('/') + prefix + QLatin1Char('/') + name;
        if (!writeFile(path, storedPixels(image))) {
            std::fprintf(stderr, "cannot write picture %d\n", id);
            return false;
        }
        list << "    <file alias=\"" << name << "\">" << prefix << "/" << name << "</file>\n";
    }
    list << "  </qresource>\n";
    return true;
}

// Draws the whole set at one resolution and writes it to that resolution's folder.
bool writeResolution(const QString& outDir, const PictureSet& set, int resolution,
                     QTextStream& list) {
    std::map<int, QImage> pictures;
    for (const auto& [id, draw] : set) {
        pictures[id] = draw(resolution);
    }
    const QString folder = QString::fromStdString(talvik::layout::pictureFolder(resolution));
    return writeGroup(outDir, folder, pictures, list);
}

bool writeAll(const QString& outDir, const PictureSet& set) {
    QDir().mkpath(outDir);
    QFile qrc(outDir + QStringLiteral("/TalvikRES.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return false;
    }
    QTextStream list(&qrc);
    list << "<RCC>\n";
    bool written = true;
    for (const int resolution : talvik::layout::kPictureResolutions) {
        written = written && writeResolution(outDir, set, resolution, list);
    }
    const std::map<int, QImage> icons = {
        {talvik::layout::kProgramIconId, talvik::skin::drawProgramIcon(64)}};
    written = written && writeGroup(outDir, QStringLiteral("icon"), icons, list);
    list << "</RCC>\n";
    return written;
}

// talvik-<size>.png for every desktop icon size, and talvik.svg.
bool writeDesktopIcons(const QString& outDir) {
    const QString dir = outDir + QStringLiteral("/icons");
    QDir().mkpath(dir);
    for (const int size : talvik::skin::kDesktopIconSizes) {
        const QString name = QStringLiteral("%1/talvik-%2.png").arg(dir).arg(size);
        if (!talvik::skin::drawProgramIcon(size).save(name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return false;
        }
    }
    QFile svg(dir + QStringLiteral("/talvik.svg"));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(talvik::skin::programIconSvg()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!writeAll(outDir, allPictures()) || !writeDesktopIcons(outDir)) {
        return 1;
    }
    const QStringList missing = talvik::skin::missingThemeIcons();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "the icon theme in %s lacks: %s (install adwaita-icon-theme)\n",
                     qPrintable(talvik::skin::themeIconFolder()), qPrintable(missing.join(", ")));
        return 1;
    }
    return 0;
}
