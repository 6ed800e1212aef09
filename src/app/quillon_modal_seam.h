#pragma once
#include "framework/qt_modal_seam.h"

namespace platform {
class AccountServices;
}

namespace app {

// The running program's seam: the framework's boxes and file dialogs, and
// the configuration's editors and chooser as the administrator console's
// dialogs.
class QuillonModalSeam : public framework::QtModalSeam {
public:
    explicit QuillonModalSeam(platform::AccountServices& accounts);

    std::optional<CTSAppDataItem> EditLocation(const CTSAppDataItem& initial, QWidget* owner) override;
    std::optional<CTSUserScriptItem> EditLogonScript(const CTSUserScriptItem& initial, QWidget* owner) override;
    std::optional<std::vector<accounts::SelectionMap>> PickAccounts(QWidget* owner) override;

private:
    platform::AccountServices& m_accounts;
};

} // namespace app
