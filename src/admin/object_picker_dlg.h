#pragma once
#include <QDialog>
#include <vector>

#include "accounts/object_picker.h"

class QLineEdit;
class QListWidget;
class QWidget;

namespace platform {
class AccountServices;
}

// The chooser of users and groups: the accounts the system knows, a filter
// box, and a field for a name typed by hand. On OK the chosen objects become
// the picker's selection maps, in the order of the list and then the typed
// name's matches.
class CObjectPickerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CObjectPickerDlg(platform::AccountServices& services, QWidget* parent = nullptr);

    accounts::CObjectPicker& Picker() { return m_picker; }
    const std::vector<accounts::SelectionMap>& Selections() const { return m_picker.m_selections; }

    // The objects that OK would choose now.
    std::vector<accounts::PickedObject> ChosenObjects() const;

    void accept() override;

private:
    void ApplyFilter(const QString& text);

    platform::AccountServices& m_services;
    accounts::CObjectPicker m_picker;
    std::vector<accounts::PickedObject> m_objects;  // one per list row
    QLineEdit* m_filter;
    QListWidget* m_list;
    QLineEdit* m_typed;
};
