#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QSettings>
#include <QShowEvent>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "admin/left_view.h"
#include "admin/user_group_view.h"
#include "app/app_resources.h"
#include "app/main_status_bar.h"
#include "app/rebar.h"
#include "app/splitter_positions.h"
#include "app/toolbar_layouts.h"
#include "browser/quillon_view.h"
#include "document/quillon_doc.h"
#include "framework/command_actions.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"

using namespace framework;

namespace {

// Help command numbers of the classic help call; the help page ignores them.
constexpr unsigned int kHelpContext = 1;
constexpr unsigned int kHelpFinder = 11;

// Size of each pane as it is created; the last column takes what is left.
constexpr int kInitialPaneSize = 100;
constexpr int kMinimumColumnWidth = 10;
// The last column keeps at least this part of the width when kept widths
// come back in a narrower window: a quarter.
constexpr int kLastColumnShare = 4;

} // namespace

CMainFrame::CMainFrame(bool administrator, CQuillonDoc& document, CommandRouter& router, CommandActions& actions,
                       app::FrameHost& host, QWidget* parent)
    : QMainWindow(parent),
      m_bAdministrator(administrator),
      m_document(document),
      m_router(router),
      m_actions(actions),
      m_host(host)
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowIcon(app::ApplicationIcon());
    setWindowTitle(FrameTitle(document.GetTitle()));
    connect(&document, &framework::Document::titleChanged, this,
            [this](const QString& title) { setWindowTitle(FrameTitle(title)); });
    RegisterCommands();
}

CMainFrame::~CMainFrame()
{
    // The panes go before the frame's command target does.
    delete takeCentralWidget();
}

QString CMainFrame::FrameTitle(const QString& documentTitle)
{
    return documentTitle + QStringLiteral(" - ") + QStringLiteral("Quillon");
}

bool CMainFrame::Create() { return OnCreate() == 0; }

int CMainFrame::OnCreate()
{
    m_bAdministratorView = m_bAdministrator;
    if (!OnCreateClient())
        return -1;
    return CreateBars() ? 0 : -1;
}

bool CMainFrame::OnCreateClient()
{
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_wndSplitter = new QSplitter(Qt::Horizontal, client);
    m_wndSplitter->setObjectName(QStringLiteral("splitter"));
    QList<QWidget*> panes;
    if (m_bAdministrator) {
        m_pUserGroupView = new CUserGroupView(m_document, m_router, m_wndSplitter);
        panes << m_pUserGroupView;
    }
    m_pLocationsView = new CLeftView(m_document, m_router, m_wndSplitter);
    m_pBrowserView = new CQuillonView(m_document, m_router, m_wndSplitter);
    // Back and Forward change when a navigation ends, not only after input.
    connect(m_pBrowserView, &CQuillonView::commandStateChanged, &m_actions, &framework::CommandActions::RequestRefresh);
    panes << m_pLocationsView << m_pBrowserView;
    for (QWidget* pane : panes) {
        m_wndSplitter->addWidget(pane);
        pane->setMinimumWidth(kMinimumColumnWidth);
        m_wndSplitter->setStretchFactor(m_wndSplitter->indexOf(pane), pane == panes.back() ? 1 : 0);
    }
    m_wndSplitter->setSizes(QList<int>(panes.size(), kInitialPaneSize));
    RestoreSplitterPositions();
    layout->addWidget(m_wndSplitter, 1);
    setCentralWidget(client);
    return true;
}

QToolBar* CMainFrame::CreateToolBar(const app::ToolBarLayout& layout)
{
    const QList<QPixmap> images = app::ToolBarImages(layout);
    if (std::any_of(images.begin(), images.end(), [](const QPixmap& image) { return image.isNull(); }))
        return nullptr;
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolbar%1").arg(layout.resourceId));
    bar->setIconSize(layout.imageSize);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
        QAction* action = m_actions.CreateToolBarAction(layout.buttons[i].id, layout.buttons[i].label, bar);
        action->setIcon(QIcon(images[static_cast<qsizetype>(i)]));
        bar->addAction(action);
    }
    // Every button of a bar gets the size of the largest, as on a toolbar
    // whose buttons all carry labels.
    QSize size;
    for (QAction* action : bar->actions())
        if (QWidget* button = bar->widgetForAction(action))
            size = size.expandedTo(button->sizeHint());
    for (QAction* action : bar->actions())
        if (QWidget* button = bar->widgetForAction(action))
            button->setFixedSize(size);
    return bar;
}

bool CMainFrame::CreateBars()
{
    m_wndReBar = new app::ReBar(centralWidget());
    m_wndReBar->setObjectName(QStringLiteral("rebar"));
    static_cast<QVBoxLayout*>(centralWidget()->layout())->insertWidget(0, m_wndReBar);

    if (m_bAdministrator) {
        if (!(m_wndUserGroupBar = CreateToolBar(app::UserGroupBarLayout())))
            return false;
        m_wndReBar->AddBand(m_wndUserGroupBar);
        if (!(m_wndLocationBar = CreateToolBar(app::LocationBarLayout())))
            return false;
        m_wndReBar->AddBand(m_wndLocationBar);
    }
    if (!(m_wndNavigationBar = CreateToolBar(app::NavigationBarLayout())))
        return false;
    m_wndReBar->AddBand(m_wndNavigationBar);
    if (!(m_wndSyncBar = CreateToolBar(app::SyncBarLayout())))
        return false;
    m_wndReBar->AddBand(m_wndSyncBar);
    m_wndReBar->MinimizeBand(0);

    m_wndStatusBar = new app::MainStatusBar(this);
    setStatusBar(m_wndStatusBar);

    m_actions.InstallAccelerators(this);
    // A user's frame never holds the administrator's menu, not even briefly.
    if (m_bAdministrator)
        SetMenu(IDR_MENU_ADMINISTRATOR);
    else
        SwitchToUserView();
    return true;
}

void CMainFrame::SetMenu(int menuId)
{
    // Replaces (and deletes) the bar in force; its actions live with it.
    setMenuBar(m_actions.BuildMenuBar(menuId, this));
    m_nMenuId = menuId;
}

void CMainFrame::SetFirstColumnWidth(int width)
{
    if (!m_wndSplitter || m_wndSplitter->count() < 3)
        return;
    QList<int> sizes = m_wndSplitter->sizes();
    int total = 0;
    for (int size : sizes)
        total += size;
    sizes[0] = width;
    sizes[2] = std::max(0, total - sizes[0] - sizes[1]);
    m_wndSplitter->setSizes(sizes);
}

// A face created for an administrator starts in the administrator view, any
// other in the user view: the face shown at start is the frame's own.
void CMainFrame::RestoreSplitterPositions()
{
    QSettings settings(QStringLiteral("Varnel Software"), QStringLiteral("Quillon"));
    const app::Face face = m_bAdministrator ? app::Face::Administrator : app::Face::User;
    if (const auto sizes = app::LoadSplitterSizes(settings, face, m_wndSplitter->count())) {
        m_wndSplitter->setSizes(*sizes);
        m_restoredSizes = *sizes;
    }
}

void CMainFrame::SaveSplitterPositions()
{
    // Before the window was first laid out the sizes are only the initial ones.
    if (!m_wndSplitter || !isVisible())
        return;
    QSettings settings(QStringLiteral("Varnel Software"), QStringLiteral("Quillon"));
    QList<int> sizes = m_wndSplitter->sizes();
    if (m_bAdministratorView) {
        app::SaveSplitterSizes(settings, app::Face::Administrator, sizes);
        return;
    }
    // The collapsed users and groups column is no part of the user face.
    if (m_bAdministrator)
        sizes.removeFirst();
    app::SaveSplitterSizes(settings, app::Face::User, sizes);
}

// Widths kept from a wider screen (a terminal server's users connect from
// clients of every size) shrink in step, so that the last column keeps a
// part of a narrower window; in a window as wide they come back as kept.
void CMainFrame::FitRestoredColumns()
{
    QList<int> sizes = m_restoredSizes;
    m_restoredSizes.clear();
    if (sizes.size() != m_wndSplitter->count())
        return;
    qint64 total = 0;
    for (int size : m_wndSplitter->sizes())
        total += size;
    qint64 leading = 0;
    for (int i = 0; i + 1 < sizes.size(); ++i)
        leading += sizes[i];
    const qint64 target = std::min(leading, total - total / kLastColumnShare);
    if (leading <= 0 || target <= 0)
        return;
    qint64 used = 0;
    for (int i = 0; i + 1 < sizes.size(); ++i) {
        sizes[i] = static_cast<int>(sizes[i] * target / leading);
        used += sizes[i];
    }
    sizes.back() = static_cast<int>(total - used);
    m_wndSplitter->setSizes(sizes);
}

void CMainFrame::SwitchToUserView()
{
    if (m_bAdministratorView)
        SaveSplitterPositions();
    SetMenu(IDR_MENU_USER);
    if (m_bAdministrator) {
        m_wndReBar->ShowBand(m_wndReBar->IndexOf(m_wndLocationBar), false);
        m_wndReBar->ShowBand(m_wndReBar->IndexOf(m_wndUserGroupBar), false);
        // Narrower than its minimum, the users and groups pane is hidden.
        SetFirstColumnWidth(0);
    }
    m_bAdministratorView = false;
}

void CMainFrame::SwitchToAdministratorView()
{
    if (!m_bAdministratorView)
        SaveSplitterPositions();
    SetMenu(IDR_MENU_ADMINISTRATOR);
    m_wndReBar->ShowBand(m_wndReBar->IndexOf(m_wndLocationBar), true);
    m_wndReBar->ShowBand(m_wndReBar->IndexOf(m_wndUserGroupBar), true);
    m_bAdministratorView = true;
    SetFirstColumnWidth(std::max(m_wndSplitter->width() / 6, kMinimumColumnWidth));
}

void CMainFrame::InitialUpdateFrame()
{
    if (m_pUserGroupView)
        m_pUserGroupView->OnInitialUpdate();
    m_pLocationsView->OnInitialUpdate();
    m_pBrowserView->OnInitialUpdate();
    QWidget* first = m_wndSplitter->widget(0);
    if (auto* view = dynamic_cast<framework::View*>(first))
        m_router.SetActiveView(view);
    first->setFocus();
}

void CMainFrame::RegisterCommands()
{
    Commands().On(ID_VIEW_USER, [this] { OnViewUser(); });
    Commands().On(ID_VIEW_ADMINISTRATOR, [this] { OnViewAdministrator(); });
    Commands().OnUpdate(ID_VIEW_USER, [this](CommandState& state) { OnUpdateViewUser(state); });
    Commands().OnUpdate(ID_VIEW_ADMINISTRATOR, [this](CommandState& state) { OnUpdateViewAdministrator(state); });
    Commands().On(ID_VIEW_SHELL, [this] { OnViewShell(); });
    // Only the administrator's menu offers it; greyed for everybody else so
    // that no later menu or shortcut can hand a user the desktop.
    Commands().OnUpdate(ID_VIEW_SHELL, [this](CommandState& state) { state.enabled = m_bAdministrator; });
    Commands().On(ID_VIEW_STATUS_BAR, [this] { m_wndStatusBar->setVisible(m_wndStatusBar->isHidden()); });
    Commands().OnUpdate(ID_VIEW_STATUS_BAR,
                        [this](CommandState& state) { state.checked = m_wndStatusBar && !m_wndStatusBar->isHidden(); });
    Commands().On(ID_HELP, [this] { m_host.WinHelp(0, kHelpContext); });
    Commands().On(ID_CONTEXT_HELP, [this] { m_host.WinHelp(0, kHelpContext); });
    Commands().On(ID_HELP_FINDER, [this] { m_host.WinHelp(0, kHelpFinder); });
    Commands().On(ID_DEFAULT_HELP, [this] { m_host.WinHelp(0, kHelpFinder); });
    Commands().On(ID_NEXT_PANE, [this] { ActivateNextPane(true); });
    Commands().On(ID_PREV_PANE, [this] { ActivateNextPane(false); });
}

void CMainFrame::OnViewUser() { SwitchToUserView(); }

void CMainFrame::OnViewAdministrator()
{
    if (m_bAdministrator)
        SwitchToAdministratorView();
}

void CMainFrame::OnUpdateViewUser(CommandState& state) const
{
    state.enabled = m_bAdministrator;
    state.checked = !m_bAdministratorView;
}

void CMainFrame::OnUpdateViewAdministrator(CommandState& state) const
{
    state.enabled = m_bAdministrator;
    state.checked = m_bAdministratorView;
}

void CMainFrame::OnViewShell() { m_host.LaunchDefaultShell(); }

// F6 and Shift+F6 move the focus between the panes that can be seen.
void CMainFrame::ActivateNextPane(bool forward)
{
    const int count = m_wndSplitter->count();
    const QList<int> sizes = m_wndSplitter->sizes();
    int current = 0;
    for (int i = 0; i < count; ++i)
        if (m_wndSplitter->widget(i)->isAncestorOf(focusWidget()) || m_wndSplitter->widget(i) == focusWidget())
            current = i;
    for (int step = 1; step <= count; ++step) {
        const int index = (current + (forward ? step : count - step)) % count;
        QWidget* pane = m_wndSplitter->widget(index);
        if (pane->isVisible() && sizes[index] > 0) {
            pane->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The splitter has its width only now.
    if (!m_restoredSizes.isEmpty())
        FitRestoredColumns();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_document.SaveModified()) {
        event->ignore();
        return;
    }
    SaveSplitterPositions();
    event->accept();
}
