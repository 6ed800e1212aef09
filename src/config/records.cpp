#include "config/records.h"

#include "config/text.h"

#include <algorithm>
#include <new>

namespace {

// Smallest number of bytes one element can take in a file (every string in
// its one-byte empty form); counts are checked against this before anything
// is allocated.
constexpr std::size_t kMinEntryBytes = 4 + 1 + 4 + (4 * 1 + 4 * 4);
constexpr std::size_t kMinLocationBytesOld = 3 * 1 + 8 * 4;
constexpr std::size_t kMinLocationBytes = kMinLocationBytesOld + 4 + 1 + 1 + 4 + 4;

// Files up to this number carry locations without the expand flag and the
// visual options.
constexpr std::uint32_t kLastSchemaWithoutVisualOptions = 1001;

template <typename T>
void ReserveOrFail(config::Archive& ar, std::vector<T>& v, std::size_t n, const char* what)
{
    try {
        v.reserve(n);
    } catch (const std::bad_alloc&) {
        throw config::ArchiveError(config::ArchiveCause::OutOfMemory, ar.Position(),
                                   std::string("no memory for ") + std::to_string(n) + " " + what);
    }
}

// Walks what a full read would build, without building it.
std::size_t SkipLocations(config::Archive& ar)
{
    const bool old = ar.GetObjectSchema() <= kLastSchemaWithoutVisualOptions;
    const std::size_t n = ar.ReadCount("location", old ? kMinLocationBytesOld : kMinLocationBytes);
    for (std::size_t i = 0; i < n; ++i) {
        ar.SkipString();
        ar.SkipString();
        ar.SkipString();
        ar.SkipFields(4, 8);
        if (!old) {
            ar.SkipFields(4, 1);
            ar.SkipBool();
            ar.SkipString();
            ar.SkipFields(4, 2);
        }
    }
    return n;
}

void SkipScript(config::Archive& ar)
{
    ar.SkipString();
    ar.SkipFields(4, 1);
    ar.SkipString();
    ar.SkipString();
    ar.SkipFields(4, 2);
    ar.SkipString();
    ar.SkipFields(4, 1);
}

} // namespace

void CLocationVisualOptions::Serialize(config::Archive& ar)
{
    if (ar.IsStoring())
        ar << m_bShowCommonTasks << m_strImagePath << m_nImageStyle << m_nViewStyle;
    else
        ar >> m_bShowCommonTasks >> m_strImagePath >> m_nImageStyle >> m_nViewStyle;
}

void CTSAppDataItem::Serialize(config::Archive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strName << m_strServerLocation << m_strClientLocation << m_nOverwriteMode << m_bClientToServer
           << m_bServerToClient << m_bManualTransfer << m_bSyncEnabled << m_bHideTransferWindow
           << m_nConnectAction << m_bRightMouseButton << m_bExpandEnvironment;
        m_visualOptions.Serialize(ar);
        return;
    }
    ar >> m_strName >> m_strServerLocation >> m_strClientLocation >> m_nOverwriteMode >> m_bClientToServer
        >> m_bServerToClient >> m_bManualTransfer >> m_bSyncEnabled >> m_bHideTransferWindow >> m_nConnectAction
        >> m_bRightMouseButton;
    // Every location sees the schema the entry collection read.
    const std::uint32_t schema = ar.GetObjectSchema();
    ar.SetObjectSchema(schema);
    if (schema > kLastSchemaWithoutVisualOptions) {
        ar >> m_bExpandEnvironment;
        m_visualOptions.Serialize(ar);
    }
}

void CTSUserScriptItem::Serialize(config::Archive& ar)
{
    if (ar.IsStoring())
        ar << m_strArguments << m_bUserCanAbort << m_strProgramPath << m_strDisplayName << m_nTimeout << m_bWait
           << m_strWorkingDirectory << m_bEnabled;
    else
        ar >> m_strArguments >> m_bUserCanAbort >> m_strProgramPath >> m_strDisplayName >> m_nTimeout >> m_bWait
            >> m_strWorkingDirectory >> m_bEnabled;
}

int CTSAppData::Add(const CTSAppDataItem& item, bool bReplace)
{
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const CTSAppDataItem& l) { return l.m_strName == item.m_strName; });
    if (it == m_items.end()) {
        m_items.push_back(item);
        return 1;
    }
    if (!bReplace)
        return 0;
    *it = item;
    return 1;
}

int CTSAppData::Remove(const std::u16string& name)
{
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const CTSAppDataItem& l) { return l.m_strName == name; });
    if (it == m_items.end())
        return 0;
    m_items.erase(it);
    return 1;
}

void CTSAppData::Serialize(config::Archive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<std::uint32_t>(m_items.size());
        for (auto& item : m_items)
            item.Serialize(ar);
        return;
    }
    const bool old = ar.GetObjectSchema() <= kLastSchemaWithoutVisualOptions;
    const std::size_t n = ar.ReadCount("location", old ? kMinLocationBytesOld : kMinLocationBytes);
    m_items.clear();
    ReserveOrFail(ar, m_items, n, "locations");
    for (std::size_t i = 0; i < n; ++i)
        m_items.emplace_back().Serialize(ar);
}

CTSUserDataItem& CTSUserDataItem::operator=(const CTSUserDataItem& other)
{
    if (this != &other) {
        m_nType = other.m_nType;
        m_strName = other.m_strName;
        m_locations = other.m_locations;
    }
    return *this;
}

void CTSUserDataItem::Serialize(config::Archive& ar)
{
    if (ar.IsStoring())
        ar << m_nType << m_strName;
    else
        ar >> m_nType >> m_strName;
    m_locations.Serialize(ar);
    m_script.Serialize(ar);
}

CTSUserDataItem* CTSUserData::Find(const std::u16string& name)
{
    for (auto& item : m_items) {
        if (config::EqualsNoCase(item->m_strName, name))
            return item.get();
    }
    return nullptr;
}

const CTSUserDataItem* CTSUserData::Find(const std::u16string& name) const
{
    return const_cast<CTSUserData*>(this)->Find(name);
}

CTSUserDataItem* CTSUserData::Add(const std::u16string& name, std::int32_t type, bool bReplace)
{
    if (CTSUserDataItem* found = Find(name)) {
        if (!bReplace)
            return nullptr;
        found->m_nType = type;
        found->m_strName = name;
        found->m_locations.m_items.clear();
        return found;
    }
    m_items.push_back(std::make_unique<CTSUserDataItem>(name, type));
    return m_items.back().get();
}

bool CTSUserData::Remove(const std::u16string& name)
{
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const auto& item) { return config::EqualsNoCase(item->m_strName, name); });
    if (it == m_items.end())
        return false;
    m_items.erase(it);
    return true;
}

void CTSUserData::Serialize(config::Archive& ar)
{
    if (ar.IsStoring()) {
        ar << kCurrentSchema << static_cast<std::uint32_t>(m_items.size());
        for (auto& item : m_items)
            item->Serialize(ar);
        return;
    }
    LoadMatching(ar, nullptr);
}

CTSUserData::Tally CTSUserData::LoadMatching(config::Archive& ar, const EntryRank& rank)
{
    std::uint32_t schema = 0;
    ar >> schema;
    ar.SetObjectSchema(schema);
    Tally tally;
    const std::size_t n = ar.ReadCount("entry", kMinEntryBytes);
    tally.entries = n;
    if (!rank) {
        ReserveOrFail(ar, m_items, n, "entries");
        for (std::size_t i = 0; i < n; ++i) {
            m_items.push_back(std::make_unique<CTSUserDataItem>());
            m_items.back()->Serialize(ar);
            tally.locations += m_items.back()->m_locations.GetSize();
        }
        return tally;
    }
    std::size_t bestRank = 0;
    std::int32_t type = 0;
    std::u16string name;
    for (std::size_t i = 0; i < n; ++i) {
        ar >> type >> name;
        const std::size_t r = rank(name);
        if (r == 0 || (bestRank != 0 && r >= bestRank)) {
            tally.locations += SkipLocations(ar);
            SkipScript(ar);
            continue;
        }
        auto entry = std::make_unique<CTSUserDataItem>();
        entry->m_nType = type;
        entry->m_strName.swap(name);
        entry->m_locations.Serialize(ar);
        entry->m_script.Serialize(ar);
        tally.locations += entry->m_locations.GetSize();
        m_items.clear();
        m_items.push_back(std::move(entry));
        bestRank = r;
    }
    return tally;
}

bool CTSUserData::operator==(const CTSUserData& other) const
{
    return std::equal(m_items.begin(), m_items.end(), other.m_items.begin(), other.m_items.end(),
                      [](const auto& a, const auto& b) { return *a == *b; });
}
