#pragma once
#include <QTreeView>
#include <string>
#include <vector>

#include "document/user_group_view_interface.h"

class CQuillonDoc;
class CTSUserDataItem;

namespace framework {
class CommandRouter;
}

namespace admin {
class UserGroupModel;
}

// The users and groups pane: every entry of the configuration as a row in
// collection order, any number of them selected. The selected rows are the
// document's selection, rebuilt on every change of a row; the other views
// hear of it only while some row is selected. A right click opens the
// "&Users and Groups" menu of the frame's menu bar in force.
class CUserGroupView : public QTreeView, public document::UserGroupViewInterface {
    Q_OBJECT
public:
    CUserGroupView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent = nullptr);
    ~CUserGroupView() override;

    // After every open: registers with the document and fills the rows.
    void OnInitialUpdate();
    // Refills the rows, none selected, unless this pane caused the change;
    // the document's selection is left as it is.
    void OnUpdate(framework::View* sender, long hint, framework::HintObject hintObject) override;
    bool HasSelectedRow() const override;
    std::vector<std::u16string> SelectedRowTexts() const override;

    void OnItemChanged();
    // The popup shown, or null when the menu in force has none.
    QMenu* OnRightClick(const QPoint& globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    std::vector<int> SelectedRows() const;  // ascending
    CTSUserDataItem* EntryOfRow(int row) const;

    CQuillonDoc& m_document;
    admin::UserGroupModel* m_model;
    bool m_bRefilling = false;
};
