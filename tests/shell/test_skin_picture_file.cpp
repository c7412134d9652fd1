// The stored form of the skin's pictures: what goes in comes out pixel for
// pixel, and a damaged resource reads as no picture, never as a crash.

#include "talvik/skin/SkinPictureFile.h"

#include <QImage>
#include <gtest/gtest.h>

using talvik::skin::decodeSkinPicture;
using talvik::skin::encodeSkinPicture;

namespace {

QImage sample(QImage::Format format) {
    QImage image(7, 3, format);
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

} // namespace
