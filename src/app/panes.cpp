#include "app/panes.h"

#include <QHeaderView>

#include "document/quillon_doc.h"
#include "framework/command_router.h"

CLeftView::CLeftView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent)
    : QTreeWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("CLeftView"));
    header()->hide();
    document.AddView(this);
    router.AddView(this, this);
}

void CLeftView::OnInitialUpdate()
{
    m_document.RegisterLocationsView(*this);
    OnUpdate(nullptr, 0, {});
}

void CLeftView::OnUpdate(framework::View*, long, framework::HintObject) {}

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
