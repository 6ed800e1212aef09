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

QString Text(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

QString SystemText(int error)
{
    return QString::fromStdString(platform::GetSystemErrorText(error));
}

// The mounted file system a folder lies on, as far as its text tells.
QString ShareOf(const QString& path)
{
    return QFile::decodeName(QByteArray::fromStdString(platform::MountPointOf(QFile::encodeName(path).toStdString())));
}

QString UnreachableText(const QString& folder, int error)
{
    QString text = CQuillonView::tr("The folder %1 cannot be shown.\n%2").arg(folder, SystemText(error));
    if (error == ETIMEDOUT)
        text += QLatin1Char('\n') + CQuillonView::tr("The share it lies on does not answer; press Refresh to try again.");
    return text;
}

// A location's server folder as it is navigated to.
QString ServerAddress(const CTSAppDataItem& location)
{
    const QString server = Text(location.m_strServerLocation);
    return location.m_bExpandEnvironment ? ExpandAddress(server) : server;
}

// Each refusal of the confinement rules is told to the journal; returns it.
QString JournalRefusal(const journal::Journal& journal, const QString& path, const QString& refusal)
{
    if (!refusal.isEmpty())
        journal.Write(journal::Refused(path.toStdString(), "outside the locations: " + refusal.toStdString()));
    return refusal;
}

} // namespace

CQuillonView::CQuillonView(CQuillonDoc& document, CommandRouter& router, QWidget* parent, ViewServices services)
    : QWidget(parent),
      m_document(document),
      m_services(services.openUrl ? std::move(services) : SystemViewServices(document.Host())),
      m_model(std::make_unique<FolderModel>(CreateSystemFolderLister(), nullptr, m_services.examiner)),
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
        if (StillInside(folder))
            return true;
        QMetaObject::invokeMethod(this, [this, folder] {
            if (m_listed && m_model->folder() == folder)
                LeaveOutsideFolder();
        }, Qt::QueuedConnection);
        return false;
    });
    connect(m_model.get(), &FolderModel::loadingFinished, this, &CQuillonView::OnListingFinished);
    connect(m_model.get(), &FolderModel::loadFailed, this, &CQuillonView::OnListingFailed);
    connect(m_model.get(), &FolderModel::renameRequested, this, &CQuillonView::OnRenameRequested);
    connect(m_model.get(), &FolderModel::rowsInserted, this, &CQuillonView::TrySelectPending);
    connect(m_model.get(), &FolderModel::layoutChanged, this, &CQuillonView::TrySelectPending);
    connect(m_views, &FolderViews::activated, this, &CQuillonView::ActivateRow);
    connect(m_views, &FolderViews::selectionChanged, this, &CQuillonView::UpdateTaskPane);
    connect(m_views, &FolderViews::filesDropped, this, &CQuillonView::OnFilesDropped);
    connect(m_operation, &BackgroundOperation::finished, this, &CQuillonView::OnOperationFinished);
    connect(m_taskPane, &TaskPane::taskChosen, this, [this](TaskPane::Task task) { OnTask(int(task)); });

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

const CTSAppDataItem* CQuillonView::SelectedLocation() const
{
    return m_document.m_pLocationsView ? m_document.m_pLocationsView->GetSelectedLocation() : nullptr;
}

InputContext CQuillonView::CurrentInputContext() const
{
    InputContext context;
    const CTSAppDataItem* location = SelectedLocation();
    context.hasTree = m_document.m_pLocationsView != nullptr;
    context.hasLocation = location != nullptr;
    context.administratorView = m_document.Host().IsAdministratorView();
    context.locationAllows = location && location->m_bRightMouseButton;
    return context;
}

QString CQuillonView::ComparableRoot() const
{
    // The root as it is navigated to: a root written with %NAME% is compared
    // expanded, so that Back cannot step above it.
    const QString root = LocalPathOf(m_strRootPath);
    const CTSAppDataItem* location = SelectedLocation();
    return location && location->m_bExpandEnvironment ? ExpandAddress(root) : root;
}

QString CQuillonView::BoundaryFolder() const
{
    // The selected location's own server folder; the root as set when no
    // location is selected.
    const CTSAppDataItem* location = SelectedLocation();
    if (!location || location->m_strServerLocation.empty())
        return ComparableRoot();
    return LocalPathOf(ServerAddress(*location));
}

Boundary CQuillonView::CurrentBoundary() const
{
    return ResolveBoundary(BoundaryFolder());
}

QStringList CQuillonView::LocationFolders() const
{
    QStringList folders{BoundaryFolder()};
    // The tree lists the locations of the selected entries (the profile's in
    // the user view).
    for (const CTSUserDataItem* entry : m_document.m_selection) {
        for (const CTSAppDataItem& location : entry->m_locations.m_items) {
            const QString server = Text(location.m_strServerLocation);
            if (!server.isEmpty() && !IsWebAddress(server))
                folders << LocalPathOf(ServerAddress(location));
        }
    }
    return folders;
}

void CQuillonView::OpenFile(const QString& path)
{
    // Its program gets the resolved path, so a link's target is typed by its own name.
    if (const QString real = AdmitTarget(path); !real.isEmpty())
        m_services.openUrl(QUrl::fromLocalFile(real));
}

QString CQuillonView::AdmitTarget(const QString& folder)
{
    const Placement place = PlaceTarget(CurrentBoundary(), folder);
    if (place.kind == Placement::Inside)
        return place.path;
    if (place.kind == Placement::Outside)
        m_files.Report(JournalRefusal(m_document.Host().Journal(), folder, OutsideText()));
    else
        ReportUnreachable(folder, place.error);
    return {};
}

bool CQuillonView::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget))
        return false;
    bool ctrlDown = false;
    const InputKind kind = ClassifyInput(*event, ctrlDown);
    if (kind != InputKind::Other && SwallowInput(kind, ctrlDown, CurrentInputContext())) {
        // An accepted override keeps the frame's shortcuts from taking the key.
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && m_views->IsItemView(widget))
        return HandleKey(static_cast<QKeyEvent&>(*event));
    if (event->type() == QEvent::ContextMenu
        && (m_views->IsItemView(widget) || m_views->IsItemView(widget->parent()))) {
        auto& menuEvent = static_cast<QContextMenuEvent&>(*event);
        QPoint at = menuEvent.globalPos();
        if (menuEvent.reason() == QContextMenuEvent::Keyboard) {
            QAbstractItemView* view = m_views->ActiveView();
            const QRect item = view->visualRect(view->currentIndex());
            at = view->viewport()->mapToGlobal(item.isValid() ? item.center() : QPoint(8, 8));
        }
        ShowContextMenu(at);
        return true;
    }
    return false;
}

bool CQuillonView::HandleKey(QKeyEvent& event)
{
    if (event.matches(QKeySequence::Copy)) {
        CopySelection();
        return true;
    }
    if (event.matches(QKeySequence::Cut)) {
        CutSelection();
        return true;
    }
    if (event.matches(QKeySequence::Paste)) {
        Paste();
        return true;
    }
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        void (CQuillonView::*run)();
    } keys[] = {
        {Qt::Key_Return, Qt::NoModifier, &CQuillonView::OpenSelection},
        {Qt::Key_Enter, Qt::NoModifier, &CQuillonView::OpenSelection},
        {Qt::Key_Backspace, Qt::NoModifier, &CQuillonView::GoUp},
        {Qt::Key_Up, Qt::AltModifier, &CQuillonView::GoUp},
        {Qt::Key_Left, Qt::AltModifier, &CQuillonView::GoBack},
        {Qt::Key_Right, Qt::AltModifier, &CQuillonView::GoForward},
        {Qt::Key_F2, Qt::NoModifier, &CQuillonView::RenameSelection},
        {Qt::Key_Delete, Qt::NoModifier, &CQuillonView::DeleteSelection},
        {Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier, &CQuillonView::NewFolder},
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
    m_history.Clear();
    emit commandStateChanged();
}

void CQuillonView::NavigateTo(const QString& address)
{
    const CTSAppDataItem* location = SelectedLocation();
    Navigate(location && location->m_bExpandEnvironment ? ExpandAddress(address) : address, Move::New);
}

bool CQuillonView::CanGoBack() const
{
    return m_history.CanGoBack() && !m_bAtRoot;
}

bool CQuillonView::CanGoForward() const
{
    return m_history.CanGoForward();
}

void CQuillonView::GoBack()
{
    if (CanGoBack())
        Navigate(m_history.PeekBack(), Move::Back);
}

void CQuillonView::GoForward()
{
    if (CanGoForward())
        Navigate(m_history.PeekForward(), Move::Forward);
}

void CQuillonView::GoUp()
{
    if (m_webShown || m_current.isEmpty())
        return;
    const QString parent = ParentWithin(ComparableRoot(), m_current);
    if (parent.isEmpty())
        return;
    Navigate(parent, Move::New);
    // As in a desktop file view, the folder just left is selected.
    SelectWhenListed(QFileInfo(QDir::cleanPath(m_current)).fileName(), false);
}

bool CQuillonView::CanGoHome() const
{
    return SelectedLocation() != nullptr;
}

void CQuillonView::GoHome()
{
    const CTSAppDataItem* location = SelectedLocation();
    if (!location)
        return;
    const QString home = ServerAddress(*location);
    // A page or file already handed to the desktop is handed over again, as
    // Refresh does: the user may have closed it.
    const bool handedOver = (m_webShown && m_current == home) || (m_fileShown && m_current == LocalPathOf(home));
    Navigate(home, handedOver ? Move::Reload : Move::New);
}

void CQuillonView::Navigate(const QString& address, Move move)
{
    SyncCommonTasks();
    m_pendingName.clear();
    if (IsWebAddress(address)) {
        ++m_ticket;
        m_navigating = false;
        SetBusy(false);
        // The tree points at its location again after every change of the
        // document; the page is not opened once more for that.
        if (!(m_webShown && m_current == address && move != Move::Reload))
            m_services.openUrl(QUrl(address));
        m_bAtRoot = IsSamePath(ComparableRoot(), address);
        m_current = address;
        m_webShown = true;
        m_fileShown = false;
        m_listed = false;
        m_model->setFolder(QString());
        ShowEmpty(tr("%1 has been opened with the desktop's default program.").arg(address));
        emit commandStateChanged();
        return;
    }
    const QString path = LocalPathOf(address);
    if (QDir::isRelativePath(path)) {
        // Not resolved against the program's working folder: there is no
        // such folder, as for a missing one.
        ++m_ticket;
        m_navigating = false;
        ShowUnreachable(path, move, ENOENT);
        return;
    }
    const quint64 ticket = ++m_ticket;
    m_navigating = true;
    SetBusy(true);
    // The folder is examined on the view's examiner thread: a share that
    // hangs must not freeze the window. Only the latest navigation's answer
    // counts. It is resolved there too: nothing outside the location is
    // entered, whichever way (a link, "..", Back) the path leads there.
    auto post = m_post;
    const QString root = BoundaryFolder();
    auto attributes = m_services.pathAttributes;
    auto latest = m_latestTicket;
    *latest = ticket;
    auto probe = [this, post, ticket, latest, path, move, root, attributes](const Examiner::Alive&) {
        if (*latest != ticket)
            return;  // a newer navigation came while this one waited
        const Placement place = PlaceTarget(ResolveBoundary(root), path);
        platform::PathAttributes found{place.error, false, false};
        if (place.kind == Placement::Inside)
            found = attributes(QFile::encodeName(place.path).toStdString());
        post->post([this, ticket, path, move, place, found] {
            Arrive(ticket, path, move, place, found.error, found.isDirectory);
        });
    };
    // While an earlier request hangs on the same share, no other waits
    // behind it: the folder shows as one that does not answer.
    m_model->examiner().run(ShareOf(path), std::move(probe), [this, ticket, path, move] {
        if (ticket != m_ticket)
            return;
        // A late answer of this navigation is not taken any more.
        ++m_ticket;
        Arrive(m_ticket, path, move, Placement{Placement::Unreachable, ETIMEDOUT, {}}, ETIMEDOUT, false);
    });
}

void CQuillonView::Arrive(quint64 ticket, const QString& path, Move move, const Placement& place, int error,
                          bool isDirectory)
{
    if (ticket != m_ticket)
        return;
    m_navigating = false;
    if (place.kind == Placement::Outside) {
        // Refused: the view, its history included, stays where it was.
        SetBusy(m_model->isLoading());
        m_files.Report(JournalRefusal(m_document.Host().Journal(), path, OutsideText()));
        emit commandStateChanged();
        return;
    }
    if (error == 0 && !isDirectory && !IsSamePath(ComparableRoot(), path)) {
        // A file opens with its program; the view stays where it was.
        SetBusy(m_model->isLoading());
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
        ApplyMove(path, move);
        m_current = path;
        m_webShown = false;
        m_fileShown = true;
        m_listed = false;
        m_model->setFolder(QString());
        SetBusy(false);
        ShowEmpty(tr("%1 is a file, not a folder, so there is nothing to list.").arg(path));
        emit commandStateChanged();
        return;
    }
    if (error != 0) {
        ShowUnreachable(path, move, error);
        return;
    }
    m_bAtRoot = IsSamePath(ComparableRoot(), path);
    ApplyMove(path, move);
    ShowFolder(path);
    emit commandStateChanged();
}

void CQuillonView::ShowUnreachable(const QString& path, Move move, int error)
{
    m_bAtRoot = IsSamePath(ComparableRoot(), path);
    ApplyMove(path, move);
    m_current = path;
    m_webShown = false;
    m_fileShown = false;
    m_listed = false;
    m_model->setFolder(QString());
    SetBusy(false);
    ShowEmpty(UnreachableText(path, error));
    ReportUnreachable(path, error);
    emit commandStateChanged();
}

void CQuillonView::ApplyMove(const QString& path, Move move)
{
    switch (move) {
    case Move::New: m_history.Push(path); break;
    case Move::Back: m_history.StepBack(); break;
    case Move::Forward: m_history.StepForward(); break;
    case Move::Reload: break;
    }
}

void CQuillonView::ReportUnreachable(const QString& path, int error)
{
    const QString text = QStringLiteral("Error(%1) accessing file/directory %2\n%3").arg(QString::number(error), path, SystemText(error));
    m_document.Seam().ShowMessage({text, QString(), MessageButtons::Ok, MessageIcon::None, this});
}

void CQuillonView::ShowFolder(const QString& path)
{
    m_current = path;
    m_webShown = false;
    m_fileShown = false;
    m_listed = true;
    m_firstListing = true;
    m_views->SetPlaceholder(QString());
    m_pages->setCurrentWidget(m_folderPage);
    m_model->setFolder(path);
    UpdateTaskPane();
}

void CQuillonView::ShowEmpty(const QString& explanation)
{
    m_views->SetPlaceholder(explanation);
    m_pages->setCurrentWidget(m_folderPage);
    UpdateTaskPane();
    ApplyVisualOptions();
}

void CQuillonView::OnListingFinished()
{
    if (m_model->folder().isEmpty() || m_model->folder() != m_current)
        return;
    SetBusy(m_navigating);
    ApplyVisualOptions();
    TrySelectPending();
    // A failure of this listing is told right after this signal; once that
    // moment has passed, later failures (a refresh) are shown without a box.
    const quint64 ticket = m_ticket;
    QMetaObject::invokeMethod(this, [this, ticket] {
        if (ticket == m_ticket)
            m_firstListing = false;
    }, Qt::QueuedConnection);
}

void CQuillonView::OnListingFailed(int error, const QString& folder)
{
    if (folder != m_current || m_webShown)
        return;
    SetBusy(m_navigating);
    m_listed = false;
    m_model->setFolder(QString());
    ShowEmpty(UnreachableText(folder, error));
    if (m_firstListing)
        ReportUnreachable(folder, error);
    m_firstListing = false;
}

bool CQuillonView::StillInside(const QString& folder) const
{
    return PlaceTarget(CurrentBoundary(), folder).kind != Placement::Outside;
}

void CQuillonView::LeaveOutsideFolder()
{
    m_listed = false;
    m_model->setFolder(QString());
    ShowEmpty(QString());
    m_files.Report(OutsideText());
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
        ShowEmpty(tr("The listing of this folder was stopped. Press Refresh to list it again."));
    }
    SetBusy(false);
    emit commandStateChanged();
}

void CQuillonView::Refresh()
{
    if (IsShowingStartPage() || m_current.isEmpty())
        return;
    if (m_listed && !m_model->folder().isEmpty()) {
        if (StillInside(m_current))
            m_model->refresh();
        else
            LeaveOutsideFolder();
        return;
    }
    Navigate(m_current, Move::Reload);
}

void CQuillonView::ShowStartPage()
{
    ++m_ticket;
    m_navigating = false;
    SetBusy(false);
    m_history.Clear();
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
        m_views->ActiveView()->setFocus();
}

bool CQuillonView::IsShowingStartPage() const
{
    return m_pages->currentWidget() == m_startPage;
}

bool CQuillonView::IsBusy() const
{
    return m_navigating || m_model->isLoading() || m_operation->IsRunning();
}

void CQuillonView::SetBusy(bool busy)
{
    if (busy || m_operation->IsRunning())
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void CQuillonView::SyncCommonTasks()
{
    bool show = ReadShowCommonTasks();
    if (const CTSAppDataItem* location = SelectedLocation(); location && show != location->m_visualOptions.m_bShowCommonTasks) {
        show = location->m_visualOptions.m_bShowCommonTasks;
        WriteShowCommonTasks(show);
    }
    m_taskPane->setVisible(show);
}

void CQuillonView::ApplyVisualOptions()
{
    const CTSAppDataItem* location = SelectedLocation();
    if (!location)
        return;
    const CLocationVisualOptions& options = location->m_visualOptions;
    m_views->SetViewStyle(options.m_nViewStyle);
    m_views->SetBackground(options.m_nImageStyle < 0 ? QString() : Text(options.m_strImagePath), options.m_nImageStyle);
}

// ---- the folder's entries ----

void CQuillonView::ActivateRow(const QModelIndex& index)
{
    const QModelIndex row = index.siblingAtColumn(0);
    if (!row.isValid())
        return;
    const QString path = m_model->filePath(row);
    // The row's own path: a name is never expanded as an environment reference.
    if (m_model->isDir(row))
        Navigate(path, Move::New);
    else
        OpenFile(path);
}

void CQuillonView::OpenSelection()
{
    const QModelIndexList rows = m_views->SelectedRows();
    const QModelIndex current = m_views->CurrentRow();
    QModelIndex folder;
    for (const QModelIndex& row : rows) {
        if (!m_model->isDir(row))
            OpenFile(m_model->filePath(row));
        else if (!folder.isValid() || row == current)
            folder = row;
    }
    if (folder.isValid())
        ActivateRow(folder);
}

QStringList CQuillonView::SelectedPaths() const
{
    QStringList paths;
    for (const QModelIndex& row : m_views->SelectedRows())
        paths << m_model->filePath(row);
    return paths;
}

void CQuillonView::RenameSelection()
{
    QModelIndex row = m_views->CurrentRow();
    const QModelIndexList rows = m_views->SelectedRows();
    if (!rows.contains(row))
        row = rows.isEmpty() ? QModelIndex() : rows.first();
    if (row.isValid())
        m_views->ActiveView()->edit(row);
}

void CQuillonView::OnRenameRequested(const QModelIndex& index, const QString& newName)
{
    const QString path = m_model->filePath(index);
    // After the editor has closed: the failure box must not open inside it.
    QMetaObject::invokeMethod(this, [this, path, newName] {
        const Placement place = PlaceEntry({CurrentBoundary().real}, path);
        if (place.kind == Placement::Outside)
            m_files.Report(JournalRefusal(m_document.Host().Journal(), path, OutsideText()));
        else if (m_files.Rename(place.kind == Placement::Inside ? place.path : path, newName))
            SelectWhenListed(newName, false);
        m_model->refresh();
    }, Qt::QueuedConnection);
}

void CQuillonView::DeleteSelection()
{
    QStringList paths;
    const QStringList boundary{CurrentBoundary().real};
    for (const QString& path : SelectedPaths()) {
        // A link goes, never what it points to; so its own place counts.
        const Placement place = PlaceEntry(boundary, path);
        if (place.kind == Placement::Outside) {
            m_files.Report(JournalRefusal(m_document.Host().Journal(), path, OutsideText()));
            return;
        }
        paths << (place.kind == Placement::Inside ? place.path : path);
    }
    // One operation at a time: nothing is asked while another runs.
    if (paths.isEmpty() || m_operation->IsRunning() || !m_files.ConfirmDelete(paths))
        return;
    if (m_operation->StartDelete(paths)) {
        m_clearClipboardWhenDone = false;
        SetBusy(true);
    }
}

void CQuillonView::NewFolder()
{
    if (!m_listed)
        return;
    const QString folder = AdmitTarget(m_current);
    if (folder.isEmpty())
        return;
    const QString name = m_files.NewFolder(folder);
    if (name.isEmpty())
        return;
    SelectWhenListed(name, true);
    m_model->refresh();
}

void CQuillonView::CutSelection()
{
    const QStringList paths = SelectedPaths();
    if (!paths.isEmpty())
        QGuiApplication::clipboard()->setMimeData(MakeFileClipboard(paths, true));
}

void CQuillonView::CopySelection()
{
    const QStringList paths = SelectedPaths();
    if (!paths.isEmpty())
        QGuiApplication::clipboard()->setMimeData(MakeFileClipboard(paths, false));
}

void CQuillonView::Paste()
{
    if (!m_listed)
        return;
    const ClipboardFiles files = ReadFileClipboard(QGuiApplication::clipboard()->mimeData());
    if (files.paths.isEmpty())
        return;
    if (StartTransfer(files.paths, m_current, files.cut)) {
        m_clearClipboardWhenDone = files.cut;
        SetBusy(true);
    }
}

void CQuillonView::OnFilesDropped(const QStringList& paths, const QString& target, Qt::DropAction action)
{
    if (StartTransfer(paths, target, action == Qt::MoveAction)) {
        m_clearClipboardWhenDone = false;
        SetBusy(true);
    }
}

bool CQuillonView::StartTransfer(const QStringList& sources, const QString& target, bool move)
{
    // Only from the user's locations, only into the one shown; nothing is
    // transferred when one item lies elsewhere.
    const QStringList locations = LocationFolders();
    const journal::Journal journal = m_document.Host().Journal();
    return m_operation->StartTransfer(sources, target, move, [locations, journal](QStringList& from, QString& into) {
        const QString asked = from.join(QLatin1Char(';')) + QStringLiteral(" -> ") + into;
        return JournalRefusal(journal, asked, AdmitCopy(locations, from, into));
    });
}

void CQuillonView::OnOperationFinished(bool done)
{
    // Cut files are pasted once; what failed stays on the clipboard.
    if (m_clearClipboardWhenDone && done)
        QGuiApplication::clipboard()->clear();
    m_clearClipboardWhenDone = false;
    SetBusy(IsBusy());
    m_model->refresh();
}

void CQuillonView::ShowProperties()
{
    const QModelIndexList rows = m_views->SelectedRows();
    // The dialog reads what a link points to, so that must lie inside; it
    // is shown under the name listed.
    if (!rows.isEmpty()) {
        const QModelIndex row = rows.first();
        const QString path = m_model->filePath(row);
        if (!AdmitTarget(path).isEmpty())
            m_files.ShowProperties(path, row.siblingAtColumn(FolderModel::TypeColumn).data().toString());
    } else if (m_listed && !AdmitTarget(m_current).isEmpty()) {
        m_files.ShowProperties(m_current, tr("Folder"));
    }
}

QMenu* CQuillonView::ShowContextMenu(const QPoint& globalPos)
{
    if (m_contextMenu)
        m_contextMenu->close();
    if (!m_listed)
        return nullptr;
    const qsizetype count = m_views->SelectedCount();
    const bool canPaste = !ReadFileClipboard(QGuiApplication::clipboard()->mimeData()).paths.isEmpty();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const struct {
        const char* text;  // null: a separator
        void (CQuillonView::*run)();
        bool enabled;
    } items[] = {
        {QT_TR_NOOP("Open"), &CQuillonView::OpenSelection, count > 0},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("Cut"), &CQuillonView::CutSelection, count > 0},
        {QT_TR_NOOP("Copy"), &CQuillonView::CopySelection, count > 0},
        {QT_TR_NOOP("Paste"), &CQuillonView::Paste, canPaste},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("Delete"), &CQuillonView::DeleteSelection, count > 0},
        {QT_TR_NOOP("Rename"), &CQuillonView::RenameSelection, count == 1},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("New Folder"), &CQuillonView::NewFolder, true},
        {nullptr, nullptr, false},
        {QT_TR_NOOP("Properties"), &CQuillonView::ShowProperties, true},
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

void CQuillonView::SelectWhenListed(const QString& name, bool edit)
{
    m_pendingName = name;
    m_pendingEdit = edit;
    TrySelectPending();
}

void CQuillonView::TrySelectPending()
{
    if (m_pendingName.isEmpty())
        return;
    const QModelIndex row = m_model->indexOfName(m_pendingName);
    if (!row.isValid())
        return;
    const bool edit = m_pendingEdit;
    m_pendingName.clear();
    m_views->SelectRow(row);
    if (edit)
        m_views->ActiveView()->edit(row);
}

void CQuillonView::UpdateTaskPane()
{
    QString name = QFileInfo(m_current).fileName();
    if (name.isEmpty())
        name = m_current;
    m_taskPane->SetFolderName(name);
    m_taskPane->SetSelectionCount(int(qMin<qsizetype>(m_views->SelectedCount(), 2)));
}

void CQuillonView::OnTask(int task)
{
    switch (TaskPane::Task(task)) {
    case TaskPane::Task::Open: OpenSelection(); break;
    case TaskPane::Task::Rename: RenameSelection(); break;
    case TaskPane::Task::Delete: DeleteSelection(); break;
    case TaskPane::Task::NewFolder: NewFolder(); break;
    case TaskPane::Task::Home: GoHome(); break;
    case TaskPane::Task::Refresh: Refresh(); break;
    }
}
