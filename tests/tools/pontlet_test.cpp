#include "pontlet_support.h"
#include "transfer_options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace pontlet;
using namespace pontlettest;

TEST(PontletArguments, AcceptsTheCommandLinesTheProgramBuilds)
{
    // As split from: pontlet -ServerPath "/srv/docs/" -ClientPath "/home/a/docs/" -Server2Client -overwriteIfDiff -hide
    auto r = ParseArguments({"-ServerPath", "/srv/docs/", "-ClientPath", "/home/a/docs/", "-Server2Client",
                             "-overwriteIfDiff", "-hide"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.options.mode, Mode::Automatic);
    EXPECT_EQ(r.options.serverPath, "/srv/docs/");
    EXPECT_EQ(r.options.clientPath, "/home/a/docs/");
    EXPECT_TRUE(r.options.serverToClient);
    EXPECT_EQ(r.options.overwrite, Overwrite::IfDifferent);
    EXPECT_TRUE(r.options.hide);

    struct Case {
        const char* sw;
        Overwrite expected;
    };
    for (Case c : {Case{"-overwrite", Overwrite::Always}, Case{"-skip", Overwrite::Skip}}) {
        auto x = ParseArguments({"-ServerPath", "/s/", "-ClientPath", "/c/", "-Client2Server", c.sw});
        ASSERT_TRUE(x.ok);
        EXPECT_FALSE(x.options.serverToClient);
        EXPECT_EQ(x.options.overwrite, c.expected);
    }
    auto ask = ParseArguments({"-ServerPath", "/s/", "-ClientPath", "/c/", "-Client2Server"});
    EXPECT_EQ(ask.options.overwrite, Overwrite::Ask);

    auto manual = ParseArguments({"-SetServerFileList", "Docs;/srv/docs", "-ClientPath",
                                  "Default Directory (/home/a;b);/home/a;b"});
    ASSERT_TRUE(manual.ok) << manual.error;
    EXPECT_EQ(manual.options.mode, Mode::Manual);
    EXPECT_EQ(manual.options.server.label, "Docs");
    EXPECT_EQ(manual.options.server.path, "/srv/docs");
    EXPECT_EQ(manual.options.client.path, "/home/a;b");  // the part that repeats
    EXPECT_EQ(manual.options.client.label, "Default Directory (/home/a;b)");
    EXPECT_FALSE(ParseArguments({"-SetServerFileList", "Docs;/srv"}).options.hasClient);
}

TEST(PontletArguments, RefusesIncompleteOrUnknownSwitches)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"-ServerPath", "/s/", "-ClientPath", "/c/"},
        {"-ServerPath", "/s/", "-Server2Client"},
        {"-ServerPath"},
        {"-ServerPath", "/s/", "-ClientPath", "/c/", "-Server2Client", "-Client2Server"},
        {"-ServerPath", "/s/", "-ClientPath", "/c/", "-Server2Client", "--force"},
        {"-SetServerFileList", "a;/b", "-Server2Client"},
        {"-ServerPath", "/s\"", "-ClientPath", "/c/", "-Server2Client"},
        {"-ServerPath", "/s/", "-ClientPath", "/c\" -hide", "-Server2Client"},
        {"-SetServerFileList", "a;/b\"x"},
        {"-SetServerFileList", "a;/b", "-ClientPath", "/c\""},
    };
    for (const auto& args : bad)
        EXPECT_FALSE(ParseArguments(args).ok) << (args.empty() ? "(none)" : args.back());
    EXPECT_EQ(ParseArguments(bad.back()).error, "a folder path cannot contain the character \"");
}

TEST(TreeCopy, PoliciesDecideWhatHappensToExistingFiles)
{
    struct Case {
        Overwrite policy;
        Answer answer;  // used in ask mode
        std::string same, changed;
        std::size_t copied, skipped;
    };
    // "same" has the source's content and time stamp; "changed" differs.
    const Case cases[] = {
        {Overwrite::Always, Answer::No, "src-same", "src-changed", 3, 0},
        {Overwrite::Skip, Answer::No, "src-same", "old", 1, 2},
        {Overwrite::IfDifferent, Answer::No, "src-same", "src-changed", 2, 1},
        {Overwrite::Ask, Answer::Yes, "src-same", "src-changed", 2, 1},
        {Overwrite::Ask, Answer::No, "src-same", "old", 1, 2},
    };
    for (const auto& c : cases) {
        auto from = Fresh("from"), to = Fresh("to");
        Put(from / "same.txt", "src-same");
        Put(from / "sub/changed.txt", "src-changed");
        Put(from / "sub/deeper/new.txt", "new");
        Put(to / "same.txt", "src-same");
        fs::last_write_time(to / "same.txt", fs::last_write_time(from / "same.txt"));
        Put(to / "sub/changed.txt", "old");

        int asked = 0;
        const Outcome out = CopyContents(from, to, Rule(c.policy, [&](const Conflict&) {
                                             ++asked;
                                             return c.answer;
                                         }));
        EXPECT_EQ(out.copied, c.copied) << int(c.policy);
        EXPECT_EQ(out.skipped, c.skipped) << int(c.policy);
        EXPECT_EQ(out.ExitCode(), kExitDone);
        EXPECT_EQ(Slurp(to / "same.txt"), c.same);
        EXPECT_EQ(Slurp(to / "sub/changed.txt"), c.changed);
        EXPECT_EQ(Slurp(to / "sub/deeper/new.txt"), "new");
        EXPECT_LE(asked, 1) << "an identical file is not asked about";
    }
}

TEST(TreeCopy, CancelStopsAndNothingHalfWrittenRemains)
{
    auto from = Fresh("cfrom"), to = Fresh("cto");
    Put(from / "a.txt", "new a");
    Put(to / "a.txt", "older content of a");
    const Outcome out = CopyContents(from, to, Rule(Overwrite::Ask, [](const Conflict&) { return Answer::Cancel; }));
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.ExitCode(), kExitCancelled);
    EXPECT_EQ(Slurp(to / "a.txt"), "older content of a");
    for (auto& e : fs::recursive_directory_iterator(to))
        EXPECT_EQ(e.path().extension(), ".txt") << e.path();
}

TEST(TreeCopy, MissingSourceIsReportedAndNoAskerKeepsFiles)
{
    const Outcome missing = CopyContents(Fresh("m") / "absent", Fresh("mt"), Rule(Overwrite::Always));
    EXPECT_EQ(missing.failures.size(), 1u);
    EXPECT_EQ(missing.ExitCode(), kExitNotCopied);

    auto from = Fresh("nfrom"), to = Fresh("nto");
    Put(from / "x", "new");
    Put(to / "x", "keep");
    const Outcome kept = CopyContents(from, to, Rule(Overwrite::Ask));
    EXPECT_EQ(Slurp(to / "x"), "keep");
    EXPECT_EQ(kept.kept, std::vector<fs::path>{from / "x"}) << "kept files are named";
    EXPECT_EQ(kept.ExitCode(), kExitNotCopied);
}

TEST(TreeCopy, ToAllAnswersAreNotAskedAgain)
{
    for (Answer a : {Answer::YesToAll, Answer::NoToAll}) {
        auto from = Fresh("afrom"), to = Fresh("ato");
        for (auto n : {"1", "2", "3"}) {
            Put(from / n, "new content");
            Put(to / n, "old");
        }
        int asked = 0;
        const Outcome out = CopyContents(from, to, Rule(Overwrite::Ask, [&](const Conflict&) {
                                             ++asked;
                                             return a;
                                         }));
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(out.copied, a == Answer::YesToAll ? 3u : 0u);
    }
}

TEST(PontletArguments, ListsSplitWhereTheProgramJoined)
{
    struct Case {
        bool client;
        const char* value;
        const char* label;
        const char* path;
    };
    const Case cases[] = {
        {false, "Docs;/srv/a;b/", "Docs", "/srv/a;b/"},   // the name ends at the first ";/"
        {false, "Docs;2024;/srv/x", "Docs;2024", "/srv/x"},
        {false, "a;/b;/c", "a", "/b;/c"},
        {false, "Docs;", "Docs", ""},
        {false, "Docs;2024;", "Docs", "2024;"},  // no ";/": the first ';'
        {false, "/srv/only", "/srv/only", "/srv/only"},
        {true, "Default Directory (/home/a;b);/home/a;b", "Default Directory (/home/a;b)", "/home/a;b"},
        {true, "Default Directory (;);;", "Default Directory (;)", ";"},
        {true, "Default Directory (~/x);~/x", "Default Directory (~/x)", "~/x"},
        {true, "Default Directory (/x);/y", "Default Directory (/x)", "/y"},  // no repeat: first ';'
        {true, "Mine;/c;d", "Mine", "/c;d"},
    };
    for (const Case& c : cases) {
        const ListedFolder f = c.client ? SplitClientList(c.value) : SplitServerList(c.value);
        EXPECT_EQ(f.label, c.label) << c.value;
        EXPECT_EQ(f.path, c.path) << c.value;
    }
}

TEST(PontletArguments, HelpNamesEverySwitchAndEndsWithTheExitCodes)
{
    const std::string help = HelpText();
    for (const char* sw : {"-ServerPath", "-ClientPath", "-Server2Client", "-Client2Server", "-overwrite ",
                           "-overwriteIfDiff", "-skip", "-hide", "--dry-run", "-SetServerFileList", "--help",
                           "--version"})
        EXPECT_NE(help.find("\n  " + std::string(sw)), std::string::npos) << sw;
    EXPECT_NE(help.rfind("exit codes: 0"), std::string::npos);
    EXPECT_GT(help.rfind("3 cancelled\n"), help.rfind("--version"));
    for (const char* sw : {"--help", "--VERSION"})
        EXPECT_TRUE(ParseArguments({sw}).ok) << sw;
    EXPECT_FALSE(ParseArguments({"-SetServerFileList", "a;/b", "--dry-run"}).ok);
}
