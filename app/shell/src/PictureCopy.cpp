#include "talvik/shell/PictureCopy.h"

namespace talvik::shell {

void copyPicture(QPainter& p, const QRectF& target, const QImage& picture, const QRectF& source) {
    const qreal resolution = picture.devicePixelRatio();
    p.drawImage(target, picture,
                QRectF(source.x() * resolution, source.y() * resolution,
                       source.width() * resolution, source.height() * resolution));
}

} // namespace talvik::shell
