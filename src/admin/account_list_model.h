#pragma once
#include <QAbstractTableModel>
#include <QPixmap>
#include <QString>
#include <memory>
#include <vector>

#include "accounts/object_picker.h"

namespace admin {

// One object as the chooser shows it, its texts made once.
struct AccountRow {
    accounts::PickedObject object;
    QString name;
    QString qualified;    // DOMAIN\name
    QString domain;
    QString description;
    QString searchText;   // case-folded qualified name and description
    bool group = false;
};
using AccountRows = std::shared_ptr<const std::vector<AccountRow>>;

// The rows for a listing; made on the thread that listed it, so that a
// large directory costs the window nothing but the filtering.
AccountRows MakeAccountRows(std::vector<accounts::PickedObject> objects);

// The account chooser's rows: the users and groups listed from the system
// that match the text typed so far, after the objects the text designates
// in full (which a directory that does not enumerate may list nowhere).
class AccountListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kName, kType, kDescription, kDomain, kColumnCount };

    explicit AccountListModel(QObject* parent = nullptr);

    void SetListed(AccountRows rows);
    void SetResolved(const std::vector<accounts::PickedObject>& objects);
    // Rows whose DOMAIN\name or description holds the text, in any case.
    void SetFilter(const QString& text);

    const accounts::PickedObject& ObjectAt(int row) const { return Visible(row).object; }
    // What tells objects apart, so that a selection can outlast a refill.
    static QString KeyOf(const accounts::PickedObject& object);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const AccountRow& Visible(int row) const { return *m_visible[static_cast<std::size_t>(row)]; }
    // Changes the rows' sources inside one reset, then picks the rows anew.
    template <class Change>
    void Reset(Change change);

    AccountRows m_listed;
    std::vector<AccountRow> m_resolved;
    std::vector<const AccountRow*> m_visible;
    QString m_filter;  // case-folded
    QPixmap m_userImage;
    QPixmap m_groupImage;
};

} // namespace admin
