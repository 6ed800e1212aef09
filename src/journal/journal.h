#pragma once
#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/journal.h"

namespace platform {
class AccountServices;
}

// What the programs tell the system journal: one record per event, each with
// a readable MESSAGE and QUILLON_* fields to search by. Never a password and
// never the contents of a file.
namespace journal {

using platform::JournalPriority;

// One record under construction: the event's name, its level, its message
// and the fields of that event.
class Record {
public:
    Record(std::string event, JournalPriority priority, std::string message);

    Record& Add(const char* name, std::string value);
    Record& Add(const char* name, std::u16string_view value);
    Record& Add(const char* name, const char* value) { return Add(name, std::string(value)); }
    template <std::integral T>
    Record& Add(const char* name, T value)
    {
        return Add(name, std::to_string(value));
    }
    Record& AddSeconds(double seconds);

    const std::string& Event() const { return m_event; }
    JournalPriority Priority() const { return m_priority; }
    const std::string& Message() const { return m_message; }
    const platform::JournalFields& Fields() const { return m_fields; }

private:
    std::string m_event;
    JournalPriority m_priority;
    std::string m_message;
    platform::JournalFields m_fields;
};

// Where a program's records go, and the identifier and account each
// carries. A default Journal writes nothing. Cheap to copy.
class Journal {
public:
    Journal() = default;
    Journal(std::shared_ptr<platform::JournalSink> sink, std::string identifier, std::string account);

    void Write(const Record& record) const;
    // The whole record as sent: MESSAGE, PRIORITY, SYSLOG_IDENTIFIER,
    // QUILLON_EVENT, QUILLON_ACCOUNT, then the event's own fields.
    platform::JournalFields Fields(const Record& record) const;
    const std::string& Account() const { return m_account; }

private:
    std::shared_ptr<platform::JournalSink> m_sink;
    std::string m_identifier;
    std::string m_account;
};

// The journal of a shipped program: the system's journal socket (a test
// passes its own), for the account running it as profiles name it
// (DOMAIN\name).
Journal SystemJournal(const char* identifier, platform::AccountServices& accounts,
                      std::string socketPath = platform::kJournalSocketPath);

} // namespace journal
