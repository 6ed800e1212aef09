#include "platform/mounts.h"

#include <sstream>

namespace platform {

namespace {

// Mount points are written with space, tab, newline and backslash as \ooo.
std::string Unescape(const std::string& field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3'
            && field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool Holds(const std::string& mountPoint, const std::string& path)
{
    if (mountPoint == "/")
        return !path.empty() && path.front() == '/';
    return path.compare(0, mountPoint.size(), mountPoint) == 0
           && (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

} // namespace

std::string MountPointIn(const std::string& path, const std::string& mountTable)
{
    std::istringstream lines(mountTable);
    std::string line;
    std::string best;
    bool found = false;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        if (!(fields >> id >> parent >> device >> root >> mountPoint))
            continue;
        mountPoint = Unescape(mountPoint);
        if (Holds(mountPoint, path) && (!found || mountPoint.size() > best.size())) {
            best = mountPoint;
            found = true;
        }
    }
    return best;
}

} // namespace platform
