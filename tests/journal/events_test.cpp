#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/text.h"
#include "journal/events.h"

namespace {

using Kind = journal::ProgramEnd::Kind;

struct CollectingSink : platform::JournalSink {
    std::vector<platform::JournalFields> sent;
    void Send(const platform::JournalFields& fields) override { sent.push_back(fields); }
};

std::string Value(const platform::JournalFields& fields, const std::string& name)
{
    for (const auto& f : fields)
        if (f.name == name)
            return f.value;
    return "<none>";
}

std::size_t Count(const platform::JournalFields& fields, const std::string& name)
{
    std::size_t n = 0;
    for (const auto& f : fields)
        n += f.name == name;
    return n;
}

CTSUserData Data(const std::vector<std::pair<std::string, std::string>>& entries)
{
    CTSUserData data;
    for (const auto& [name, program] : entries)
        data.Add(config::FromUtf8(name), kEntryUser, false)->m_script.m_strProgramPath = config::FromUtf8(program);
    return data;
}

} // namespace

// Every record carries the five common fields first; the message stays one line; no sink, no record.
TEST(Journal, EveryRecordCarriesTheCommonFields)
{
    auto sink = std::make_shared<CollectingSink>();
    const journal::Journal log(sink, "quillon", "VM\\anna");
    log.Write(journal::Refused("/etc/passwd\nforged", "outside the locations"));
    journal::Journal().Write(journal::SessionEnd(1));
    ASSERT_EQ(sink->sent.size(), 1u);
    const auto& f = sink->sent[0];
    const std::vector<std::string> firstNames{f[0].name, f[1].name, f[2].name, f[3].name, f[4].name};
    EXPECT_EQ(firstNames, (std::vector<std::string>{"MESSAGE", "PRIORITY", "SYSLOG_IDENTIFIER", "QUILLON_EVENT",
                                                    "QUILLON_ACCOUNT"}));
    EXPECT_EQ(Value(f, "MESSAGE"), "refused /etc/passwd forged: outside the locations");
    EXPECT_EQ(Value(f, "PRIORITY"), "5");
    EXPECT_EQ(Value(f, "QUILLON_ACCOUNT"), "VM\\anna");
    EXPECT_EQ(Value(f, "QUILLON_PATH"), "/etc/passwd\nforged") << "fields keep the exact bytes";
}

// How a program ended decides END, EXIT_CODE, the level and the transfer's meaning.
TEST(Journal, ProgramEndsBecomeFields)
{
    const struct {
        journal::ProgramEnd end;
        std::string name, exitCode, priority, meaning;
    } cases[] = {
        {{Kind::Exited, 0, "", 1.5}, "exited", "0", "6", "everything copied or decided by a rule"},
        {{Kind::Exited, 1, "", 1}, "exited", "1", "4", "some files not copied"},
        {{Kind::TimedOut, -1, "", 30}, "timed-out", "<none>", "4", "<none>"},
        {{Kind::Aborted, -1, "", 2}, "aborted", "<none>", "4", "<none>"},
        {{Kind::FailedToStart, -1, "No such file or directory", 0}, "failed-to-start", "<none>", "4", "<none>"},
    };
    for (const auto& c : cases) {
        const auto record = journal::Transfer(u"Docs", "server-to-client", u"pontlet -hide", c.end);
        const auto& f = record.Fields();
        EXPECT_EQ(Value(f, "QUILLON_END"), c.name);
        EXPECT_EQ(Value(f, "QUILLON_EXIT_CODE"), c.exitCode) << c.name;
        EXPECT_EQ(std::to_string(static_cast<int>(record.Priority())), c.priority) << c.name;
        EXPECT_EQ(Value(f, "QUILLON_EXIT_MEANING"), c.meaning) << c.name;
        EXPECT_EQ(Value(journal::LogonProgram(u"x", c.end).Fields(), "QUILLON_END"), c.name);
    }
    EXPECT_EQ(Value(journal::LogonProgram(u"x", cases[4].end).Fields(), "QUILLON_REASON"), "No such file or directory");
}

// Added, removed and changed entries against what was read; names listed up to 20, counts always.
TEST(Journal, SavesNameTheEntriesTheyChanged)
{
    const auto before = journal::TakeSnapshot(Data({{"VM\\anna", "/bin/a"}, {"VM\\bob", ""}, {"VM\\carl", ""}}));
    const auto changes = journal::CompareEntries(before, Data({{"VM\\anna", "/bin/b"}, {"VM\\carl", ""}, {"VM\\dora", ""}}));
    EXPECT_EQ(changes.added, std::vector<std::u16string>{u"VM\\dora"});
    EXPECT_EQ(changes.removed, std::vector<std::u16string>{u"VM\\bob"});
    EXPECT_EQ(changes.changed, std::vector<std::u16string>{u"VM\\anna"});

    for (const std::size_t n : {std::size_t{20}, std::size_t{21}}) {
        journal::EntryChanges many;
        many.added.assign(n, u"VM\\x");
        const auto f = journal::ConfigurationSaved("/opt/quillon/userConfig.QLNData", "console", many).Fields();
        EXPECT_EQ(Value(f, "QUILLON_ENTRIES_ADDED"), std::to_string(n));
        EXPECT_EQ(Count(f, "QUILLON_ENTRY_ADDED"), n <= 20 ? n : 0u);
    }
}
