#pragma once
#include <QSize>
#include <QString>
#include <vector>

namespace app {

// One toolbar resource: its image strip (one image per button, left to
// right, each of the stated size) and its buttons with their labels. The
// tool tips come from the command table.
struct ToolBarButton {
    int id = 0;
    QString label;
};

struct ToolBarLayout {
    int resourceId = 0;
    QSize imageSize;
    std::vector<ToolBarButton> buttons;

    QString ImagePath() const;  // the strip in the program's resources
};

const ToolBarLayout& NavigationBarLayout();  // 135
const ToolBarLayout& UserGroupBarLayout();   // 139, administrators only
const ToolBarLayout& SyncBarLayout();        // 141
const ToolBarLayout& LocationBarLayout();    // 143, administrators only

} // namespace app
