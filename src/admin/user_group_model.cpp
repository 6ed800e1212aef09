#include "admin/user_group_model.h"

#include "admin/account_images.h"

namespace admin {

UserGroupModel::UserGroupModel(QObject* parent)
    : QAbstractListModel(parent), m_userImage(AccountImage(false)), m_groupImage(AccountImage(true))
{
}

void UserGroupModel::Reset(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int UserGroupModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant UserGroupModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = At(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return row.text;
    case Qt::DecorationRole: return row.group ? m_groupImage : m_userImage;
    default: return {};
    }
}

QVariant UserGroupModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("User/Group");
    return QAbstractListModel::headerData(section, orientation, role);
}

} // namespace admin
