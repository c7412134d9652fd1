// Draws every picture of the skin and writes them, with a resource list that
// names each by its number, into the output folder given as the argument.
// The build packs that list into TalvikRES.rcc.

#include "MainPicture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace {

using talvik::skin::Look;

std::map<int, QImage> drawAllPictures() {
    std::map<int, QImage> pictures;
    for (int model = 1; model <= 4; ++model) {
        const talvik::layout::MainPictureIds ids = talvik::layout::mainPictureIds(model);
        pictures[ids.normal] = talvik::skin::drawMainPicture(model, Look::Normal);
        pictures[ids.hover] = talvik::skin::drawMainPicture(model, Look::Hover);
        pictures[ids.active] = talvik::skin::drawMainPicture(model, Look::Active);
    }
    return pictures;
}

// Writes the pictures of one prefix and lists them in the resource list.
bool writeGroup(const QString& outDir, const QString& prefix, const std::map<int, QImage>& pictures,
                QTextStream& list) {
    QDir().mkpath(outDir + QLatin1Char('/') + prefix);
    list << "  <qresource prefix=\"/" << prefix << "\">\n";
    for (const auto& [id, image] : pictures) {
        const QString name = QString::number(id) + QStringLiteral(".png");
        if (!image.save(outDir + QLatin1Char('/') + prefix + QLatin1Char('/') + name, "PNG")) {
            std::fprintf(stderr, "cannot write picture %d\n", id);
            return false;
        }
        list << "    <file alias=\"" << name << "\">" << prefix << "/" << name << "</file>\n";
    }
    list << "  </qresource>\n";
    return true;
}

bool writeAll(const QString& outDir, const std::map<int, QImage>& pictures) {
    QDir().mkpath(outDir);
    QFile qrc(outDir + QStringLiteral("/TalvikRES.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return false;
    }
    QTextStream list(&qrc);
    list << "<RCC>\n";
    const std::map<int, QImage> icons = {
        {talvik::layout::kProgramIconId, talvik::skin::drawProgramIcon(64)}};
    const bool written = writeGroup(outDir, QStringLiteral("skin"), pictures, list) &&
                         writeGroup(outDir, QStringLiteral("icon"), icons, list);
    list << "</RCC>\n";
    return written;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    return writeAll(QString::fromLocal8Bit(argv[1]), drawAllPictures()) ? 0 : 1;
}
