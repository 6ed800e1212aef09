#include "document/quillon_doc.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <system_error>
#include <utility>

#include "accounts/net_management.h"
#include "accounts/object_picker.h"
#include "accounts/profile.h"
#include "document/browser_view.h"
#include "document/document_host.h"
#include "document/locations_view.h"
#include "document/user_group_view_interface.h"
#include "framework/command_ids.h"
#include "framework/modal_seam.h"
#include "platform/files.h"
#include "transfer/connect_plan.h"

using namespace framework;

namespace {

QString Text(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// A save takes well under a second; one that holds the lock longer is stuck.
constexpr std::chrono::seconds kSaveLockWait{5};
constexpr std::chrono::milliseconds kSaveLockPoll{50};

// Beside the real file, where the save writes and renames.
std::filesystem::path SaveLockPathFor(const std::filesystem::path& file)
{
    std::filesystem::path lock = platform::ResolveLinks(file);
    lock += ".lock";
    return lock;
}

// What a path names now; one that cannot be looked at counts as there but unknown.
platform::FileIdentity IdentityNow(const std::filesystem::path& file)
{
    platform::FileIdentity now;
    if (platform::IdentifyFile(file, now))
        now = {true};
    return now;
}

} // namespace

CQuillonDoc::CQuillonDoc(ModalSeam& seam, document::DocumentHost& host, platform::AccountServices& accounts,
                         QObject* parent)
    : Document(seam, parent), m_host(host), m_accounts(accounts)
{
    RegisterCommands();
}

CQuillonDoc::~CQuillonDoc() = default;

// ---- views ----

void CQuillonDoc::RegisterBrowserView(document::BrowserViewInterface& view)
{
    AddView(&view);
    m_pBrowserView = &view;
}

void CQuillonDoc::RegisterLocationsView(document::LocationsViewInterface& view)
{
    AddView(&view);
    m_pLocationsView = &view;
}

void CQuillonDoc::RegisterUserGroupView(document::UserGroupViewInterface& view)
{
    AddView(&view);
    m_pUserGroupView = &view;
}

void CQuillonDoc::ForgetView(const View& view)
{
    if (m_pBrowserView && static_cast<const View*>(m_pBrowserView) == &view)
        m_pBrowserView = nullptr;
    if (m_pLocationsView && static_cast<const View*>(m_pLocationsView) == &view)
        m_pLocationsView = nullptr;
    if (m_pUserGroupView && static_cast<const View*>(m_pUserGroupView) == &view)
        m_pUserGroupView = nullptr;
}

// ---- profile and session start ----

CTSUserDataItem* CQuillonDoc::GetProfile()
{
    if (m_pProfile)
        return m_pProfile;
    accounts::NetManagement net(std::u16string(), m_accounts);
    const accounts::Profile profile = accounts::ResolveProfile(m_userData, net);
    m_profileMatch = profile.matchedBy;
    return profile.entry;
}

void CQuillonDoc::JournalSessionStart()
{
    if (std::exchange(m_bSessionStartTold, true))
        return;
    const std::size_t entries = m_userData.GetSize();
    const CTSUserDataItem* profile = GetProfile();
    const std::u16string name = profile->m_strName;
    m_host.Journal().Write(journal::SessionStart(m_host.IsAdministrator(), m_host.IsServiceMode(), name,
                                                 m_profileMatch, profile->m_locations.GetSize()));
    // An entry made up for this record alone stays out of the administrator's configuration.
    if (!m_pProfile && m_userData.GetSize() > entries)
        m_userData.Remove(name);
}

void CQuillonDoc::SetupProfile()
{
    m_pProfile = nullptr;
    if (m_host.IsAdministrator())
        return;
    m_pProfile = GetProfile();
    m_selection.push_back(m_pProfile);
}

bool CQuillonDoc::RunProfileScript()
{
    CTSUserDataItem* profile = GetProfile();
    if (!profile->m_script.m_bEnabled)
        return false;
    if (!m_host.RunScript(profile->m_script))
        ReportScriptFailure(*profile);
    return true;
}

bool CQuillonDoc::RunAutoTransfers()
{
    // The plan is a copy: a transfer's dialog must not see the list change
    // under it. A transfer that fails or is skipped does not stop the next.
    for (const transfer::AutoLaunch& launch : transfer::ConnectPlan(GetProfile()->m_locations.m_items))
        m_host.ConnectTransfer(launch);
    return true;
}

bool CQuillonDoc::HasLocations() { return GetProfile()->m_locations.GetSize() > 0; }

// ---- framework overrides ----

void CQuillonDoc::SetTitle(const QString&) { Document::SetTitle(QString()); }

void CQuillonDoc::DeleteContents()
{
    // The selection, the profile and the panes point into the data: the panes
    // let go of it before it goes, so that none holds a freed entry while a
    // failure box lets the window paint.
    m_selection.clear();
    m_pProfile = nullptr;
    UpdateAllViews(nullptr);
    m_userData.RemoveAll();
    m_bPartial = false;
}

bool CQuillonDoc::OnNewDocument()
{
    if (!Document::OnNewDocument())
        return false;
    DeleteContents();
    UpdateAllViews(nullptr);
    return true;
}

bool CQuillonDoc::OnOpenDocument(const QString& path)
{
    const std::filesystem::path file = ToFilePath(path);
    // The read replaces this with the identity of what it read; a file that
    // does not open for reading is known by this look alone.
    m_diskFile = file;
    m_diskIdentity = IdentityNow(file);
    const bool read = Document::OnOpenDocument(path);
    if (!read) {
        // Whatever the failure, the open goes on with an empty configuration.
        DeleteContents();
        if (platform::FileExists(file))
            m_strUnreadablePath = path;
        else if (!m_strUnreadablePath.isEmpty() && platform::SameFile(ToFilePath(m_strUnreadablePath), file))
            m_strUnreadablePath.clear();
    } else if (!m_strUnreadablePath.isEmpty() && platform::SameFile(ToFilePath(m_strUnreadablePath), file)) {
        m_strUnreadablePath.clear();
    }

    SetupProfile();
    JournalSessionStart();
    // The views drop whatever they held of the previous contents before any
    // dialog of the session start lets the window paint again.
    UpdateAllViews(nullptr);
    if (!m_host.IsServiceMode())
        return true;

    RunProfileScript();
    if (!HasLocations()) {
        m_host.LaunchDefaultShell();
        return false;
    }
    m_host.SetLogoffOnExit();
    RunAutoTransfers();
    return true;
}

bool CQuillonDoc::OnSaveDocument(const QString& path)
{
    // A configuration read in part must never replace the whole file; one
    // save at a time (the wait for the lock lets the window paint).
    if (m_bPartial || m_bSaving)
        return false;
    m_bSaving = true;
    struct SavingEnds {
        bool& saving;
        ~SavingEnds() { saving = false; }
    } ends{m_bSaving};
    // Held from the check to the rename, so that two saves cannot both pass it.
    const std::unique_ptr<platform::SaveLockHolder> lock =
        m_makeSaveLock ? m_makeSaveLock() : std::make_unique<platform::SaveLock>();
    if (!LockUnchangedOrAgreed(path, *lock))
        return false;
    if (!KeepUnreadableBefore(path))
        return false;
    return Document::OnSaveDocument(path);
}

platform::FileError CQuillonDoc::TakeSaveLock(platform::SaveLockHolder& lock, const std::filesystem::path& lockFile)
{
    bool busy = false;
    platform::FileError e = lock.TryAcquire(lockFile, busy);
    if (!busy)
        return e;
    const framework::WaitRequest wait{QStringLiteral("Waiting for another administrator's save..."), kSaveLockWait,
                                      kSaveLockPoll};
    Seam().WaitUntil(wait, [&] {
        e = lock.TryAcquire(lockFile, busy);
        return !busy;
    });
    return busy ? platform::SaveLockStillBusy(kSaveLockWait) : e;
}

bool CQuillonDoc::LockUnchangedOrAgreed(const QString& path, platform::SaveLockHolder& lock)
{
    const std::filesystem::path file = ToFilePath(path);
    std::optional<platform::FileIdentity> agreed;  // the file the administrator agreed to overwrite
    for (;;) {
        const std::filesystem::path lockFile = SaveLockPathFor(file);
        if (const platform::FileError e = TakeSaveLock(lock, lockFile)) {
            LoadSaveFailure failure{path, true, config::FileFailure(e, lockFile)};
            ReportSaveLoadException(failure);
            return false;
        }
        if (file != m_diskFile)
            return true;
        const platform::FileIdentity now = IdentityNow(file);
        if (now == agreed.value_or(m_diskIdentity))
            return true;
        // No other save waits on this window's question.
        lock.Release();
        framework::MessageRequest question{QStringLiteral("The configuration file has been changed by another "
                                                          "program since it was opened. Overwrite those changes?"),
                                           QString(), MessageButtons::YesNo, MessageIcon::Question};
        question.defaultAnswer = Answer::No;  // Enter keeps the other administrator's work
        if (Seam().ShowMessage(question) != Answer::Yes) {
            m_host.Journal().Write(journal::ConfigurationSaveFailed(
                file.string(), "console", "changed by another program since it was read, and not overwritten"));
            return false;
        }
        agreed = now;
    }
}

std::filesystem::path CQuillonDoc::FreeUnreadableName(const std::filesystem::path& file)
{
    std::filesystem::path candidate = file;
    candidate += ".unreadable";
    for (int n = 1; platform::FileExists(candidate); ++n) {
        candidate = file;
        candidate += ".unreadable." + std::to_string(n);
    }
    return candidate;
}

bool CQuillonDoc::KeepUnreadableBefore(const QString& path)
{
    if (m_strUnreadablePath.isEmpty())
        return true;
    const std::filesystem::path unreadable = ToFilePath(m_strUnreadablePath);
    if (!platform::SameFile(unreadable, ToFilePath(path)))
        return true;
    if (!platform::FileExists(unreadable)) {
        m_strUnreadablePath.clear();
        return true;
    }
    const std::filesystem::path kept = FreeUnreadableName(platform::ResolveLinks(unreadable));
    if (const platform::FileError e = platform::CopyFileReplacing(unreadable, kept)) {
        LoadSaveFailure failure{QString::fromStdU16String(kept.u16string()), true, {}};
        failure.result = config::FileFailure(e, kept);
        ReportSaveLoadException(failure);
        return false;
    }
    m_strUnreadablePath.clear();
    m_keptUnreadable = kept.string();
    return true;
}

void CQuillonDoc::ReportSaveLoadException(const LoadSaveFailure& failure)
{
    if (failure.saving) {
        m_host.Journal().Write(
            journal::ConfigurationSaveFailed(ToFilePath(failure.path).string(), "console", failure.result.message));
        Document::ReportSaveLoadException(failure);
        ShowMessage(QStringLiteral("Could not save data configuration file\nPlease retry saving the file later"));
        return;
    }
    // A missing file is recorded too: it is why a user has no locations.
    m_host.Journal().Write(journal::ConfigurationReadFailed(ToFilePath(failure.path).string(), failure.result.message,
                                                            failure.result.offset));
    if (failure.result.cause == config::ArchiveCause::FileNotFound) {
        ShowMessage(m_host.IsAdministrator()
                        ? QStringLiteral("Starting with new empty configuration file")
                        : QStringLiteral("The user configuration profile is missing\nPlease contact your system "
                                         "administrator"));
        return;
    }
    Document::ReportSaveLoadException(failure);
    ShowMessage(QStringLiteral("Could not open data configuration file\nStarting with new empty configuration file"));
}

bool CQuillonDoc::SaveModified()
{
    // A close or open in the middle of a save waits for another try: the
    // save may still fail, and its document must stay.
    if (m_bSaving)
        return false;
    // A user's face never saves, so closing it never asks: a question whose
    // Yes can only fail would keep a user from logging off.
    if (!IsModified() || !m_host.IsAdministrator())
        return true;
    switch (Seam().Message(QStringLiteral("You have unsaved changes\nWould you like to save those changes ?"),
                           MessageButtons::YesNoCancel)) {
    case Answer::Yes: return DoFileSave();
    case Answer::No: return true;
    default: return false;
    }
}

config::StoreResult CQuillonDoc::ReadFile(const std::filesystem::path& path)
{
    // Only the profile matters to a user, and a terminal server runs many
    // user sessions: read just the entries that can become the profile.
    if (m_host.IsAdministrator()) {
        m_bPartial = false;
        config::StoreResult r = config::LoadConfigurationFile(path, m_userData, {}, &m_diskIdentity);
        m_readEntries = r ? journal::TakeSnapshot(m_userData) : journal::EntrySnapshot();
        return r;
    }
    accounts::NetManagement net(std::u16string(), m_accounts);
    config::StoreResult r =
        config::LoadConfigurationFile(path, m_userData, accounts::ProfileCandidates(net), &m_diskIdentity);
    m_bPartial = r.ok;
    return r;
}

config::StoreResult CQuillonDoc::WriteFile(const std::filesystem::path& path)
{
    platform::FileIdentity written;
    config::StoreResult r = config::SaveConfigurationFile(path, m_userData, &written);
    // This window's own save is what it knows of the file from now on.
    if (r && path == m_diskFile)
        m_diskIdentity = written;
    if (r) {
        m_host.Journal().Write(journal::ConfigurationSaved(path.string(), "console",
                                                           journal::CompareEntries(m_readEntries, m_userData),
                                                           std::exchange(m_keptUnreadable, {})));
        m_readEntries = journal::TakeSnapshot(m_userData);
    }
    return r;
}

// ---- commands ----

void CQuillonDoc::OnAddUserGroup()
{
    const auto picked = Seam().PickAccounts(m_host.MainWindow());
    if (!picked)
        return;
    // An entry already listed keeps its locations and logon program untouched.
    bool added = false;
    for (const accounts::SelectionMap& selection : *picked) {
        const accounts::SelectionEntry entry = accounts::EntryForSelection(selection);
        added = m_userData.Add(entry.name, entry.type, false) != nullptr || added;
    }
    if (!added)
        return;
    UpdateAllViews(nullptr);
    SetModifiedFlag();
}

void CQuillonDoc::OnRemoveUserGroup()
{
    if (!m_pUserGroupView || !m_pUserGroupView->HasSelectedRow())
        return;
    const std::vector<std::u16string> names = m_pUserGroupView->SelectedRowTexts();
    m_selection.clear();
    for (const std::u16string& name : names) {
        const CTSUserDataItem* entry = m_userData.Find(name);
        if (entry && entry == m_pProfile)
            m_pProfile = nullptr;
        m_userData.Remove(name);
    }
    UpdateAllViews(nullptr);
    SetModifiedFlag();
}

void CQuillonDoc::OnAddLocation()
{
    const auto edited = Seam().EditLocation(CTSAppDataItem(), m_host.MainWindow());
    if (!edited)
        return;
    const CTSAppDataItem& item = *edited;

    const bool noName = item.m_strName.empty();
    if (noName)
        ShowMessage(QStringLiteral("Error adding item - you must specify a location name"));
    if (item.m_strServerLocation.empty()) {
        ShowMessage(QStringLiteral("Error adding item - you must specify a server location name"));
        return;
    }
    if (noName)
        return;

    for (CTSUserDataItem* entry : m_selection) {
        if (entry->m_locations.Add(item, false) == 0)
            ShowMessage(QStringLiteral("Error adding item - item already exists"));
    }
    if (m_pLocationsView)
        m_pLocationsView->OnUpdate(nullptr, 0, &item);
    SetModifiedFlag();
}

void CQuillonDoc::OnEditLogonScript()
{
    if (m_selection.empty())
        return;
    if (m_selection.size() > 1)
        ShowMessage(QStringLiteral(
            "Note:\nYou have chosen to edit multiple users/groups,\nThe script edit dialog will be populated with "
            "your first(upper) selection but\nany changes you make will apply to all of the selected users/groups."));
    const auto script = Seam().EditLogonScript(m_selection.front()->m_script, m_host.MainWindow());
    if (!script)
        return;
    for (CTSUserDataItem* entry : m_selection)
        entry->m_script = *script;
    SetModifiedFlag();
}

void CQuillonDoc::OnTestLogonScript()
{
    if (m_selection.empty())
        return;
    // A copy: the running-task dialog must not see the entry change under it.
    const CTSUserDataItem& entry = *m_selection.front();
    const CTSUserScriptItem script = entry.m_script;
    if (!m_host.RunScript(script))
        ReportScriptFailure(entry);
}

bool CQuillonDoc::SelectionCommandEnabled() const
{
    return !m_selection.empty() && m_pUserGroupView && m_pUserGroupView->HasSelectedRow();
}

bool CQuillonDoc::TestLogonScriptEnabled() const
{
    return m_selection.size() == 1 && !m_selection.front()->m_script.m_strProgramPath.empty() && m_pUserGroupView &&
           m_pUserGroupView->HasSelectedRow();
}

void CQuillonDoc::ShowMessage(const QString& text) { Seam().Message(text); }

void CQuillonDoc::ReportScriptFailure(const CTSUserDataItem& entry)
{
    ShowMessage(QStringLiteral("Error Executing ") + Text(entry.m_strName) + QStringLiteral(" Script"));
}

void CQuillonDoc::RegisterCommands()
{
    CommandMap& map = Commands();
    auto enableIf = [](auto rule) { return [rule](CommandState& state) { state.enabled = rule(); }; };

    map.On(ID_ADD_USER_GROUP, [this] { OnAddUserGroup(); });
    map.OnUpdate(ID_ADD_USER_GROUP, enableIf([] { return true; }));
    map.On(ID_REMOVE_USER_GROUP, [this] { OnRemoveUserGroup(); });
    map.OnUpdate(ID_REMOVE_USER_GROUP, enableIf([this] { return SelectionCommandEnabled(); }));
    map.On(ID_ADD_LOCATION, [this] { OnAddLocation(); });
    map.OnUpdate(ID_ADD_LOCATION, enableIf([this] { return SelectionCommandEnabled(); }));
    map.On(ID_EDIT_LOGON_SCRIPT, [this] { OnEditLogonScript(); });
    map.OnUpdate(ID_EDIT_LOGON_SCRIPT, enableIf([this] { return SelectionCommandEnabled(); }));
    map.On(ID_TEST_LOGON_SCRIPT, [this] { OnTestLogonScript(); });
    map.OnUpdate(ID_TEST_LOGON_SCRIPT, enableIf([this] { return TestLogonScriptEnabled(); }));
    // The base registers the save itself.
    map.OnUpdate(ID_FILE_SAVE,
                 enableIf([this] { return IsModified() && !m_bPartial && !m_bSaving && Host().IsAdministratorView(); }));

    // Forwarded to the locations tree, so that they work from any pane. A
    // command whose pane does not exist is disabled and does nothing.
    using Tree = document::LocationsViewInterface;
    struct TreeCommand {
        int id;
        void (Tree::*run)();
        bool (Tree::*enabled)() const;
    };
    static const TreeCommand treeCommands[] = {
        {ID_EDIT_LOCATION, &Tree::OnEditLocation, &Tree::CanEditLocation},
        {ID_REMOVE_LOCATION, &Tree::OnRemoveLocation, &Tree::CanRemoveLocation},
        {ID_SEND_TO_CLIENT, &Tree::OnSendToClient, &Tree::CanSendToClient},
        {ID_SEND_TO_SERVER, &Tree::OnSendToServer, &Tree::CanSendToServer},
        {ID_LAUNCH_FILE_EXPLORER, &Tree::OnLaunchFileExplorer, &Tree::CanLaunchFileExplorer},
    };
    for (const TreeCommand& c : treeCommands) {
        map.On(c.id, [this, c] {
            if (m_pLocationsView)
                (m_pLocationsView->*c.run)();
        });
        map.OnUpdate(c.id, enableIf([this, c] { return m_pLocationsView && (m_pLocationsView->*c.enabled)(); }));
    }

    // Forwarded to the browser.
    using Browser = document::BrowserViewInterface;
    struct BrowserCommand {
        int id;
        void (Browser::*run)();
        bool (Browser::*enabled)() const;  // null: always, while there is a browser
    };
    static const BrowserCommand browserCommands[] = {
        {ID_GO_BACK, &Browser::GoBack, &Browser::CanGoBack},
        {ID_GO_FORWARD, &Browser::GoForward, &Browser::CanGoForward},
        {ID_STOP, &Browser::Stop, nullptr},
        {ID_REFRESH, &Browser::Refresh, nullptr},
        {ID_GO_HOME, &Browser::GoHome, &Browser::CanGoHome},
    };
    for (const BrowserCommand& c : browserCommands) {
        map.On(c.id, [this, c] {
            if (m_pBrowserView)
                (m_pBrowserView->*c.run)();
        });
        map.OnUpdate(c.id, enableIf([this, c] {
                         return m_pBrowserView && (!c.enabled || (m_pBrowserView->*c.enabled)());
                     }));
    }
}
