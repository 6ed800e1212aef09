#include "app/panes.h"

#include "document/quillon_doc.h"
#include "framework/command_router.h"

CUserGroupView::CUserGroupView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent)
    : QListWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("CUserGroupView"));
    document.AddView(this);
    router.AddView(this, this);
}

void CUserGroupView::OnInitialUpdate()
{
    m_document.RegisterUserGroupView(*this);
    OnUpdate(nullptr, 0, {});
}

void CUserGroupView::OnUpdate(framework::View*, long, framework::HintObject) {}

bool CUserGroupView::HasSelectedRow() const { return false; }

std::vector<std::u16string> CUserGroupView::SelectedRowTexts() const { return {}; }
