#include "live_journal.h"

#include "config/config_file.h"
#include "platform/files.h"
#include "platform/module_path.h"

namespace quillonctl {

LiveSaveJournal::LiveSaveJournal(const journal::Journal& journal, const char* source, const std::string& target)
    : m_journal(journal),
      m_source(source),
      m_target(target),
      m_live(platform::SameFile(target, platform::ConfigFilePath()))
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
