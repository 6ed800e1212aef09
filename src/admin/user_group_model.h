#pragma once
#include <QAbstractListModel>
#include <QPixmap>
#include <QString>
#include <vector>

namespace admin {

// The rows of the users and groups pane: one per configuration entry, its
// name and whether it is a group. Filled in one go, so that tens of
// thousands of rows cost one reset rather than an insertion each.
class UserGroupModel : public QAbstractListModel {
    Q_OBJECT
public:
    struct Row {
        QString text;
        bool group = false;
    };

    explicit UserGroupModel(QObject* parent = nullptr);

    void Reset(std::vector<Row> rows);
    const Row& At(int row) const { return m_rows[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<Row> m_rows;
    QPixmap m_userImage;
    QPixmap m_groupImage;
};

} // namespace admin
