#include "transfer_options.h"
#include "tree_copy.h"

#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pontlet;

namespace {

fs::path Fresh(const std::string& name)
{
    auto d = testfiles::ScratchDir("pontlet") / name;
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

using testfiles::Put;
using testfiles::Slurp;

} // namespace

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
    EXPECT_EQ(manual.options.client.path, "b");  // the path is what follows the last ';'
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
    };
    for (const auto& args : bad)
        EXPECT_FALSE(ParseArguments(args).ok) << (args.empty() ? "(none)" : args.back());
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
        TreeCopy copy(from, to, c.policy);
        copy.RunToEnd([&](const fs::path&, const fs::path&) {
            ++asked;
            return c.answer;
        });
        EXPECT_EQ(copy.Summary().copied, c.copied) << int(c.policy);
        EXPECT_EQ(copy.Summary().skipped, c.skipped) << int(c.policy);
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
    TreeCopy copy(from, to, Overwrite::Ask);
    copy.RunToEnd([](const fs::path&, const fs::path&) { return Answer::Cancel; });
    EXPECT_TRUE(copy.Summary().cancelled);
    EXPECT_EQ(Slurp(to / "a.txt"), "older content of a");
    for (auto& e : fs::recursive_directory_iterator(to))
        EXPECT_EQ(e.path().extension(), ".txt") << e.path();
}

TEST(TreeCopy, MissingSourceIsReportedAndNoAskerKeepsFiles)
{
    TreeCopy missing(Fresh("m") / "absent", Fresh("mt"), Overwrite::Always);
    missing.RunToEnd(nullptr);
    EXPECT_EQ(missing.Summary().failed, 1u);

    auto from = Fresh("nfrom"), to = Fresh("nto");
    Put(from / "x", "new");
    Put(to / "x", "keep");
    TreeCopy copy(from, to, Overwrite::Ask);
    copy.RunToEnd(nullptr);
    EXPECT_EQ(Slurp(to / "x"), "keep");
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
        TreeCopy copy(from, to, Overwrite::Ask);
        copy.RunToEnd([&](const fs::path&, const fs::path&) {
            ++asked;
            return a;
        });
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(copy.Summary().copied, a == Answer::YesToAll ? 3u : 0u);
    }
}
