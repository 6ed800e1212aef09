#pragma once
#include <QMainWindow>
#include <QPointer>

#include "framework/command_target.h"

class CQuillonDoc;
class CUserGroupView;
class CLeftView;
class CQuillonView;
class QSplitter;
class QToolBar;

namespace framework {
class CommandActions;
class CommandRouter;
} // namespace framework

namespace app {
class MainStatusBar;
class ReBar;
struct ToolBarLayout;

// What the frame asks of the application object.
class FrameHost {
public:
    virtual ~FrameHost() = default;
    virtual void LaunchDefaultShell() = 0;
    // Every help request; both arguments are ignored.
    virtual void WinHelp(unsigned long data, unsigned int command) = 0;
};
} // namespace app

// The main window. Which panes and bars exist is fixed at creation by the
// administrator flag; which face is shown (administrator or user view) is
// the frame's own state, switched by the view commands.
class CMainFrame : public QMainWindow, public framework::CommandTarget {
    Q_OBJECT
public:
    CMainFrame(bool administrator, CQuillonDoc& document, framework::CommandRouter& router,
               framework::CommandActions& actions, app::FrameHost& host, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Creates panes, bars and menu; false when any of them could not be made.
    bool Create();
    // The views' initial update after the document was opened or made new;
    // the first pane becomes the active view.
    void InitialUpdateFrame();

    bool IsAdministratorView() const { return m_bAdministratorView; }
    void SwitchToUserView();
    void SwitchToAdministratorView();

    // The menu resource in force: 128 or 129.
    int CurrentMenuId() const { return m_nMenuId; }
    // The caption: the document's title, " - " and the application name.
    static QString FrameTitle(const QString& documentTitle);

    QSplitter* Splitter() const { return m_wndSplitter; }
    app::ReBar* ReBar() const { return m_wndReBar; }
    app::MainStatusBar* StatusBar() const { return m_wndStatusBar; }
    QToolBar* NavigationBar() const { return m_wndNavigationBar; }
    QToolBar* UserGroupBar() const { return m_wndUserGroupBar; }
    QToolBar* SyncBar() const { return m_wndSyncBar; }
    QToolBar* LocationBar() const { return m_wndLocationBar; }
    CUserGroupView* UserGroupView() const { return m_pUserGroupView; }
    CLeftView* LocationsView() const { return m_pLocationsView; }
    CQuillonView* BrowserView() const { return m_pBrowserView; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool OnCreateClient();
    int OnCreate();
    bool CreateBars();
    QToolBar* CreateToolBar(const app::ToolBarLayout& layout);
    void SetMenu(int menuId);
    void SetFirstColumnWidth(int width);
    // The columns of the face in force, kept in the settings for the next start.
    void RestoreSplitterPositions();
    void SaveSplitterPositions();
    void FitRestoredColumns();
    void RegisterCommands();
    void ActivateNextPane(bool forward);

    void OnViewUser();
    void OnViewAdministrator();
    void OnUpdateViewUser(framework::CommandState& state) const;
    void OnUpdateViewAdministrator(framework::CommandState& state) const;
    void OnViewShell();

    const bool m_bAdministrator;
    CQuillonDoc& m_document;
    framework::CommandRouter& m_router;
    framework::CommandActions& m_actions;
    app::FrameHost& m_host;

    QSplitter* m_wndSplitter = nullptr;
    app::MainStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndNavigationBar = nullptr;
    QToolBar* m_wndUserGroupBar = nullptr;
    QToolBar* m_wndSyncBar = nullptr;
    QToolBar* m_wndLocationBar = nullptr;
    app::ReBar* m_wndReBar = nullptr;
    bool m_bAdministratorView = false;
    QList<int> m_restoredSizes;  // kept widths, until the window is first shown

    CUserGroupView* m_pUserGroupView = nullptr;
    CLeftView* m_pLocationsView = nullptr;
    CQuillonView* m_pBrowserView = nullptr;
    int m_nMenuId = 0;
};
