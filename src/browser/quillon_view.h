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
    void goUp();
    // A folder is navigated to, a file opened with its program.
    void activateRow(const QModelIndex& index);

    // The folder view's file operations, on the selection.
    void openSelection();
    void renameSelection();
    void deleteSelection();
    void newFolder();
    void cutSelection();
    void copySelection();
    void paste();
    void showProperties();
    // Opens the folder view's context menu at a global position.
    QMenu* showContextMenu(const QPoint& globalPos);

    // What the view is showing, for the frame and for tests.
    bool isAtRoot() const { return m_bAtRoot; }
    const QString& rootPath() const { return m_strRootPath; }
    const QString& currentFolder() const { return m_current; }
    bool isShowingStartPage() const;
    // A navigation is waiting for its folder, or the folder is still listing.
    bool isBusy() const;
    browser::InputContext currentInputContext() const;
    browser::FolderModel& model() const { return *m_model; }
    browser::FolderViews& views() const { return *m_views; }
    browser::TaskPane& tasks() const { return *m_taskPane; }

signals:
    // Back, Forward or Home may have changed state (after a navigation ends).
    void commandStateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    enum class Move { New, Back, Forward, Reload };

    void navigate(const QString& address, Move move);
    void arrive(quint64 ticket, const QString& path, Move move, const browser::Placement& place, int error,
                bool isDirectory);
    void applyMove(const QString& path, Move move);
    void showFolder(const QString& path);
    void showEmpty(const QString& explanation);
    void reportUnreachable(const QString& path, int error);
    // The empty folder and the error box, for a folder that cannot be entered.
    void showUnreachable(const QString& path, Move move, int error);
    void onListingFinished();
    void onListingFailed(int error, const QString& folder);
    void ApplyVisualOptions();
    void syncCommonTasks();
    void setBusy(bool busy);
    const CTSAppDataItem* selectedLocation() const;
    QString comparableRoot() const;
    // The server folder of the location shown and its real path; the
    // server folders of every location the tree lists (the one shown
    // first): where copies may come from.
    QString boundaryFolder() const;
    browser::Boundary currentBoundary() const;
    QStringList locationFolders() const;
    // Opens a file with its program once it is found inside the location.
    void openFile(const QString& path);
    // A copy or move, admitted on the transfer's worker.
    bool startTransfer(const QStringList& sources, const QString& target, bool move);
    // Whether the folder shown has not been replaced by a link out since it
    // was entered; if it has, it is shown empty and the user told.
    // Places `path` and reads what it names on the examiner thread, then
    // hands both to `then` here; a hung share answers ETIMEDOUT.
    using Examined = std::function<void(const browser::Placement& place, int error, bool isDirectory)>;
    void examinePlace(const QString& path, Examined then);
    // Lists the folder shown again once it is known to lie inside still.
    void refreshIfInside(const QString& folder);
    void leaveOutsideFolder();
    // Hands `then` the real path of `path` once it is known to lie inside
    // the location, asked on the examiner; else tells the user why not.
    void admitTarget(const QString& path, std::function<void(const QString& real)> then);
    bool handleKey(QKeyEvent& event);
    void onTask(int task);
    void onRenameRequested(const QModelIndex& index, const QString& newName);
    void onFilesDropped(const QStringList& paths, const QString& target, Qt::DropAction action);
    void onOperationFinished(bool done);
    void selectWhenListed(const QString& name, bool edit);
    void trySelectPending();
    QStringList selectedPaths() const;
    void updateTaskPane();
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
