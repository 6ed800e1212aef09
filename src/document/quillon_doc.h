#pragma once
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "config/records.h"
#include "framework/document.h"
#include "journal/events.h"
#include "platform/files.h"

namespace platform {
class AccountServices;
}

namespace document {
class DocumentHost;
class LocationsViewInterface;
class UserGroupViewInterface;
class BrowserViewInterface;
} // namespace document

// The program's one document: the whole configuration, the entries the
// administrator has selected, the profile of the user running the program,
// and the commands on users, groups, locations and logon scripts. Opening it
// in service mode also performs the session start.
class CQuillonDoc : public framework::Document {
    Q_OBJECT
public:
    CQuillonDoc(framework::ModalSeam& seam, document::DocumentHost& host, platform::AccountServices& accounts,
                QObject* parent = nullptr);
    ~CQuillonDoc() override;

    // The current user's entry after an open in the user view; null in the
    // administrator view.
    CTSUserDataItem* m_pProfile = nullptr;
    // The entries selected in the users and groups list, in list order; in
    // the user view the profile only. Entries of m_userData never move, so
    // these stay valid while entries are added.
    std::vector<CTSUserDataItem*> m_selection;
    CTSUserData m_userData;

    // Set by the views themselves through Register...View; null otherwise.
    document::BrowserViewInterface* m_pBrowserView = nullptr;
    document::LocationsViewInterface* m_pLocationsView = nullptr;
    document::UserGroupViewInterface* m_pUserGroupView = nullptr;

    // A view registers when it is first shown: it becomes the document's
    // pane of its kind and receives UpdateAllViews. A view that goes away
    // is forgotten.
    void RegisterBrowserView(document::BrowserViewInterface& view);
    void RegisterLocationsView(document::LocationsViewInterface& view);
    void RegisterUserGroupView(document::UserGroupViewInterface& view);
    void ForgetView(const framework::View& view);

    // The entry that applies to the current user: their own, else the first
    // of their groups that has one, else a new user entry (not marked as a
    // change). Never null; not stored.
    CTSUserDataItem* GetProfile();
    // After every open: the profile into m_pProfile and m_selection, unless
    // the administrator face is in force.
    void SetupProfile();
    // Runs the profile's logon program when it is enabled; false when not.
    bool RunProfileScript();
    // The profile's connect-time transfers, in location order; always true.
    bool RunAutoTransfers();
    bool HasLocations();

    // Framework overrides.
    void SetTitle(const QString& title) override;  // the title stays empty
    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    void ReportSaveLoadException(const framework::LoadSaveFailure& failure) override;
    bool SaveModified() override;
    void DeleteContents() override;

    // Commands.
    void OnAddUserGroup();
    void OnRemoveUserGroup();
    void OnAddLocation();
    void OnEditLogonScript();
    void OnTestLogonScript();

    // Where an unreadable configuration that was opened is kept before the
    // first save replaces it: "<file>.unreadable", or with ".1", ".2", ...
    // after it when an earlier copy is there. Empty when none is pending.
    const QString& PendingUnreadableFile() const { return m_strUnreadablePath; }
    static std::filesystem::path FreeUnreadableName(const std::filesystem::path& file);

    // The application as the panes may ask it (flags, launches, help).
    document::DocumentHost& Host() const { return m_host; }

    // Whether the configuration was read in part (the user face reads only
    // the entries that can become the profile); such a document never saves.
    bool IsPartial() const { return m_bPartial; }

    // A save is under way (it may be waiting for another one's lock): no
    // second save, open or close starts meanwhile.
    bool IsSaving() const { return m_bSaving; }
    // Where saves get their lock from; the file lock unless given another.
    using SaveLockMaker = std::function<std::unique_ptr<platform::SaveLockHolder>()>;
    void SetSaveLockMaker(SaveLockMaker maker) { m_makeSaveLock = std::move(maker); }
    // The entries as the administrator's face last read or wrote them, to
    // tell what a save changed.
    const journal::EntrySnapshot& ReadEntries() const { return m_readEntries; }

protected:
    config::StoreResult ReadFile(const std::filesystem::path& path) override;
    config::StoreResult WriteFile(const std::filesystem::path& path) override;

private:
    void RegisterCommands();
    bool SelectionCommandEnabled() const;
    bool TestLogonScriptEnabled() const;
    void ShowMessage(const QString& text);
    void ReportScriptFailure(const CTSUserDataItem& entry);
    // The first open tells the journal who started, with which profile.
    void JournalSessionStart();
    // Keeps the unreadable file before it is saved over; false when that
    // failed and the save must not go on (the failure has been reported).
    bool KeepUnreadableBefore(const QString& path);
    // Takes the save lock and, when the file changed on disk since this
    // window read or wrote it, asks whether to overwrite. False: no save
    // (refused, or the lock failure reported).
    bool LockUnchangedOrAgreed(const QString& path, platform::SaveLockHolder& lock);
    // Takes the lock, waiting through the seam while another save holds it.
    platform::FileError TakeSaveLock(platform::SaveLockHolder& lock, const std::filesystem::path& lockFile);

    document::DocumentHost& m_host;
    platform::AccountServices& m_accounts;
    QString m_strUnreadablePath;  // an opened file that did not read, not yet saved over
    bool m_bPartial = false;      // holds only the user's candidate entries
    bool m_bSaving = false;
    SaveLockMaker m_makeSaveLock;
    // The configuration as this window last read or wrote it.
    std::filesystem::path m_diskFile;
    platform::FileIdentity m_diskIdentity;
    accounts::ProfileMatch m_profileMatch = accounts::ProfileMatch::New;
    bool m_bSessionStartTold = false;
    journal::EntrySnapshot m_readEntries;
    std::string m_keptUnreadable;  // where the last save kept an unreadable file
};
