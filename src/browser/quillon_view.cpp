#include "browser/quillon_view.h"

#include "document/quillon_doc.h"
#include "framework/command_router.h"

CQuillonView::CQuillonView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("CQuillonView"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    document.AddView(this);
    router.AddView(this, this);
}

void CQuillonView::OnInitialUpdate() { m_document.RegisterBrowserView(*this); }
