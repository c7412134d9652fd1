#include "talvik/skin/SkinPictureFile.h"

#include <QResource>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace talvik::skin {
namespace {

constexpr std::array<char, 4> kMagic = {'T', 'P', 'X', '1'};
constexpr qsizetype kHeaderBytes = 16;
constexpr int kMaxSide = 16384;

void putWord(QByteArray& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.append(static_cast<char>((value >> shift) & 0xFF));
    }
}

std::uint32_t wordAt(const QByteArray& data, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    }
    return value;
}

bool isStoredFormat(std::uint32_t format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

} // namespace

QByteArray encodeSkinPicture(const QImage& image) {
    const QImage stored = image.convertToFormat(
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const auto rowBytes = static_cast<qsizetype>(stored.width()) * 4;
    QByteArray out;
    out.reserve(kHeaderBytes + rowBytes * stored.height());
    out.append(kMagic.data(), kMagic.size());
    putWord(out, static_cast<std::uint32_t>(stored.width()));
    putWord(out, static_cast<std::uint32_t>(stored.height()));
    putWord(out, static_cast<std::uint32_t>(stored.format()));
    for (int y = 0; y < stored.height(); ++y) {
        out.append(reinterpret_cast<const char*>(stored.constScanLine(y)), rowBytes);
    }
    return out;
}

QImage decodeSkinPicture(QByteArray data) {
    if (data.size() < kHeaderBytes || std::memcmp(data.constData(), kMagic.data(), 4) != 0) {
        return {};
    }
    const std::uint32_t width = wordAt(data, 4);
    const std::uint32_t height = wordAt(data, 8);
    const std::uint32_t format = wordAt(data, 12);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        !isStoredFormat(format)) {
        return {};
    }
    const auto rowBytes = static_cast<qsizetype>(width) * 4;
    if (data.size() != kHeaderBytes + rowBytes * static_cast<qsizetype>(height)) {
        return {};
    }
    // The image uses the pixels where they are, in the bytes it keeps alive:
    // no second copy of a picture of several megabytes.
    // Bytes the resource file keeps uncompressed point into the file's
    // mapping, which ends with the resource: those are copied.
    auto* kept = new QByteArray(std::move(data));
    kept->detach();
    QImage image(reinterpret_cast<const uchar*>(kept->constData()) + kHeaderBytes,
                 static_cast<int>(width), static_cast<int>(height), rowBytes,
                 static_cast<QImage::Format>(format),
                 [](void* bytes) { delete static_cast<QByteArray*>(bytes); }, kept);
    if (image.isNull()) {
        delete kept;
    }
    return image;
}

QImage readSkinPicture(const QString& path) {
    const QResource resource(path);
    if (!resource.isValid()) {
        return {};
    }
    return decodeSkinPicture(resource.uncompressedData());
}

} // namespace talvik::skin
