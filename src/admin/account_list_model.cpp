#include "admin/account_list_model.h"

#include "admin/account_images.h"
#include "admin/qt_text.h"

#include <algorithm>

namespace admin {

namespace {

bool SameObject(const accounts::PickedObject& a, const accounts::PickedObject& b)
{
    return a.className == b.className && a.adsPath == b.adsPath;
}

AccountRow MakeRow(accounts::PickedObject object)
{
    AccountRow row;
    std::u16string domain;
    accounts::SplitADsPath(object.adsPath, &domain, nullptr);
    row.name = ToQString(object.name);
    row.domain = ToQString(domain);
    row.qualified = row.domain + QLatin1Char('\\') + row.name;
    row.description = object.description ? ToQString(*object.description) : QString();
    row.searchText = (row.qualified + QLatin1Char('\n') + row.description).toCaseFolded();
    row.group = object.className != u"user";
    row.object = std::move(object);
    return row;
}

} // namespace

AccountRows MakeAccountRows(std::vector<accounts::PickedObject> objects)
{
    auto rows = std::make_shared<std::vector<AccountRow>>();
    rows->reserve(objects.size());
    for (auto& object : objects)
        rows->push_back(MakeRow(std::move(object)));
    return rows;
}

AccountListModel::AccountListModel(QObject* parent)
    : QAbstractTableModel(parent), m_userImage(AccountImage(false)), m_groupImage(AccountImage(true))
{
}

QString AccountListModel::KeyOf(const accounts::PickedObject& object)
{
    return ToQString(object.className) + QLatin1Char(' ') + ToQString(object.adsPath);
}

template <class Change>
void AccountListModel::Reset(Change change)
{
    beginResetModel();
    change();
    m_visible.clear();
    for (const AccountRow& row : m_resolved)
        m_visible.push_back(&row);
    const auto resolved = static_cast<std::ptrdiff_t>(m_visible.size());
    static const std::vector<AccountRow> none;
    for (const AccountRow& item : m_listed ? *m_listed : none) {
        if (!m_filter.isEmpty() && !item.searchText.contains(m_filter))
            continue;
        // An object the typed name found is already at the top.
        if (resolved && std::any_of(m_visible.begin(), m_visible.begin() + resolved,
                                    [&](const AccountRow* r) { return SameObject(r->object, item.object); }))
            continue;
        m_visible.push_back(&item);
    }
    endResetModel();
}

void AccountListModel::SetListed(AccountRows rows)
{
    Reset([&] { m_listed = std::move(rows); });
}

void AccountListModel::SetResolved(const std::vector<accounts::PickedObject>& objects)
{
    Reset([&] {
        m_resolved.clear();
        for (const auto& object : objects)
            m_resolved.push_back(MakeRow(object));
    });
}

void AccountListModel::SetFilter(const QString& text)
{
    Reset([&] { m_filter = text.trimmed().toCaseFolded(); });
}

int AccountListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_visible.size());
}

int AccountListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant AccountListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const AccountRow& row = Visible(index.row());
    if (role == Qt::DecorationRole && index.column() == kName)
        return row.group ? m_groupImage : m_userImage;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case kName: return row.name;
    case kType: return row.group ? QStringLiteral("Group") : QStringLiteral("User");
    case kDescription: return row.description;
    case kDomain: return row.domain;
    default: return {};
    }
}

QVariant AccountListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[kColumnCount] = {"Name", "Type", "Description", "Domain"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumnCount)
        return QString::fromLatin1(titles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace admin
