#pragma once
#include <atomic>
#include <memory>

#include <QPointer>
#include <QWidget>

#include "browser/confinement.h"
#include "browser/file_actions.h"
#include "browser/input_filter.h"
#include "browser/navigation_history.h"
#include "browser/view_services.h"
#include "document/browser_view.h"

class CQuillonDoc;
class CTSAppDataItem;
class QMenu;
class QStackedWidget;

namespace framework {
class CommandRouter;
}

namespace browser {
class BackgroundOperation;
class FolderModel;
class FolderViews;
class GuiPost;
class StartPage;
class TaskPane;
} // namespace browser

// The location browser: the folder of the location selected in the tree,
// within which the user may move but which they may not leave: no link,
// "..", paste or drop leads out of the real paths of the user's locations
// (browser/confinement.h). It starts on
// a page of its own, opens files with the desktop's programs, applies the
// location's visual options, and lets through only the input the location
// allows.
class CQuillonView : public QWidget, public document::BrowserViewInterface {
    Q_OBJECT
public:
    // Without services the view opens through the document's host.
    CQuillonView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent = nullptr,
                 browser::ViewServices services = {});
    ~CQuillonView() override;

    void OnInitialUpdate();
    // Changes of the document never renavigate the view.
    void OnUpdate(framework::View*, long, framework::HintObject) override {}

    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void Refresh() override;
    void SetRootPath(const QString& path) override;
    void NavigateTo(const QString& address) override;
    void ShowStartPage() override;
    void GoHome() override;
    // Back only while the history allows it and the root is not shown.
    bool CanGoBack() const override;
    bool CanGoForward() const override;
    // Home while a location is selected.
    bool CanGoHome() const override;

    // One level up, never above the root (Backspace, Alt+Up).
    void GoUp();
    // A folder is navigated to, a file opened with its program.
    void ActivateRow(const QModelIndex& index);

    // The folder view's file operations, on the selection.
    void OpenSelection();
    void RenameSelection();
    void DeleteSelection();
    void NewFolder();
    void CutSelection();
    void CopySelection();
    void Paste();
    void ShowProperties();
    // Opens the folder view's context menu at a global position.
    QMenu* ShowContextMenu(const QPoint& globalPos);

    // What the view is showing, for the frame and for tests.
    bool IsAtRoot() const { return m_bAtRoot; }
    const QString& RootPath() const { return m_strRootPath; }
    const QString& CurrentFolder() const { return m_current; }
    bool IsShowingStartPage() const;
    // A navigation is waiting for its folder, or the folder is still listing.
    bool IsBusy() const;
    browser::InputContext CurrentInputContext() const;
    browser::FolderModel& Model() const { return *m_model; }
    browser::FolderViews& Views() const { return *m_views; }
    browser::TaskPane& Tasks() const { return *m_taskPane; }

signals:
    // Back, Forward or Home may have changed state (after a navigation ends).
    void commandStateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    enum class Move { New, Back, Forward, Reload };

    void Navigate(const QString& address, Move move);
    void Arrive(quint64 ticket, const QString& path, Move move, const browser::Placement& place, int error,
                bool isDirectory);
    void ApplyMove(const QString& path, Move move);
    void ShowFolder(const QString& path);
    void ShowEmpty(const QString& explanation);
    void ReportUnreachable(const QString& path, int error);
    // The empty folder and the error box, for a folder that cannot be entered.
    void ShowUnreachable(const QString& path, Move move, int error);
    void OnListingFinished();
    void OnListingFailed(int error, const QString& folder);
    void ApplyVisualOptions();
    void SyncCommonTasks();
    void SetBusy(bool busy);
    const CTSAppDataItem* SelectedLocation() const;
    QString ComparableRoot() const;
    // The server folder of the location shown and its real path; the
    // server folders of every location the tree lists (the one shown
    // first): where copies may come from.
    QString BoundaryFolder() const;
    browser::Boundary CurrentBoundary() const;
    QStringList LocationFolders() const;
    // Opens a file with its program once it is found inside the location.
    void OpenFile(const QString& path);
    // A copy or move, admitted on the transfer's worker.
    bool StartTransfer(const QStringList& sources, const QString& target, bool move);
    // Whether the folder shown has not been replaced by a link out since it
    // was entered; if it has, it is shown empty and the user told.
    bool StillInside(const QString& folder) const;
    void LeaveOutsideFolder();
    // The real path of a folder inside the location, or empty (the user told).
    QString AdmitTarget(const QString& folder);
    bool HandleKey(QKeyEvent& event);
    void OnTask(int task);
    void OnRenameRequested(const QModelIndex& index, const QString& newName);
    void OnFilesDropped(const QStringList& paths, const QString& target, Qt::DropAction action);
    void OnOperationFinished(bool done);
    void SelectWhenListed(const QString& name, bool edit);
    void TrySelectPending();
    QStringList SelectedPaths() const;
    void UpdateTaskPane();
    void RegisterCommands();

    CQuillonDoc& m_document;
    browser::ViewServices m_services;
    std::unique_ptr<browser::FolderModel> m_model;
    browser::FileActions m_files;
    browser::BackgroundOperation* m_operation;
    bool m_clearClipboardWhenDone = false;  // the running operation pastes cut files
    QStackedWidget* m_pages;
    browser::StartPage* m_startPage;
    QWidget* m_folderPage;
    browser::TaskPane* m_taskPane;
    browser::FolderViews* m_views;
    QPointer<QMenu> m_contextMenu;
    std::shared_ptr<browser::GuiPost> m_post;
    // The latest navigation, seen by the examiner's thread: older ones that
    // still wait there are skipped.
    std::shared_ptr<std::atomic<quint64>> m_latestTicket = std::make_shared<std::atomic<quint64>>(0);

    bool m_bAtRoot = true;
    QString m_strRootPath;
    browser::NavigationHistory m_history;
    QString m_current;            // the folder shown (or that failed), or the address handed on
    bool m_webShown = false;      // m_current is a web address handed to the desktop
    bool m_fileShown = false;     // m_current is a location's file, handed to its program
    bool m_listed = false;        // m_current is listed in the model (not failed, not stopped)
    bool m_firstListing = false;  // the listing running is the first of this navigation
    quint64 m_ticket = 0;
    bool m_navigating = false;
    QString m_pendingName;
    bool m_pendingEdit = false;
};
