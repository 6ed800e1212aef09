#include "live_journal.h"

#include <filesystem>
#include <system_error>

#include "config/config_file.h"
#include "platform/module_path.h"

namespace quillonctl {

namespace {

// The same file, or the same place for one not made yet.
bool SamePlace(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    if (ec)
        return false;
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    return !ec && ca == cb;
}

} // namespace

LiveSaveJournal::LiveSaveJournal(const journal::Journal& journal, const char* source, const std::string& target)
    : m_journal(journal), m_source(source), m_target(target), m_live(SamePlace(target, platform::ConfigFilePath()))
{
    CTSUserData before;
    // A missing or unreadable file held no entries anybody could use.
    if (m_live && config::LoadConfigurationFile(target, before))
        m_before = journal::TakeSnapshot(before);
}

void LiveSaveJournal::Saved(const CTSUserData& written) const
{
    if (m_live)
        m_journal.Write(journal::ConfigurationSaved(m_target, m_source, journal::CompareEntries(m_before, written)));
}

void LiveSaveJournal::Failed(const std::string& reason) const
{
    if (m_live)
        m_journal.Write(journal::ConfigurationSaveFailed(m_target, m_source, reason));
}

} // namespace quillonctl
