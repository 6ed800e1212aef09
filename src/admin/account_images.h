#pragma once
#include <QPixmap>

namespace admin {

// A 16 x 16 image of bitmap 194 that tells users and groups apart, in the
// users and groups pane and in the account chooser: image 0 for a user,
// image 1 for a group. Made anew on each call; callers keep their copy.
QPixmap AccountImage(bool group);

} // namespace admin
