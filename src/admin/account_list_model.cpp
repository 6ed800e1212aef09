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

} // namespace

AccountListModel::AccountListModel(QObject* parent)
    : QAbstractTableModel(parent), m_userImage(AccountImage(false)), m_groupImage(AccountImage(true))
{
}

AccountListModel::Item AccountListModel::MakeItem(const accounts::PickedObject& object)
{
    Item item;
    item.object = object;
    std::u16string domain;
    accounts::SplitADsPath(object.adsPath, &domain, nullptr);
    item.domain = ToQString(domain);
    item.qualified = item.domain + QLatin1Char('\\') + ToQString(object.name);
    item.description = object.description ? ToQString(*object.description) : QString();
    item.searchText = (item.qualified + QLatin1Char('\n') + item.description).toCaseFolded();
    item.group = object.className != u"user";
    return item;
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
    for (const Item& item : m_resolved)
        m_visible.push_back(&item);
    const auto resolved = static_cast<std::ptrdiff_t>(m_visible.size());
    for (const Item& item : m_listed) {
        if (!m_filter.isEmpty() && !item.searchText.contains(m_filter))
            continue;
        // An object the typed name found is already at the top.
        if (resolved && std::any_of(m_visible.begin(), m_visible.begin() + resolved,
                                    [&](const Item* r) { return SameObject(r->object, item.object); }))
            continue;
        m_visible.push_back(&item);
    }
    endResetModel();
}

void AccountListModel::SetListed(const std::vector<accounts::PickedObject>& objects)
{
    Reset([&] {
        m_listed.clear();
        m_listed.reserve(objects.size());
        for (const auto& object : objects)
            m_listed.push_back(MakeItem(object));
    });
}

void AccountListModel::SetResolved(const std::vector<accounts::PickedObject>& objects)
{
    Reset([&] {
        m_resolved.clear();
        for (const auto& object : objects)
            m_resolved.push_back(MakeItem(object));
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
    const Item& item = Visible(index.row());
    if (role == Qt::DecorationRole && index.column() == kName)
        return item.group ? m_groupImage : m_userImage;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case kName: return ToQString(item.object.name);
    case kType: return item.group ? QStringLiteral("Group") : QStringLiteral("User");
    case kDescription: return item.description;
    case kDomain: return item.domain;
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
