#include "browser/row_order.h"

#include <algorithm>
#include <numeric>

#include <QCollatorSortKey>
#include <QHash>
#include <QLocale>

#include "browser/folder_model.h"

namespace browser {

namespace {

QLocale CollationLocale()
{
    // The C locale compares code units and knows no numbers; the root
    // collation of English is the neutral choice for a session without one.
    QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

template <typename T>
int Compare(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

RowOrder::RowOrder(int column, Qt::SortOrder order)
    : m_column(column), m_order(order), m_collator(CollationLocale())
{
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int RowOrder::compareColumn(const FileEntry& a, const FileEntry& b)
{
    switch (m_column) {
    case FolderModel::SizeColumn:
        return Compare(a.size, b.size);
    case FolderModel::ModifiedColumn:
        return Compare(a.mtimeMs, b.mtimeMs);
    case FolderModel::TypeColumn:
        return m_collator.compare(m_types.typeOf(a).comment(), m_types.typeOf(b).comment());
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

std::vector<int> RowOrder::sorted(const std::vector<FileEntry>& rows)
{
    // Sort keys and ranks once per row: a collator comparison per pair would
    // cost a second for 100,000 rows.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const FileEntry& e : rows)
        keys.push_back(m_collator.sortKey(e.name));
    std::vector<int> typeRank;
    if (m_column == FolderModel::TypeColumn) {
        QHash<QString, int> rankOf;
        std::vector<QString> texts;
        for (const FileEntry& e : rows) {
            const QString text = m_types.typeOf(e).comment();
            if (!rankOf.contains(text)) {
                rankOf.insert(text, 0);
                texts.push_back(text);
            }
        }
        std::sort(texts.begin(), texts.end(),
                  [this](const QString& a, const QString& b) { return m_collator.compare(a, b) < 0; });
        for (int i = 0; i < int(texts.size()); ++i)
            rankOf[texts[i]] = i;
        typeRank.reserve(rows.size());
        for (const FileEntry& e : rows)
            typeRank.push_back(rankOf.value(m_types.typeOf(e).comment()));
    }
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    const bool ascending = m_order == Qt::AscendingOrder;
    std::sort(order.begin(), order.end(), [&](int ia, int ib) {
        const FileEntry& a = rows[ia];
        const FileEntry& b = rows[ib];
        if (a.isDir != b.isDir)
            return a.isDir;
        int r = 0;
        if (m_column == FolderModel::TypeColumn)
            r = Compare(typeRank[ia], typeRank[ib]);
        else if (m_column != FolderModel::NameColumn)
            r = compareColumn(a, b);
        if (r == 0)
            r = keys[ia].compare(keys[ib]);
        if (r == 0)
            r = QString::compare(a.name, b.name);
        return ascending ? r < 0 : r > 0;
    });
    return order;
}

} // namespace browser
