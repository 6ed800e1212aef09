#include "admin/account_images.h"

#include <QImage>

#include "bitmaps/bitmap194.xpm"

namespace admin {

QPixmap AccountImage(bool group)
{
    constexpr int kImageSize = 16;
    // An image, not a pixmap, may outlive the application object.
    static const QImage strip(bitmap194);
    return QPixmap::fromImage(strip.copy(group ? kImageSize : 0, 0, kImageSize, kImageSize));
}

} // namespace admin
