#include "app/quillon_modal_seam.h"

#include <QDialog>

#include "admin/edit_location_dlg.h"
#include "admin/edit_script_dlg.h"
#include "admin/object_picker_dlg.h"

namespace app {

QuillonModalSeam::QuillonModalSeam(platform::AccountServices& accounts) : m_accounts(accounts) {}

std::optional<CTSAppDataItem> QuillonModalSeam::EditLocation(const CTSAppDataItem& initial, QWidget* owner)
{
    CEditLocationDlg editor(*this, owner ? owner : MainWindow());
    editor.LoadFromItem(initial);
    if (RunDialog(editor) != QDialog::Accepted)
        return std::nullopt;
    CTSAppDataItem edited;
    editor.StoreToItem(edited);
    return edited;
}

std::optional<CTSUserScriptItem> QuillonModalSeam::EditLogonScript(const CTSUserScriptItem& initial, QWidget* owner)
{
    CEditScriptDlg editor(*this, owner ? owner : MainWindow());
    editor.LoadFromItem(initial);
    if (RunDialog(editor) != QDialog::Accepted)
        return std::nullopt;
    CTSUserScriptItem edited;
    editor.StoreToItem(edited);
    return edited;
}

std::optional<std::vector<accounts::SelectionMap>> QuillonModalSeam::PickAccounts(QWidget* owner)
{
    CObjectPickerDlg picker(m_accounts, owner ? owner : MainWindow());
    picker.Picker().Init(accounts::CObjectPicker::kModeUsersAndGroups);
    if (RunDialog(picker) != QDialog::Accepted)
        return std::nullopt;
    return picker.Selections();
}

} // namespace app
