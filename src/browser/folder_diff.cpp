#include "browser/folder_diff.h"

#include <algorithm>

#include <QHash>

#include "browser/row_order.h"

namespace browser {

namespace {

// Each row inserted alone costs the view a little; beyond this many new rows
// appending them and sorting once is cheaper.
constexpr std::size_t kMaxPlaced = 64;

} // namespace

FolderDiff diffFolder(const std::vector<FileEntry>& shown, std::vector<FileEntry>&& fresh, RowOrder* order)
{
    FolderDiff diff;
    QHash<QString, int> freshIndex;
    freshIndex.reserve(qsizetype(fresh.size()));
    for (int i = 0; i < int(fresh.size()); ++i)
        freshIndex.insert(fresh[i].name, i);
    std::vector<char> kept(fresh.size(), 0);
    for (int i = 0; i < int(shown.size()); ++i) {
        const FileEntry& old = shown[i];
        auto it = freshIndex.constFind(old.name);
        // A file that became a folder (or back) moves to the other group.
        if (it == freshIndex.constEnd() || fresh[*it].isDir != old.isDir) {
            diff.removed.push_back(i);
            continue;
        }
        kept[*it] = 1;
        const FileEntry& now = fresh[*it];
        if (now.size != old.size || now.mtimeMs != old.mtimeMs || now.isSymLink != old.isSymLink
            || now.isHidden != old.isHidden)
            diff.changed.emplace_back(i, now);
    }
    std::vector<FileEntry> added;
    for (int j = 0; j < int(fresh.size()); ++j)
        if (!kept[j])
            added.push_back(std::move(fresh[j]));
    if (!order || added.size() > kMaxPlaced) {
        for (auto& e : added)
            diff.added.emplace_back(-1, std::move(e));
        return diff;
    }
    std::sort(added.begin(), added.end(), [order](const FileEntry& a, const FileEntry& b) { return order->less(a, b); });
    std::vector<const FileEntry*> remaining;
    remaining.reserve(shown.size());
    std::size_t r = 0;
    for (int i = 0; i < int(shown.size()); ++i) {
        if (r < diff.removed.size() && diff.removed[r] == i) {
            ++r;
            continue;
        }
        remaining.push_back(&shown[i]);
    }
    for (int k = 0; k < int(added.size()); ++k) {
        auto at = std::lower_bound(remaining.begin(), remaining.end(), &added[k],
                                   [order](const FileEntry* a, const FileEntry* b) { return order->less(*a, *b); });
        diff.added.emplace_back(int(at - remaining.begin()) + k, std::move(added[k]));
    }
    return diff;
}

} // namespace browser
