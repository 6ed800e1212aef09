#include "browser/quillon_view.h"

#include <cerrno>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QStackedWidget>

#include "browser/background_operation.h"
#include "browser/common_tasks_setting.h"
#include "browser/file_clipboard.h"
#include "browser/folder_model.h"
#include "browser/folder_views.h"
#include "browser/gui_post.h"
#include "browser/path_rules.h"
#include "browser/start_page.h"
#include "browser/task_pane.h"
#include "document/document_host.h"
#include "document/locations_view.h"
#include "document/quillon_doc.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "framework/modal_seam.h"
#include "platform/mounts.h"
#include "journal/events.h"
#include "platform/path_entries.h"
#include "platform/system_error.h"

using namespace browser;
using namespace framework;

namespace {

QString text(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

QString systemText(int error)
{
    return QString::fromStdString(platform::GetSystemErrorText(error));
}

// The mounted file system a folder lies on, as far as its text tells.
QString shareOf(const QString& path)
{
    return QFile::decodeName(QByteArray::fromStdString(platform::MountPointOf(QFile::encodeName(path).toStdString())));
}

QString unreachableText(const QString& folder, int error)
{
    QString text = CQuillonView::tr("The folder %1 cannot be shown.\n%2").arg(folder, systemText(error));
    if (error == ETIMEDOUT)
        text += QLatin1Char('\n') + CQuillonView::tr("The share it lies on does not answer; press Refresh to try again.");
    return text;
}

// A location's server folder as it is navigated to.
QString serverAddress(const CTSAppDataItem& location)
{
    const QString server = text(location.m_strServerLocation);
    return location.m_bExpandEnvironment ? expandAddress(server) : server;
}

// Each refusal of the confinement rules is told to the journal; returns it.
QString journalRefusal(const journal::Journal& journal, const QString& path, const QString& refusal)
{
    if (!refusal.isEmpty())
        journal.Write(journal::Refused(path.toStdString(), "outside the locations: " + refusal.toStdString()));
    return refusal;
}

} // namespace

CQuillonView::CQuillonView(CQuillonDoc& document, CommandRouter& router, QWidget* parent, ViewServices services)
    : QWidget(parent),
      m_document(document),
      m_services(services.openUrl ? std::move(services) : systemViewServices(document.Host())),
      m_model(std::make_unique<FolderModel>(createSystemFolderLister(), nullptr, m_services.examiner)),
      m_files(document.Seam(), this, m_services.trash),
      m_operation(new BackgroundOperation(m_files, this)),
      m_post(std::make_shared<GuiPost>(this))
{
    setObjectName(QStringLiteral("CQuillonView"));
    setFocusPolicy(Qt::StrongFocus);

    m_pages = new QStackedWidget(this);
    m_startPage = new StartPage(m_pages);
    m_folderPage = new QWidget(m_pages);
    m_taskPane = new TaskPane(m_folderPage);
    m_taskPane->hide();
    m_views = new FolderViews(*m_model, m_folderPage);
    auto* folderLayout = new QHBoxLayout(m_folderPage);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->setSpacing(0);
    folderLayout->addWidget(m_taskPane);
    folderLayout->addWidget(m_views, 1);
    m_pages->addWidget(m_startPage);
    m_pages->addWidget(m_folderPage);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    // The folder shown may be replaced by a link after it was entered: a
    // change on disk lists it again only while it still lies inside.
    m_model->setRefreshGate([this](const QString& folder) {
        refreshIfInside(folder);
        return false;
    });
    connect(m_model.get(), &FolderModel::loadingFinished, this, &CQuillonView::onListingFinished);
    connect(m_model.get(), &FolderModel::loadFailed, this, &CQuillonView::onListingFailed);
    connect(m_model.get(), &FolderModel::renameRequested, this, &CQuillonView::onRenameRequested);
    connect(m_model.get(), &FolderModel::rowsInserted, this, &CQuillonView::trySelectPending);
    connect(m_model.get(), &FolderModel::layoutChanged, this, &CQuillonView::trySelectPending);
    connect(m_views, &FolderViews::activated, this, &CQuillonView::activateRow);
    connect(m_views, &FolderViews::selectionChanged, this, &CQuillonView::updateTaskPane);
    connect(m_views, &FolderViews::filesDropped, this, &CQuillonView::onFilesDropped);
    connect(m_operation, &BackgroundOperation::finished, this, &CQuillonView::onOperationFinished);
    connect(m_taskPane, &TaskPane::taskChosen, this, [this](TaskPane::Task task) { onTask(int(task)); });

    // Every event of the view's widgets passes the input rule first,
    // whichever child it is bound for.
    qApp->installEventFilter(this);
    document.AddView(this);
    router.AddView(this, this);
    RegisterCommands();
    m_pages->setCurrentWidget(m_startPage);
}

CQuillonView::~CQuillonView()
{
    m_post->detach();
    // A running operation stops asking before the file actions go, and the
    // views go before the model they show.
    delete m_operation;
    delete m_pages;
}

void CQuillonView::OnInitialUpdate()
{
    m_document.RegisterBrowserView(*this);
    ShowStartPage();
}

void CQuillonView::RegisterCommands()
{
    CommandMap& map = Commands();
    // Back, Forward, Stop, Refresh and Home are the document's, which
    // forwards them here from any pane with one enable rule each.
    map.On(ID_HELP_FINDER, [this] { m_document.Host().OpenHelp(); });
    map.On(ID_HELP, [this] { m_document.Host().OpenHelp(); });
}

// ---- the location and the input rule ----

const CTSAppDataItem* CQuillonView::selectedLocation() const
{
    return m_document.m_pLocationsView ? m_document.m_pLocationsView->GetSelectedLocation() : nullptr;
}

InputContext CQuillonView::currentInputContext() const
{
    InputContext context;
    const CTSAppDataItem* location = selectedLocation();
    context.hasTree = m_document.m_pLocationsView != nullptr;
    context.hasLocation = location != nullptr;
    context.administratorView = m_document.Host().IsAdministratorView();
    context.locationAllows = location && location->m_bRightMouseButton;
    return context;
}

QString CQuillonView::comparableRoot() const
{
    // The root as it is navigated to: a root written with %NAME% is compared
    // expanded, so that Back cannot step above it.
    const QString root = localPathOf(m_strRootPath);
    const CTSAppDataItem* location = selectedLocation();
    return location && location->m_bExpandEnvironment ? expandAddress(root) : root;
}

QString CQuillonView::boundaryFolder() const
{
    // The selected location's own server folder; the root as set when no
    // location is selected.
    const CTSAppDataItem* location = selectedLocation();
    if (!location || location->m_strServerLocation.empty())
        return comparableRoot();
    return localPathOf(serverAddress(*location));
}

Boundary CQuillonView::currentBoundary() const
{
    return resolveBoundary(boundaryFolder());
}

QStringList CQuillonView::locationFolders() const
{
    QStringList folders{boundaryFolder()};
    // The tree lists the locations of the selected entries (the profile's in
    // the user view).
    for (const CTSUserDataItem* entry : m_document.m_selection) {
        for (const CTSAppDataItem& location : entry->m_locations.m_items) {
            const QString server = text(location.m_strServerLocation);
            if (!server.isEmpty() && !isWebAddress(server))
                folders << localPathOf(serverAddress(location));
        }
    }
    return folders;
}

void CQuillonView::openFile(const QString& path)
{
    // Its program gets the resolved path, so a link's target is typed by its own name.
    admitTarget(path, [this](const QString& real) { m_services.openUrl(QUrl::fromLocalFile(real)); });
}

void CQuillonView::admitTarget(const QString& path, std::function<void(const QString& real)> then)
{
    examinePlace(path, [this, path, then = std::move(then)](const Placement& place, int error, bool) {
        if (place.kind == Placement::Inside && error != ETIMEDOUT)
            then(place.path);
        else if (place.kind == Placement::Outside)
            m_files.report(journalRefusal(m_document.Host().Journal(), path, outsideText()));
        else
            reportUnreachable(path, place.kind == Placement::Inside ? error : place.error);
    });
}

bool CQuillonView::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget))
        return false;
    bool ctrlDown = false;
    const InputKind kind = classifyInput(*event, ctrlDown);
    if (kind != InputKind::Other && swallowInput(kind, ctrlDown, currentInputContext())) {
        // An accepted override keeps the frame's shortcuts from taking the key.
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && m_views->isItemView(widget))
        return handleKey(static_cast<QKeyEvent&>(*event));
    if (event->type() == QEvent::ContextMenu
        && (m_views->isItemView(widget) || m_views->isItemView(widget->parent()))) {
        auto& menuEvent = static_cast<QContextMenuEvent&>(*event);
        QPoint at = menuEvent.globalPos();
        if (menuEvent.reason() == QContextMenuEvent::Keyboard) {
            QAbstractItemView* view = m_views->activeView();
            const QRect item = view->visualRect(view->currentIndex());
            at = view->viewport()->mapToGlobal(item.isValid() ? item.center() : QPoint(8, 8));
        }
        showContextMenu(at);
        return true;
    }
    return false;
}

bool CQuillonView::handleKey(QKeyEvent& event)
{
    if (event.matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    if (event.matches(QKeySequence::Cut)) {
        cutSelection();
        return true;
    }
    if (event.matches(QKeySequence::Paste)) {
        paste();
        return true;
    }
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        void (CQuillonView::*run)();
    } keys[] = {
        {Qt::Key_Return, Qt::NoModifier, &CQuillonView::openSelection},
        {Qt::Key_Enter, Qt::NoModifier, &CQuillonView::openSelection},
        {Qt::Key_Backspace, Qt::NoModifier, &CQuillonView::goUp},
        {Qt::Key_Up, Qt::AltModifier, &CQuillonView::goUp},
        {Qt::Key_Left, Qt::AltModifier, &CQuillonView::GoBack},
        {Qt::Key_Right, Qt::AltModifier, &CQuillonView::GoForward},
        {Qt::Key_F2, Qt::NoModifier, &CQuillonView::renameSelection},
        {Qt::Key_Delete, Qt::NoModifier, &CQuillonView::deleteSelection},
        {Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier, &CQuillonView::newFolder},
    };
    for (const auto& k : keys) {
        if (event.key() == k.key && mods == k.mods) {
            (this->*k.run)();
            return true;
        }
    }
    return false;
}

// ---- navigation ----

void CQuillonView::SetRootPath(const QString& path)
{
    m_bAtRoot = true;
    m_strRootPath = path;
    // A location's history starts with it: nothing of another location is
    // ever a step back.
    m_history.clear();
    emit commandStateChanged();
}

void CQuillonView::NavigateTo(const QString& address)
{
    const CTSAppDataItem* location = selectedLocation();
    navigate(location && location->m_bExpandEnvironment ? expandAddress(address) : address, Move::New);
}

bool CQuillonView::CanGoBack() const
{
    return m_history.canGoBack() && !m_bAtRoot;
}

bool CQuillonView::CanGoForward() const
{
    return m_history.canGoForward();
}

void CQuillonView::GoBack()
{
    if (CanGoBack())
        navigate(m_history.peekBack(), Move::Back);
}

void CQuillonView::GoForward()
{
    if (CanGoForward())
        navigate(m_history.peekForward(), Move::Forward);
}

void CQuillonView::goUp()
{
    if (m_webShown || m_current.isEmpty())
        return;
    const QString parent = parentWithin(comparableRoot(), m_current);
    if (parent.isEmpty())
        return;
    navigate(parent, Move::New);
    // As in a desktop file view, the folder just left is selected.
    selectWhenListed(QFileInfo(QDir::cleanPath(m_current)).fileName(), false);
}

bool CQuillonView::CanGoHome() const
{
    return selectedLocation() != nullptr;
}

void CQuillonView::GoHome()
{
    const CTSAppDataItem* location = selectedLocation();
    if (!location)
        return;
    const QString home = serverAddress(*location);
    // A page or file already handed to the desktop is handed over again, as
    // Refresh does: the user may have closed it.
    const bool handedOver = (m_webShown && m_current == home) || (m_fileShown && m_current == localPathOf(home));
    navigate(home, handedOver ? Move::Reload : Move::New);
}

void CQuillonView::navigate(const QString& address, Move move)
{
    syncCommonTasks();
    m_pendingName.clear();
    if (isWebAddress(address)) {
        ++m_ticket;
        m_navigating = false;
        setBusy(false);
        // The tree points at its location again after every change of the
        // document; the page is not opened once more for that.
        if (!(m_webShown && m_current == address && move != Move::Reload))
            m_services.openUrl(QUrl(address));
        m_bAtRoot = IsSamePath(comparableRoot(), address);
        m_current = address;
        m_webShown = true;
        m_fileShown = false;
        m_listed = false;
        m_model->setFolder(QString());
        showEmpty(tr("%1 has been opened with the desktop's default program.").arg(address));
        emit commandStateChanged();
        return;
    }
    const QString path = localPathOf(address);
    if (QDir::isRelativePath(path)) {
        // Not resolved against the program's working folder: there is no
        // such folder, as for a missing one.
        ++m_ticket;
        m_navigating = false;
        showUnreachable(path, move, ENOENT);
        return;
    }
    const quint64 ticket = ++m_ticket;
    m_navigating = true;
    setBusy(true);
    // The folder is examined on the view's examiner thread: a share that
    // hangs must not freeze the window. Only the latest navigation's answer
    // counts. It is resolved there too: nothing outside the location is
    // entered, whichever way (a link, "..", Back) the path leads there.
    *m_latestTicket = ticket;
    examinePlace(path, [this, ticket, path, move](const Placement& place, int error, bool isDirectory) {
        if (ticket != m_ticket)
            return;
        if (error == ETIMEDOUT && place.kind == Placement::Unreachable)
            ++m_ticket;  // a late answer of this navigation is not taken any more
        arrive(m_ticket, path, move, place, error, isDirectory);
    });
}

void CQuillonView::examinePlace(const QString& path, Examined then)
{
    auto post = m_post;
    const QString root = boundaryFolder();
    auto attributes = m_services.pathAttributes;
    auto latest = m_latestTicket;
    const quint64 ticket = *latest;
    auto shared = std::make_shared<Examined>(std::move(then));
    auto probe = [post, ticket, latest, path, root, attributes, shared](const Examiner::Alive&) {
        if (*latest != ticket)
            return;  // a newer navigation came while this one waited
        const Placement place = placeTarget(resolveBoundary(root), path);
        platform::PathAttributes found{place.error, false, false};
        if (place.kind == Placement::Inside)
            found = attributes(QFile::encodeName(place.path).toStdString());
        post->post([shared, place, found] { (*shared)(place, found.error, found.isDirectory); });
    };
    // While an earlier request hangs on the same share, no other waits
    // behind it: the path shows as one that does not answer.
    m_model->examiner().run(shareOf(path), std::move(probe), [shared] {
        (*shared)(Placement{Placement::Unreachable, ETIMEDOUT, {}}, ETIMEDOUT, false);
    });
}

void CQuillonView::refreshIfInside(const QString& folder)
{
    examinePlace(folder, [this, folder](const Placement& place, int error, bool) {
        if (!m_listed || m_model->folder() != folder)
            return;
        if (place.kind == Placement::Outside) {
            leaveOutsideFolder();
        } else if (error == ETIMEDOUT) {
            // As a listing that fails after the first: shown, not asked.
            m_listed = false;
            m_model->setFolder(QString());
            setBusy(m_navigating);
            showEmpty(unreachableText(folder, error));
        } else {
            m_model->refresh();
        }
    });
}

void CQuillonView::arrive(quint64 ticket, const QString& path, Move move, const Placement& place, int error,
                          bool isDirectory)
{
    if (ticket != m_ticket)
        return;
    m_navigating = false;
    if (place.kind == Placement::Outside) {
        // Refused: the view, its history included, stays where it was.
        setBusy(m_model->isLoading());
        m_files.report(journalRefusal(m_document.Host().Journal(), path, outsideText()));
        emit commandStateChanged();
        return;
    }
    if (error == 0 && !isDirectory && !IsSamePath(comparableRoot(), path)) {
        // A file opens with its program; the view stays where it was.
        setBusy(m_model->isLoading());
        m_services.openUrl(QUrl::fromLocalFile(place.path));
        return;
    }
    if (error == 0 && !isDirectory) {
        // The location's server folder is a file. As for a web location it
        // opens once and the folder shows empty with a note: the previous
        // location's listing must not stay under the new location's rules.
        if (!(m_fileShown && m_current == path && move != Move::Reload))
            m_services.openUrl(QUrl::fromLocalFile(place.path));
        m_bAtRoot = true;
        applyMove(path, move);
        m_current = path;
        m_webShown = false;
        m_fileShown = true;
        m_listed = false;
        m_model->setFolder(QString());
        setBusy(false);
        showEmpty(tr("%1 is a file, not a folder, so there is nothing to list.").arg(path));
        emit commandStateChanged();
        return;
    }
    if (error != 0) {
        showUnreachable(path, move, error);
        return;
    }
    m_bAtRoot = IsSamePath(comparableRoot(), path);
    applyMove(path, move);
    showFolder(path);
    emit commandStateChanged();
}

void CQuillonView::showUnreachable(const QString& path, Move move, int error)
{
    m_bAtRoot = IsSamePath(comparableRoot(), path);
    applyMove(path, move);
    m_current = path;
    m_webShown = false;
    m_fileShown = false;
    m_listed = false;
    m_model->setFolder(QString());
    setBusy(false);
    showEmpty(unreachableText(path, error));
    reportUnreachable(path, error);
    emit commandStateChanged();
}

void CQuillonView::applyMove(const QString& path, Move move)
{
    switch (move) {
    case Move::New: m_history.push(path); break;
    case Move::Back: m_history.stepBack(); break;
    case Move::Forward: m_history.stepForward(); break;
    case Move::Reload: break;
    }
}

void CQuillonView::reportUnreachable(const QString& path, int error)
{
    const QString text = QStringLiteral("Error(%1) accessing file/directory %2\n%3").arg(QString::number(error), path, systemText(error));
    m_document.Seam().ShowMessage({text, QString(), MessageButtons::Ok, MessageIcon::None, this});
}

void CQuillonView::showFolder(const QString& path)
{
    m_current = path;
    m_webShown = false;
    m_fileShown = false;
    m_listed = true;
    m_firstListing = true;
    m_views->setPlaceholder(QString());
    m_pages->setCurrentWidget(m_folderPage);
    m_model->setFolder(path);
    updateTaskPane();
}

void CQuillonView::showEmpty(const QString& explanation)
{
    m_views->setPlaceholder(explanation);
    m_pages->setCurrentWidget(m_folderPage);
    updateTaskPane();
    ApplyVisualOptions();
}

void CQuillonView::onListingFinished()
{
    if (m_model->folder().isEmpty() || m_model->folder() != m_current)
        return;
    setBusy(m_navigating);
    ApplyVisualOptions();
    trySelectPending();
    // A failure of this listing is told right after this signal; once that
    // moment has passed, later failures (a refresh) are shown without a box.
    const quint64 ticket = m_ticket;
    QMetaObject::invokeMethod(this, [this, ticket] {
        if (ticket == m_ticket)
            m_firstListing = false;
    }, Qt::QueuedConnection);
}

void CQuillonView::onListingFailed(int error, const QString& folder)
{
    if (folder != m_current || m_webShown)
        return;
    setBusy(m_navigating);
    m_listed = false;
    m_model->setFolder(QString());
    showEmpty(unreachableText(folder, error));
    if (m_firstListing)
        reportUnreachable(folder, error);
    m_firstListing = false;
}

void CQuillonView::leaveOutsideFolder()
{
    m_listed = false;
    m_model->setFolder(QString());
    showEmpty(QString());
    m_files.report(outsideText());
}

void CQuillonView::Stop()
{
    if (m_navigating) {
        ++m_ticket;
        m_navigating = false;
    }
    if (m_model->isLoading()) {
        m_model->setFolder(QString());
        m_listed = false;
        showEmpty(tr("The listing of this folder was stopped. Press Refresh to list it again."));
    }
    setBusy(false);
    emit commandStateChanged();
}

void CQuillonView::Refresh()
{
    if (isShowingStartPage() || m_current.isEmpty())
        return;
    if (m_listed && !m_model->folder().isEmpty()) {
        refreshIfInside(m_current);
        return;
    }
    navigate(m_current, Move::Reload);
}

void CQuillonView::ShowStartPage()
{
    ++m_ticket;
    m_navigating = false;
    setBusy(false);
    m_history.clear();
    m_current.clear();
    m_listed = false;
    m_webShown = false;
    m_fileShown = false;
    m_bAtRoot = true;
    m_model->setFolder(QString());
    m_pages->setCurrentWidget(m_startPage);
    emit commandStateChanged();
}

void CQuillonView::focusInEvent(QFocusEvent*)
{
    if (m_pages->currentWidget() == m_folderPage)
        m_views->activeView()->setFocus();
}

bool CQuillonView::isShowingStartPage() const
{
    return m_pages->currentWidget() == m_startPage;
}

bool CQuillonView::isBusy() const
{
    return m_navigating || m_model->isLoading() || m_operation->isRunning();
}

void CQuillonView::setBusy(bool busy)
{
    if (busy || m_operation->isRunning())
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void CQuillonView::syncCommonTasks()
{
    bool show = readShowCommonTasks();
    if (const CTSAppDataItem* location = selectedLocation(); location && show != location->m_visualOptions.m_bShowCommonTasks) {
        show = location->m_visualOptions.m_bShowCommonTasks;
        writeShowCommonTasks(show);
    }
    m_taskPane->setVisible(show);
}

void CQuillonView::ApplyVisualOptions()
{
    const CTSAppDataItem* location = selectedLocation();
    if (!location)
        return;
    const CLocationVisualOptions& options = location->m_visualOptions;
    m_views->setViewStyle(options.m_nViewStyle);
    m_views->setBackground(options.m_nImageStyle < 0 ? QString() : text(options.m_strImagePath), options.m_nImageStyle);
}

// ---- the folder's entries ----

void CQuillonView::activateRow(const QModelIndex& index)
{
    const QModelIndex row = index.siblingAtColumn(0);
    if (!row.isValid())
        return;
    const QString path = m_model->filePath(row);
    // The row's own path: a name is never expanded as an environment reference.
    if (m_model->isDir(row))
        navigate(path, Move::New);
    else
        openFile(path);
}

void CQuillonView::openSelection()
{
    const QModelIndexList rows = m_views->selectedRows();
    const QModelIndex current = m_views->currentRow();
    QModelIndex folder;
    for (const QModelIndex& row : rows) {
        if (!m_model->isDir(row))
            openFile(m_model->filePath(row));
        else if (!folder.isValid() || row == current)
            folder = row;
    }
    if (folder.isValid())
        activateRow(folder);
}

QStringList CQuillonView::selectedPaths() const
{
    QStringList paths;
    for (const QModelIndex& row : m_views->selectedRows())
        paths << m_model->filePath(row);
    return paths;
}

void CQuillonView::renameSelection()
{
    QModelIndex row = m_views->currentRow();
    const QModelIndexList rows = m_views->selectedRows();
    if (!rows.contains(row))
        row = rows.isEmpty() ? QModelIndex() : rows.first();
    if (row.isValid())
        m_views->activeView()->edit(row);
}

void CQuillonView::onRenameRequested(const QModelIndex& index, const QString& newName)
{
    const QString path = m_model->filePath(index);
    // After the editor has closed: the failure box must not open inside it.
    QMetaObject::invokeMethod(this, [this, path, newName] {
        const Placement place = placeEntry({currentBoundary().real}, path);
        if (place.kind == Placement::Outside)
            m_files.report(journalRefusal(m_document.Host().Journal(), path, outsideText()));
        else if (m_files.rename(place.kind == Placement::Inside ? place.path : path, newName))
            selectWhenListed(newName, false);
        m_model->refresh();
    }, Qt::QueuedConnection);
}

void CQuillonView::deleteSelection()
{
    QStringList paths;
    const QStringList boundary{currentBoundary().real};
    for (const QString& path : selectedPaths()) {
        // A link goes, never what it points to; so its own place counts.
        const Placement place = placeEntry(boundary, path);
        if (place.kind == Placement::Outside) {
            m_files.report(journalRefusal(m_document.Host().Journal(), path, outsideText()));
            return;
        }
        paths << (place.kind == Placement::Inside ? place.path : path);
    }
    // One operation at a time: nothing is asked while another runs.
    if (paths.isEmpty() || m_operation->isRunning() || !m_files.confirmDelete(paths))
        return;
    if (m_operation->startDelete(paths)) {
        m_clearClipboardWhenDone = false;
        setBusy(true);
    }
}

void CQuillonView::newFolder()
{
    if (!m_listed)
        return;
    admitTarget(m_current, [this](const QString& folder) {
        const QString name = m_files.newFolder(folder);
        if (name.isEmpty())
            return;
        selectWhenListed(name, true);
        m_model->refresh();
    });
}

void CQuillonView::cutSelection()
{
    const QStringList paths = selectedPaths();
    if (!paths.isEmpty())
        QGuiApplication::clipboard()->setMimeData(makeFileClipboard(paths, true));
}

void CQuillonView::copySelection()
{
    const QStringList paths = selectedPaths();
    if (!paths.isEmpty())
        QGuiApplication::clipboard()->setMimeData(makeFileClipboard(paths, false));
}

void CQuillonView::paste()
{
    if (!m_listed)
        return;
    const ClipboardFiles files = readFileClipboard(QGuiApplication::clipboard()->mimeData());
    if (files.paths.isEmpty())
        return;
    if (startTransfer(files.paths, m_current, files.cut)) {
        m_clearClipboardWhenDone = files.cut;
        setBusy(true);
    }
}

void CQuillonView::onFilesDropped(const QStringList& paths, const QString& target, Qt::DropAction action)
{
    if (startTransfer(paths, target, action == Qt::MoveAction)) {
        m_clearClipboardWhenDone = false;
        setBusy(true);
    }
}

bool CQuillonView::startTransfer(const QStringList& sources, const QString& target, bool move)
{
    // Only from the user's locations, only into the one shown; nothing is
    // transferred when one item lies elsewhere.
    const QStringList locations = locationFolders();
    const journal::Journal journal = m_document.Host().Journal();
    return m_operation->startTransfer(sources, target, move, [locations, journal](QStringList& from, QString& into) {
        const QString asked = from.join(QLatin1Char(';')) + QStringLiteral(" -> ") + into;
        return journalRefusal(journal, asked, admitCopy(locations, from, into));
    });
}

void CQuillonView::onOperationFinished(bool done)
{
    // Cut files are pasted once; what failed stays on the clipboard.
    if (m_clearClipboardWhenDone && done)
        QGuiApplication::clipboard()->clear();
    m_clearClipboardWhenDone = false;
    setBusy(isBusy());
    m_model->refresh();
}

void CQuillonView::showProperties()
{
    const QModelIndexList rows = m_views->selectedRows();
    // The dialog reads what a link points to, so that must lie inside; it
    // is shown under the name listed.
    if (!rows.isEmpty()) {
        const QModelIndex row = rows.first();
        const QString path = m_model->filePath(row);
        const QString type = row.siblingAtColumn(FolderModel::TypeColumn).data().toString();
        admitTarget(path, [this, path, type](const QString&) { m_files.showProperties(path, type); });
    } else if (m_listed) {
        admitTarget(m_current, [this, folder = m_current](const QString&) { m_files.showProperties(folder, tr("Folder")); });
    }
}

QMenu* CQuillonView::showContextMenu(const QPoint& globalPos)
{
    if (m_contextMenu)
        m_contextMenu->close();
    if (!m_listed)
        return nullptr;
    const qsizetype count = m_views->selectedCount();
    const bool canPaste = !readFileClipboard(QGuiApplication::clipboard()->mimeData()).paths.isEmpty();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const struct {
        const char* text;  // null: a separator
        void (CQuillonView::*run)();
        bool enabled;
    } items[] = {
        {QT_TR_NOOP("Open"), &CQuillonView::openSelection, count > 0},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("Cut"), &CQuillonView::cutSelection, count > 0},
        {QT_TR_NOOP("Copy"), &CQuillonView::copySelection, count > 0},
        {QT_TR_NOOP("Paste"), &CQuillonView::paste, canPaste},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("Delete"), &CQuillonView::deleteSelection, count > 0},
        {QT_TR_NOOP("Rename"), &CQuillonView::renameSelection, count == 1},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("New Folder"), &CQuillonView::newFolder, true},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("Properties"), &CQuillonView::showProperties, true},
    };
    for (const auto& item : items) {
        if (!item.text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(tr(item.text));
        action->setEnabled(item.enabled);
        const auto run = item.run;
        // Run after the menu has closed, so that a question is not asked from
        // inside it.
        connect(action, &QAction::triggered, this, [this, run] {
            QMetaObject::invokeMethod(this, [this, run] { (this->*run)(); }, Qt::QueuedConnection);
        });
    }
    m_contextMenu = menu;
    menu->popup(globalPos);
    return menu;
}

void CQuillonView::selectWhenListed(const QString& name, bool edit)
{
    m_pendingName = name;
    m_pendingEdit = edit;
    trySelectPending();
}

void CQuillonView::trySelectPending()
{
    if (m_pendingName.isEmpty())
        return;
    const QModelIndex row = m_model->indexOfName(m_pendingName);
    if (!row.isValid())
        return;
    const bool edit = m_pendingEdit;
    m_pendingName.clear();
    m_views->selectRow(row);
    if (edit)
        m_views->activeView()->edit(row);
}

void CQuillonView::updateTaskPane()
{
    QString name = QFileInfo(m_current).fileName();
    if (name.isEmpty())
        name = m_current;
    m_taskPane->setFolderName(name);
    m_taskPane->setSelectionCount(int(qMin<qsizetype>(m_views->selectedCount(), 2)));
}

void CQuillonView::onTask(int task)
{
    switch (TaskPane::Task(task)) {
    case TaskPane::Task::Open: openSelection(); break;
    case TaskPane::Task::Rename: renameSelection(); break;
    case TaskPane::Task::Delete: deleteSelection(); break;
    case TaskPane::Task::NewFolder: newFolder(); break;
    case TaskPane::Task::Home: GoHome(); break;
    case TaskPane::Task::Refresh: Refresh(); break;
    }
}
