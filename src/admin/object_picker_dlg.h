#pragma once
#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "accounts/object_picker.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace platform {
class AccountServices;
}

namespace admin {
class AccountListModel;
class AccountQueries;
struct AccountRow;
} // namespace admin

// The chooser of users and groups. Every user and group the system lists
// is searched as the administrator types; the listing runs on a thread of
// its own from the moment the dialog is shown. A name typed in full is also
// looked up directly, so that domain accounts a directory does not list can
// be chosen, and a name that designates nothing is said to be unknown. On
// OK the selected rows become the picker's selection maps, in row order;
// with none selected, the object the typed name designates does (the user
// when a group has the same name, as a user's own group has).
class CObjectPickerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CObjectPickerDlg(platform::AccountServices& services, QWidget* parent = nullptr);
    ~CObjectPickerDlg() override;

    accounts::CObjectPicker& Picker() { return m_picker; }
    const std::vector<accounts::SelectionMap>& Selections() const { return m_picker.m_selections; }

    void accept() override;

signals:
    // The listing or a typed name's lookup has arrived and is shown.
    void listingShown();
    void lookupShown();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTextChanged(const QString& text);
    void OnListed(const std::shared_ptr<const std::vector<admin::AccountRow>>& rows);
    void OnResolved(const QString& typed, const std::vector<accounts::PickedObject>& objects);
    // Applies a change of the rows and keeps the selected objects selected.
    template <class Change>
    void KeepingSelection(Change change);
    std::vector<accounts::PickedObject> SelectedObjects() const;
    void UpdateStatus();
    QString Typed() const;

    accounts::CObjectPicker m_picker;
    admin::AccountQueries* m_queries;
    admin::AccountListModel* m_model;
    QLineEdit* m_search;
    QTreeView* m_list;
    QLabel* m_status;
    QPushButton* m_ok;  // enabled while something is selected or typed
    std::vector<accounts::PickedObject> m_found;  // what the typed name designates
    bool m_bFoundCurrent = false;                 // m_found answers the text as it is now
    bool m_bAcceptPending = false;                // OK waits for the typed name's lookup
    bool m_bAcceptRefused = false;                // OK found nothing the name designates
};
