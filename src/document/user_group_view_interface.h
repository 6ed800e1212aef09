#pragma once
#include <string>
#include <vector>

#include "framework/view.h"

namespace document {

// What the document asks of the users and groups pane (CUserGroupView):
// whether a row is selected, and the selected rows' entry names in row
// order. The pane registers itself with CQuillonDoc::RegisterUserGroupView
// and rebuilds the document's m_selection whenever its selection changes.
class UserGroupViewInterface : public framework::View {
public:
    ~UserGroupViewInterface() override;

    virtual bool HasSelectedRow() const = 0;
    virtual std::vector<std::u16string> SelectedRowTexts() const = 0;
};

} // namespace document
