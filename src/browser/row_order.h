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

    struct Sorted {
        std::vector<int> order;          // indices of the rows in this order
        std::vector<quint32> nameRanks;  // per row, when they had to be worked out
    };
    // Comparing names is the costly part (about a second per 100,000 rows
    // compared pair by pair), so each row's place among the names is kept:
    // given `nameRanks` (one per row, from an earlier result) names are not
    // compared again.
    Sorted sorted(const std::vector<FileEntry>& rows, const std::vector<quint32>* nameRanks = nullptr);
    bool less(const FileEntry& a, const FileEntry& b);

private:
    int compareColumn(const FileEntry& a, const FileEntry& b);
    std::vector<quint32> rankNames(const std::vector<FileEntry>& rows);

    int m_column;
    Qt::SortOrder m_order;
    QCollator m_collator;
    TypeLookup m_types;
};

} // namespace browser
