#pragma once
#include <string>

#include "config/records.h"
#include "journal/events.h"

namespace quillonctl {

// A command that writes the configuration beside the program tells the
// journal what it changed against what that file held, or why it failed.
// Any other target is not recorded.
class LiveSaveJournal {
public:
    LiveSaveJournal(const journal::Journal& journal, const char* source, const std::string& target);

    void Saved(const CTSUserData& written) const;
    void Failed(const std::string& reason) const;

private:
    const journal::Journal& m_journal;
    const char* m_source;
    std::string m_target;
    bool m_live = false;
    journal::EntrySnapshot m_before;
};

} // namespace quillonctl
