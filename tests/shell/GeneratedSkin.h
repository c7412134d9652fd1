#pragma once

// Tests over the skin the build generated: the suite registers TalvikRES and
// reads pictures from it as the windows do.

#include "QtTestApp.h"

#include "talvik/skin/SkinPictureFile.h"
#include "talvik/layout/SkinLayout.h"

#include <QImage>
#include <QResource>
#include <gtest/gtest.h>

namespace talvik::test {

class CGeneratedSkinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qtApp();
        ASSERT_TRUE(QResource::registerResource(builtSkinPath()));
    }
    static void TearDownTestSuite() { QResource::unregisterResource(builtSkinPath()); }
    static QImage picture(int id, int resolution = 1) {
        return skin::readSkinPicture(QString::fromStdString(layout::picturePath(id, resolution)))
            .convertToFormat(QImage::Format_RGB32);
    }
};

} // namespace talvik::test
