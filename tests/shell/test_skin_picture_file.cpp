// The stored form of the skin's pictures: what goes in comes out pixel for
// pixel, and a damaged resource reads as no picture, never as a crash.

#include "talvik/skin/SkinPictureFile.h"

#include <QImage>
#include <gtest/gtest.h>
#include <zstd.h>

using talvik::skin::decodeCompressedSkinPicture;
using talvik::skin::decodeSkinPicture;
using talvik::skin::encodeSkinPicture;

namespace {

QImage sample(QImage::Format format, int width = 7, int height = 3) {
    QImage image(width, height, format);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba(x * 30, y * 80, 255 - x * 20, 255 - x * y * 10));
        }
    }
    return image;
}

TEST(SkinPictureFile, PicturesComeBackPixelForPixelInTheFormAPngGives) {
    const QImage opaque = sample(QImage::Format_RGB32);
    const QImage read = decodeSkinPicture(encodeSkinPicture(opaque));
    EXPECT_EQ(read.format(), QImage::Format_RGB32);
    EXPECT_EQ(read, opaque);

    const QImage translucent = sample(QImage::Format_ARGB32_Premultiplied);
    const QImage readBack = decodeSkinPicture(encodeSkinPicture(translucent));
    EXPECT_EQ(readBack.format(), QImage::Format_ARGB32);
    EXPECT_EQ(readBack, translucent.convertToFormat(QImage::Format_ARGB32));
}

TEST(SkinPictureFile, DamagedDataIsNoPicture) {
    const QByteArray good = encodeSkinPicture(sample(QImage::Format_RGB32));
    EXPECT_TRUE(decodeSkinPicture(QByteArray()).isNull());
    EXPECT_TRUE(decodeSkinPicture(good.left(good.size() - 1)).isNull()) << "a row cut short";
    EXPECT_TRUE(decodeSkinPicture(good + "x").isNull()) << "bytes beyond the last row";
    QByteArray magic = good;
    magic[0] = 'P';
    EXPECT_TRUE(decodeSkinPicture(magic).isNull());
    QByteArray huge = good;
    huge[7] = '\x7f'; // width far beyond any picture, and beyond the data
    EXPECT_TRUE(decodeSkinPicture(huge).isNull());
    QByteArray format = good;
    format[12] = static_cast<char>(QImage::Format_Mono);
    EXPECT_TRUE(decodeSkinPicture(format).isNull());
    EXPECT_TRUE(talvik::skin::readSkinPicture(QStringLiteral(":/no/such.pix")).isNull());
}

QByteArray compressed(const QByteArray& bytes) {
    QByteArray out(static_cast<qsizetype>(ZSTD_compressBound(bytes.size())), '\0');
    out.resize(static_cast<qsizetype>(
        ZSTD_compress(out.data(), out.size(), bytes.constData(), bytes.size(), 3)));
    return out;
}

QImage decodeCompressed(const QByteArray& frame) {
    return decodeCompressedSkinPicture(reinterpret_cast<const uchar*>(frame.constData()),
                                       frame.size());
}

// How the skin file keeps its pictures: small ones, and ones of several
// megabytes that are decompressed into memory of their own (with 2 MB pages
// where the system has them), both whole and exact.
TEST(SkinPictureFile, CompressedPicturesOfEverySizeComeBackExactly) {
    for (const QSize size : {QSize(7, 3), QSize(1024, 512), QSize(1240, 670), QSize(2480, 1340)}) {
        const QImage picture = sample(QImage::Format_RGB32, size.width(), size.height());
        const QImage read = decodeCompressed(compressed(encodeSkinPicture(picture)));
        EXPECT_EQ(read, picture) << size.width() << "x" << size.height();
    }
    // The image keeps its memory however it is copied, and a change detaches it.
    QImage copy;
    {
        const QImage read = decodeCompressed(
            compressed(encodeSkinPicture(sample(QImage::Format_ARGB32, 1240, 670))));
        copy = read;
    }
    EXPECT_EQ(copy, sample(QImage::Format_ARGB32, 1240, 670));
    copy.setPixel(0, 0, 0);
    EXPECT_EQ(copy.pixel(0, 0), 0U);
}

TEST(SkinPictureFile, DamagedCompressedDataIsNoPicture) {
    const QByteArray stored = encodeSkinPicture(sample(QImage::Format_RGB32, 1240, 670));
    const QByteArray frame = compressed(stored);
    EXPECT_TRUE(decodeCompressed(QByteArray()).isNull());
    EXPECT_TRUE(decodeCompressed(frame.left(frame.size() / 2)).isNull()) << "a frame cut short";
    EXPECT_TRUE(decodeCompressed(QByteArray("not a zstd frame at all")).isNull());
    EXPECT_TRUE(decodeCompressed(compressed(stored.left(stored.size() - 4))).isNull())
        << "a picture a pixel short";
    QByteArray magic = stored;
    magic[0] = 'P';
    EXPECT_TRUE(decodeCompressed(compressed(magic)).isNull());
    EXPECT_TRUE(decodeCompressed(compressed(QByteArray(8, 'T'))).isNull())
        << "shorter than a header";
    QByteArray corrupt = frame;
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x5A);
    corrupt[corrupt.size() - 1] = static_cast<char>(corrupt[corrupt.size() - 1] ^ 0x5A);
    const QImage fromCorrupt = decodeCompressed(corrupt);
    EXPECT_TRUE(fromCorrupt.isNull() || fromCorrupt.size() == QSize(1240, 670))
        << "damage inside the frame gives no picture or one of the stored size, never a crash";
}

} // namespace
