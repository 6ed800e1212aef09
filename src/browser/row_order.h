#pragma once
#include <vector>

#include <QCollator>

#include "browser/file_entry.h"
#include "browser/type_lookup.h"

namespace browser {

// The order of rows in the view: folders first, then the chosen column, then
// the name as people read it (case ignored, "file2" before "file10"), then
// the exact name so that the order is total. Built and used on one thread.
class RowOrder {
public:
    RowOrder(int column, Qt::SortOrder order);

    // Indices of `rows` in this order.
    std::vector<int> sorted(const std::vector<FileEntry>& rows);
    bool less(const FileEntry& a, const FileEntry& b);

private:
    int compareColumn(const FileEntry& a, const FileEntry& b);

    int m_column;
    Qt::SortOrder m_order;
    QCollator m_collator;
    TypeLookup m_types;
};

} // namespace browser
