#include "commands.h"

#include "config/config_file.h"
#include "platform/accounts.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include "captured_run.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using quillonctl::Run;

namespace {

Outcome Ctl(std::vector<std::string> args)
{
    return Capture([&](std::ostream& out, std::ostream& err) { return Run(args, out, err); });
}

fs::path Dir()
{
    return testfiles::ScratchDir("quillonctl");
}

using testfiles::Put;
using testfiles::Slurp;

CTSUserData Sample()
{
    CTSUserData data;
    CTSUserDataItem* g = data.Add(u"HOST\\staff", kEntryGroup, false);
    CTSAppDataItem l;
    l.m_strName = u"Shared \u00E9";
    l.m_strServerLocation = u"/srv/shared";
    l.m_strClientLocation = u"/home/%USERNAME%/shared";
    l.m_nOverwriteMode = -1;
    l.m_bSyncEnabled = 1;
    l.m_nConnectAction = 3;
    l.m_visualOptions.m_nImageStyle = 16;
    g->m_locations.Add(l, false);
    g->m_script.m_strProgramPath = u"/usr/bin/logon";
    g->m_script.m_nTimeout = 30000;
    g->m_script.m_bEnabled = 1;
    data.Add(u"HOST\\anna", kEntryUser, false);
    return data;
}

} // namespace

TEST(Quillonctl, DumpThenLoadGivesTheSameBytes)
{
    auto in = Dir() / "in.QLNData";
    ASSERT_TRUE(config::SaveConfigurationFile(in, Sample()));
    Outcome dump = Ctl({"dump", in.string()});
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_NE(dump.out.find("\"schema\": 1003"), std::string::npos);
    EXPECT_NE(dump.out.find("\"name\":\"Shared \xC3\xA9\""), std::string::npos);

    Put(Dir() / "in.json", dump.out);
    auto out = Dir() / "out.QLNData";
    Outcome load = Ctl({"load", (Dir() / "in.json").string(), out.string()});
    ASSERT_EQ(load.code, 0) << load.err;
    EXPECT_EQ(Slurp(out), Slurp(in));
}

TEST(Quillonctl, LoadTakesDefaultsForMissingKeys)
{
    Put(Dir() / "min.json", R"({"entries": [{"name": "H\\g", "type": 2, "locations": [{"name": "L"}]}]})");
    auto out = Dir() / "min.QLNData";
    ASSERT_EQ(Ctl({"load", (Dir() / "min.json").string(), out.string()}).code, 0);
    CTSUserData data;
    ASSERT_TRUE(config::LoadConfigurationFile(out, data));
    ASSERT_EQ(data.GetSize(), 1u);
    EXPECT_EQ(data.GetAt(0).m_script, CTSUserScriptItem());
    CTSAppDataItem expected;
    expected.m_strName = u"L";
    EXPECT_EQ(data.GetAt(0).m_locations.GetAt(0), expected);
}

TEST(Quillonctl, LoadRefusesBadJsonNamingTheKeyAndWritesNothing)
{
    struct Case {
        const char* json;
        const char* mentions;
    };
    const Case cases[] = {
        {R"({"entries": [{"name": "x", "colour": 1}]})", "entries[0].colour: unknown key"},
        {R"({"entries": [{"name": 5}]})", "entries[0].name: must be a string"},
        {R"({"entries": [{"locations": [{}, {"syncEnabled": 1}]}]})", "entries[0].locations[1].syncEnabled"},
        {R"({"entries": [{"script": {"timeout": 4294967296}}]})", "entries[0].script.timeout"},
        {R"({"entries": [{"locations": [{"visualOptions": {"viewStyle": "4"}}]}]})",
         "entries[0].locations[0].visualOptions.viewStyle"},
        {R"({"schema": -1, "entries": []})", "schema"},
        {R"({"entries": {}})", "entries: must be an array"},
        {R"({"version": 1})", "version: unknown key"},
        {R"([1, 2])", "must be an object"},
        {R"({"entries": [)", "not valid JSON"},
        // Numbers no field can hold, or of the wrong kind; schemas without a known layout.
        {R"({"schema": 1e400})", "schema: "},
        {R"({"entries": [{}, {"name": "x", "type": -1e400}]})", "entries[1].type: "},
        {R"({"entries": [{"script": {"timeout": 1.5}}]})", "entries[0].script.timeout: must be an integer"},
        {R"({"entries": [{"type": "1"}]})", "entries[0].type: must be an integer"},
        {R"({"schema": "1003"})", "schema: must be"},
        {R"({"schema": 1004, "entries": []})", "schema: 1004 is not a format"},
        {R"({"schema": 0, "entries": []})", "schema: 0 is not a format"},
        // The record rules of the file.
        {R"({"entries": [{"name": "H\\anna"}, {"name": "h\\ANNA"}]})",
         "entries[1] \"h\\ANNA\": the same name as entries[0] apart from letter case"},
        {R"({"entries": [{"name": "H\\g", "type": 3}]})", "entries[0] \"H\\g\": type 3"},
        {R"({"entries": [{"name": "H\\g", "locations": [{"name": "A"}, {"name": "a"}, {"name": "A"}]}]})",
         "entries[0] \"H\\g\": two locations named \"A\""},
        {R"({"entries": [{"name": "H\\g", "locations": [{"name": "A", "serverLocation": "/s\"x"}]}]})",
         "entries[0] \"H\\g\", location \"A\": a folder path cannot contain the character \""},
        {R"({"entries": [{"name": "H\\g", "locations": [{"name": "B", "clientLocation": "\" -hide"}]}]})",
         "entries[0] \"H\\g\", location \"B\": a folder path"},
    };
    auto out = Dir() / "never.QLNData";
    for (const auto& c : cases) {
        Put(Dir() / "bad.json", c.json);
        fs::remove(out);
        Outcome r = Ctl({"load", (Dir() / "bad.json").string(), out.string()});
        EXPECT_EQ(r.code, 1) << c.json;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << c.json << " -> " << r.err;
        EXPECT_FALSE(fs::exists(out)) << c.json;
    }
}

TEST(Quillonctl, LoadTakesAnOlderSchemaAndSaysWhichWasWritten)
{
    Put(Dir() / "old.json", R"({"schema": 1001, "entries": [{"name": "H\\u"}]})");
    Outcome r = Ctl({"load", (Dir() / "old.json").string(), (Dir() / "old.QLNData").string()});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("schema 1001; " + (Dir() / "old.QLNData").string() + " was written with schema 1003"),
              std::string::npos) << r.err;
}

TEST(Quillonctl, LoadAndCheckWarnOfEntriesWithoutADomainNamingTheFormThatMatches)
{
    std::string computer;
    ASSERT_TRUE(platform::CreateSystemAccountServices()->LocalComputerName(computer));
    const fs::path json = Dir() / "bare.json", out = Dir() / "bare.QLNData";
    Put(json, R"({"entries": [{"name": "HOST\\anna"}, {"name": "qadm-u2"},
                  {"name": "ops@corp.example", "type": 2}]})");
    for (const std::vector<std::string>& call : {std::vector<std::string>{"load", json.string(), out.string()},
                                                 std::vector<std::string>{"check", out.string()}}) {
        const Outcome o = Ctl(call);
        EXPECT_EQ(o.code, 0) << call[0];
        EXPECT_EQ(o.err, "quillonctl: warning: entry \"qadm-u2\" has no domain and matches no account; \"" + computer
                             + "\\qadm-u2\" would match\n"
                             "quillonctl: warning: entry \"ops@corp.example\" has no domain and matches no account; "
                             "\"CORP\\ops\" would match\n")
            << call[0];
    }
}

TEST(Quillonctl, CheckConvertAndLoadReadOnlyRegularFilesAndNeverWait)
{
    const fs::path fifo = Dir() / "fifo", out = Dir() / "from-device.QLNData";
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> calls = {
        {"check", fifo.string()}, {"check", "/dev/zero"}, {"convert", "/dev/zero", out.string()},
        {"convert", fifo.string(), out.string()}, {"check", Dir().string()},
        {"load", fifo.string(), out.string()}, {"load", "/dev/zero", out.string()},
        {"load", Dir().string(), out.string()}};
    for (const auto& call : calls) {
        // In a child, so that a command waiting on the FIFO fails the test instead of hanging it.
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(20);
            ::_exit(Ctl(call).code);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << call[0] << ' ' << call[1];
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_NE(Ctl({"check", "/dev/zero"}).err.find("/dev/zero: is not a regular file"), std::string::npos);
    EXPECT_NE(Ctl({"load", "/dev/zero", out.string()}).err.find("/dev/zero: is not a regular file"), std::string::npos);
}

TEST(Quillonctl, CheckAndConvertReportDamageAndNeverTouchOutput)
{
    auto good = Dir() / "good.QLNData";
    ASSERT_TRUE(config::SaveConfigurationFile(good, Sample()));
    auto damaged = Dir() / "damaged.QLNData";
    Put(damaged, Slurp(good).substr(0, 40));

    Outcome ok = Ctl({"check", good.string()});
    EXPECT_EQ(ok.code, 0);
    EXPECT_NE(ok.out.find("2 entries, 1 locations"), std::string::npos) << ok.out;

    Outcome bad = Ctl({"check", damaged.string()});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("offset"), std::string::npos) << bad.err;

    auto out = Dir() / "existing.QLNData";
    Put(out, "keep me");
    EXPECT_EQ(Ctl({"convert", damaged.string(), out.string()}).code, 1);
    EXPECT_EQ(Ctl({"convert", (Dir() / "absent").string(), out.string()}).code, 1);
    EXPECT_EQ(Slurp(out), "keep me");
    EXPECT_EQ(Ctl({"convert", good.string(), out.string()}).code, 0);
    EXPECT_EQ(Slurp(out), Slurp(good));
}

TEST(Quillonctl, WrongUsageExitsWithTwo)
{
    const std::vector<std::vector<std::string>> calls = {
        {}, {"frobnicate"}, {"dump", "a", "b"}, {"load", "only-one"}, {"check"}, {"convert", "in"},
    };
    for (const auto& c : calls)
        EXPECT_EQ(Ctl(c).code, 2) << (c.empty() ? "(none)" : c[0]);
    EXPECT_EQ(Ctl({"--help"}).code, 0);
}

// Help and version go to standard output and succeed; the help has a line for
// every command and switch and ends with the exit codes.
TEST(Quillonctl, HelpAndVersionAnswerOnStandardOutput)
{
    for (const char* word : {"--help", "-h", "--version"}) {
        const Outcome o = Ctl({word});
        EXPECT_EQ(o.code, 0) << word;
        EXPECT_EQ(o.err, "") << word;
    }
    EXPECT_EQ(Ctl({"--version"}).out, "quillonctl 3.0.3.4\n");
    const std::string help = Ctl({"--help"}).out;
    for (const auto& c : quillonctl::AllCommands())
        EXPECT_NE(help.find("\n  " + std::string(c.name) + ' ' + c.usage + ' '), std::string::npos) << c.name;
    for (const char* line : {"\n  --help ", "\n  --version "})
        EXPECT_NE(help.find(line), std::string::npos) << line;
    EXPECT_EQ(help.substr(help.rfind("\n", help.size() - 2) + 1, 12), "Exit codes: ");
}
