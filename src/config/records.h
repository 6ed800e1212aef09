#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/archive.h"

// The configuration's data model: one entry per configured user or group, each
// with its locations and its logon program. Collections keep insertion order,
// which is also the file order and the order the administrator sees.

// Look of a location's folder view.
class CLocationVisualOptions {
public:
    bool m_bShowCommonTasks = false;
    std::u16string m_strImagePath;
    std::int32_t m_nImageStyle = -1;  // "Normal" 0, "Tile" 16, "Center" 1; -1 not set
    std::int32_t m_nViewStyle = -1;   // 1 "Icon" .. 7 "Thumbstrip"; -1 not set

    void Serialize(config::Archive& ar);
    bool operator==(const CLocationVisualOptions&) const = default;
};

// Overwrite codes of automatic transfers. Any other value means "ask".
enum OverwriteMode : std::int32_t {
    kOverwriteAlways = 8,
    kOverwriteIfDifferent = 101,
    kOverwriteSkip = 1042,
    kOverwriteAsk = -1,
};

// Transfers run when the user connects.
enum ConnectAction : std::int32_t {
    kConnectNone = 0,
    kConnectUpdateClient = 1,
    kConnectUpdateServer = 2,
    kConnectServerMaster = 3,
    kConnectClientMaster = 4,
};

// One location: a server folder shown to the user, optionally kept in step
// with a folder on the client.
class CTSAppDataItem {
public:
    std::u16string m_strName;
    std::u16string m_strServerLocation;
    std::u16string m_strClientLocation;
    std::int32_t m_nOverwriteMode = 0;
    std::int32_t m_bClientToServer = 0;
    std::int32_t m_bServerToClient = 0;
    std::int32_t m_bManualTransfer = 0;
    std::int32_t m_bSyncEnabled = 0;
    std::int32_t m_bHideTransferWindow = 0;
    std::int32_t m_nConnectAction = 0;
    std::int32_t m_bRightMouseButton = 0;
    std::int32_t m_bExpandEnvironment = 0;
    CLocationVisualOptions m_visualOptions;

    void Serialize(config::Archive& ar);
    bool operator==(const CTSAppDataItem&) const = default;
};

// The logon program of an entry.
class CTSUserScriptItem {
public:
    std::u16string m_strArguments;
    std::int32_t m_bUserCanAbort = 1;
    std::u16string m_strProgramPath;
    std::u16string m_strDisplayName;
    std::int32_t m_nTimeout = 0;  // milliseconds; -1 waits forever
    std::int32_t m_bWait = 1;
    std::u16string m_strWorkingDirectory;
    std::int32_t m_bEnabled = 0;

    void Serialize(config::Archive& ar);
    bool operator==(const CTSUserScriptItem&) const = default;
};

// The locations of one entry; names are unique with regard to case.
class CTSAppData {
public:
    std::vector<CTSAppDataItem> m_items;

    // Appends a copy of item, or with bReplace overwrites the location of the
    // same name in place. 0 when the name exists and bReplace is false.
    int Add(const CTSAppDataItem& item, bool bReplace);
    // 1 when the first location with exactly this name was removed.
    int Remove(const std::u16string& name);

    std::size_t GetSize() const { return m_items.size(); }
    CTSAppDataItem& GetAt(std::size_t i) { return m_items[i]; }
    const CTSAppDataItem& GetAt(std::size_t i) const { return m_items[i]; }

    void Serialize(config::Archive& ar);
    bool operator==(const CTSAppData&) const = default;
};

enum EntryType : std::int32_t {
    kEntryUser = 1,
    kEntryGroup = 2,
};

// One configured user or group.
class CTSUserDataItem {
public:
    CTSUserDataItem() = default;
    CTSUserDataItem(std::u16string name, std::int32_t type) : m_nType(type), m_strName(std::move(name)) {}
    CTSUserDataItem(const CTSUserDataItem&) = default;
    // Copies type, name and locations but not the script: script settings
    // only ever change field by field.
    CTSUserDataItem& operator=(const CTSUserDataItem& other);

    std::int32_t m_nType = 0;
    std::u16string m_strName;
    CTSAppData m_locations;
    CTSUserScriptItem m_script;

    void Serialize(config::Archive& ar);
    bool operator==(const CTSUserDataItem&) const = default;
};

// All entries; names are unique without regard to case. Entries live at
// stable addresses, so a pointer to one stays valid while others are added
// or removed.
class CTSUserData {
public:
    static constexpr std::uint32_t kCurrentSchema = 1003;

    std::vector<std::unique_ptr<CTSUserDataItem>> m_items;

    CTSUserDataItem* Find(const std::u16string& name);
    const CTSUserDataItem* Find(const std::u16string& name) const;
    // Appends a new entry; an existing one is returned as none, or with
    // bReplace takes the type and spelling given and loses its locations.
    CTSUserDataItem* Add(const std::u16string& name, std::int32_t type, bool bReplace);
    bool Remove(const std::u16string& name);
    void RemoveAll() { m_items.clear(); }

    std::size_t GetSize() const { return m_items.size(); }
    CTSUserDataItem& GetAt(std::size_t i) { return *m_items[i]; }
    const CTSUserDataItem& GetAt(std::size_t i) const { return *m_items[i]; }

    // Writes the current format; reads any. The collection must be empty
    // before reading; on failure it may hold part of what was read.
    void Serialize(config::Archive& ar);

    // Ranks an entry by its name for a read that builds one entry only: 0
    // passes over it; otherwise the entry of the lowest rank (the first of
    // equal ranks) is built. Entries passed over are walked by their stored
    // lengths, with every check and error offset a full read has.
    using EntryRank = std::function<std::size_t(const std::u16string& name)>;
    struct Tally {
        std::uint64_t entries = 0;
        std::uint64_t locations = 0;
    };
    // Reads like Serialize, or with `rank` builds only the best-ranked entry.
    // Counts every entry and location of the input, built or not.
    Tally LoadMatching(config::Archive& ar, const EntryRank& rank);
    bool operator==(const CTSUserData& other) const;
};
