#include "journal/journal.h"

#include <cstdio>

#include "accounts/net_management.h"
#include "config/text.h"

namespace journal {

namespace {

// The message is one line whatever a name in it holds.
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return text;
}

} // namespace

Record::Record(std::string event, JournalPriority priority, std::string message)
    : m_event(std::move(event)), m_priority(priority), m_message(OneLine(std::move(message)))
{
}

Record& Record::Add(const char* name, std::string value)
{
    m_fields.push_back({name, std::move(value)});
    return *this;
}

Record& Record::Add(const char* name, std::u16string_view value) { return Add(name, config::ToUtf8(value)); }

Record& Record::AddSeconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds < 0 ? 0.0 : seconds);
    return Add("QUILLON_SECONDS", std::string(text));
}

Journal::Journal(std::shared_ptr<platform::JournalSink> sink, std::string identifier, std::string account)
    : m_sink(std::move(sink)), m_identifier(std::move(identifier)), m_account(std::move(account))
{
}

platform::JournalFields Journal::Fields(const Record& record) const
{
    platform::JournalFields fields{{"MESSAGE", record.Message()},
                                   {"PRIORITY", std::to_string(static_cast<int>(record.Priority()))},
                                   {"SYSLOG_IDENTIFIER", m_identifier},
                                   {"QUILLON_EVENT", record.Event()},
                                   {"QUILLON_ACCOUNT", m_account}};
    fields.insert(fields.end(), record.Fields().begin(), record.Fields().end());
    return fields;
}

void Journal::Write(const Record& record) const
{
    if (m_sink)
        m_sink->Send(Fields(record));
}

Journal SystemJournal(const char* identifier, platform::AccountServices& accounts, std::string socketPath)
{
    std::u16string account;
    accounts::NetManagement(std::u16string(), accounts).GetCurrentAccountName(account);
    return Journal(platform::CreateSystemJournalSink(std::move(socketPath)), identifier, config::ToUtf8(account));
}

} // namespace journal
