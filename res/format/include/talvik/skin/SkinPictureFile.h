#pragma once

// How the skin's pictures are stored in TalvikRES.rcc: their pixels as the
// program draws them, behind a small header, so loading one is a copy out of
// the resource file (which compresses them) instead of a PNG decode. The
// generator writes them, the windows read them.
//
// Layout, little-endian: "TPX1", width, height, QImage::Format (32-bit
// each), then height rows of width * 4 bytes.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace talvik::skin {

// The pixels of `image` in the stored form; `image` is first given the form
// a PNG decoder would give it (32 bits per pixel, with or without alpha), so
// a picture reads back exactly as its PNG did.
QByteArray encodeSkinPicture(const QImage& image);

// The picture stored in `data`; a null image when `data` is not one (wrong
// magic, sizes that do not match the data, a format we do not store).
QImage decodeSkinPicture(QByteArray data);

// The picture stored in the zstd frame `data` (how TalvikRES.rcc keeps most
// of them), decompressed straight into the memory the image keeps; a null
// image when the frame or the picture in it is damaged.
QImage decodeCompressedSkinPicture(const uchar* data, qsizetype size);

// Reads a picture from a resource path such as ":/skin/101.pix"; null when
// the resource is missing or damaged.
QImage readSkinPicture(const QString& path);

} // namespace talvik::skin
