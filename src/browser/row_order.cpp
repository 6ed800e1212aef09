#include "browser/row_order.h"

#include <algorithm>
#include <numeric>

#include <QCollatorSortKey>
#include <QHash>
#include <QLocale>

#include "browser/folder_model.h"

namespace browser {

namespace {

QLocale collationLocale()
{
    // The C locale compares code units and knows no numbers; the root
    // collation of English is the neutral choice for a session without one.
    QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

template <typename T>
int compare(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

RowOrder::RowOrder(int column, Qt::SortOrder order)
    : m_column(column), m_order(order), m_collator(collationLocale())
{
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int RowOrder::compareColumn(const FileEntry& a, const FileEntry& b)
{
    switch (m_column) {
    case FolderModel::SizeColumn:
        return compare(a.size, b.size);
    case FolderModel::ModifiedColumn:
        return compare(a.mtimeMs, b.mtimeMs);
    case FolderModel::TypeColumn:
        return m_collator.compare(m_types.typeOf(a).text, m_types.typeOf(b).text);
    default:
        return 0;
    }
}

bool RowOrder::less(const FileEntry& a, const FileEntry& b)
{
    if (a.isDir != b.isDir)
        return a.isDir;
    int r = compareColumn(a, b);
    if (r == 0)
        r = m_collator.compare(a.name, b.name);
    if (r == 0)
        r = QString::compare(a.name, b.name);
    return m_order == Qt::AscendingOrder ? r < 0 : r > 0;
}

std::vector<quint32> RowOrder::rankNames(const std::vector<FileEntry>& rows)
{
    // One sort key per row, compared bytewise: far cheaper than the collator
    // comparing each pair.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const FileEntry& e : rows)
        keys.push_back(m_collator.sortKey(e.name));
    std::vector<int> byName(rows.size());
    std::iota(byName.begin(), byName.end(), 0);
    std::sort(byName.begin(), byName.end(), [&](int a, int b) {
        const int r = keys[a].compare(keys[b]);
        return r != 0 ? r < 0 : QString::compare(rows[a].name, rows[b].name) < 0;
    });
    std::vector<quint32> ranks(rows.size());
    for (std::size_t k = 0; k < byName.size(); ++k)
        ranks[byName[k]] = quint32(k);
    return ranks;
}

RowOrder::Sorted RowOrder::sorted(const std::vector<FileEntry>& rows, const std::vector<quint32>* nameRanks)
{
    Sorted result;
    if (!nameRanks || nameRanks->size() != rows.size()) {
        result.nameRanks = rankNames(rows);
        nameRanks = &result.nameRanks;
    }
    const std::vector<quint32>& rank = *nameRanks;
    std::vector<int> typeRank;
    if (m_column == FolderModel::TypeColumn) {
        QHash<QString, int> rankOf;
        std::vector<QString> texts;
        typeRank.reserve(rows.size());
        for (const FileEntry& e : rows) {
            const QString text = m_types.typeOf(e).text;
            auto it = rankOf.constFind(text);
            if (it == rankOf.constEnd()) {
                it = rankOf.insert(text, int(texts.size()));
                texts.push_back(text);
            }
            typeRank.push_back(*it);
        }
        // Ranks in order of first sight so far; now in the order of the texts.
        std::vector<int> byText(texts.size());
        std::iota(byText.begin(), byText.end(), 0);
        std::sort(byText.begin(), byText.end(),
                  [&](int a, int b) { return m_collator.compare(texts[a], texts[b]) < 0; });
        std::vector<int> place(texts.size());
        for (int k = 0; k < int(byText.size()); ++k)
            place[byText[k]] = k;
        for (int& r : typeRank)
            r = place[r];
    }
    result.order.resize(rows.size());
    std::iota(result.order.begin(), result.order.end(), 0);
    const bool ascending = m_order == Qt::AscendingOrder;
    std::sort(result.order.begin(), result.order.end(), [&](int ia, int ib) {
        const FileEntry& a = rows[ia];
        const FileEntry& b = rows[ib];
        if (a.isDir != b.isDir)
            return a.isDir;
        int r = 0;
        if (m_column == FolderModel::TypeColumn)
            r = compare(typeRank[ia], typeRank[ib]);
        else if (m_column != FolderModel::NameColumn)
            r = compareColumn(a, b);
        if (r == 0)
            r = compare(rank[ia], rank[ib]);
        return ascending ? r < 0 : r > 0;
    });
    return result;
}

} // namespace browser
