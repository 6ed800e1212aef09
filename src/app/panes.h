#pragma once
#include <QListWidget>

#include "document/user_group_view.h"

class CQuillonDoc;

namespace framework {
class CommandRouter;
}

// The users and groups pane as the frame creates it. It joins the
// document's views and the command route when it is created, and becomes
// the document's pane of its kind at its initial update, after every open.

class CUserGroupView : public QListWidget, public document::UserGroupViewInterface {
    Q_OBJECT
public:
    CUserGroupView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent = nullptr);

    void OnInitialUpdate();
    void OnUpdate(framework::View* sender, long hint, framework::HintObject hintObject) override;
    bool HasSelectedRow() const override;
    std::vector<std::u16string> SelectedRowTexts() const override;

private:
    CQuillonDoc& m_document;
};
