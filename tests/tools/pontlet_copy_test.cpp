// The copy on real folders: attacks through links, special files, links,
// dry runs, names, cancelling.
#include "automatic_run.h"
#include "pontlet_support.h"
#include "platform/command_output.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <map>
#include <sstream>

using namespace pontlet;
using namespace pontlettest;

namespace {

// Every entry under a folder with what it is: file content, "-> text" for
// a link, "/" for a folder.
std::map<std::string, std::string> Tree(const fs::path& root)
{
    std::map<std::string, std::string> tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = it->path().lexically_relative(root).string();
        if (it->is_symlink())
            tree[rel] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            tree[rel] = "/";
        else
            tree[rel] = Slurp(it->path());
    }
    return tree;
}

// Temporary names the test knows in advance: ".t0", ".t1", ...
std::function<std::string()> CountingNames()
{
    return [n = 0]() mutable { return ".t" + std::to_string(n++); };
}

} // namespace

TEST(TreeCopyAttack, LinksPlantedAtEveryNameAreReplacedNeverWrittenThrough)
{
    const fs::path from = Fresh("atk-from"), to = Fresh("atk-to"), victims = Fresh("atk-victims");
    Put(from / "a.txt", "the user's data");
    Put(victims / "target", "victim at the target name");
    Put(victims / "part", "victim at the old fixed name");
    Put(victims / "temp", "victim at a temporary name");
    fs::create_symlink(victims / "target", to / "a.txt");
    fs::create_symlink(victims / "part", to / "a.txt.pontlet-part");
    for (int i = 0; i < 10; ++i)  // the first ten names the tool will try, one of them dangling
        fs::create_symlink(i == 3 ? victims / "none" : victims / "temp", to / (".t" + std::to_string(i)));

    CopySettings rule = Rule(Overwrite::Always);
    rule.tempNames = CountingNames();
    const Outcome out = CopyContents(from, to, rule);

    EXPECT_EQ(out.ExitCode(), kExitDone);
    EXPECT_EQ(Slurp(victims / "target"), "victim at the target name");
    EXPECT_EQ(Slurp(victims / "part"), "victim at the old fixed name");
    EXPECT_EQ(Slurp(victims / "temp"), "victim at a temporary name");
    EXPECT_FALSE(fs::exists(victims / "none"));
    EXPECT_FALSE(fs::is_symlink(to / "a.txt")) << "the link is replaced, not followed";
    EXPECT_EQ(Slurp(to / "a.txt"), "the user's data");
    EXPECT_EQ(Names(to).size(), 12u) << "planted links are left alone, nothing else is left behind";
}

TEST(TreeCopy, SpecialFilesAreSkippedAndNamedWithoutHanging)
{
    const fs::path from = Fresh("sp-from"), to = Fresh("sp-to");
    Put(from / "plain", "data");
    ASSERT_EQ(::mkfifo((from / "pipe").c_str(), 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", (from / "sock").c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    std::map<std::string, std::string> expected = {{"pipe", "a FIFO"}, {"sock", "a socket"}};
    if (::mknod((from / "null").c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0)
        expected["null"] = "a device";

    const Outcome out = CopyContents(from, to, Rule(Overwrite::Always));
    ::close(sock);
    std::map<std::string, std::string> named;
    for (const Failure& f : out.failures)
        named[f.path.filename().string()] = f.reason.substr(f.reason.find("a "));
    EXPECT_EQ(named, expected);
    EXPECT_EQ(Names(to), std::vector<std::string>{"plain"});
    EXPECT_EQ(out.ExitCode(), kExitNotCopied);
}

TEST(TreeCopy, LinksComeOutAsCpArchiveMakesThem)
{
    const fs::path from = Fresh("ln-from"), ours = Fresh("ln-ours"), theirs = Fresh("ln-theirs");
    Put(from / "dir" / "file", "content");
    for (const auto& [name, text] : std::map<std::string, std::string>{{"relative", "dir/file"},
                                                                        {"absolute", (from / "dir").string()},
                                                                        {"dangling", "nowhere"},
                                                                        {"self", "self"},
                                                                        {"loop-a", "loop-b"},
                                                                        {"loop-b", "loop-a"},
                                                                        {"dir/up", ".."}})
        fs::create_symlink(text, from / name);
    const Outcome out = CopyContents(from, ours / "copy", Rule(Overwrite::Always));
    EXPECT_EQ(out.ExitCode(), kExitDone);
    ASSERT_EQ(RunCommand("cp -a " + ShellQuote(from.string()) + " " + ShellQuote((theirs / "copy").string())).status,
              0);
    EXPECT_EQ(Tree(ours / "copy"), Tree(theirs / "copy"));
    EXPECT_EQ(fs::last_write_time(ours / "copy" / "dir"), fs::last_write_time(from / "dir"));

    // Copied again, identical links are left as they are.
    CopySettings ask = Rule(Overwrite::Ask, [](const Conflict&) { return Answer::Cancel; });
    EXPECT_EQ(CopyContents(from, ours / "copy", ask).ExitCode(), kExitDone);
}

TEST(TreeCopy, WithoutLinksOnTheTargetTheirContentsAreCopiedAndLoopsStop)
{
    const fs::path from = Fresh("lf-from"), to = Fresh("lf-to");
    Put(from / "dir" / "file", "content");
    fs::create_symlink("dir/file", from / "to-file");
    fs::create_symlink("dir", from / "to-dir");
    fs::create_symlink("..", from / "dir" / "up");
    fs::create_symlink("nowhere", from / "dangling");
    const fs::path outside = Fresh("lf-outside");
    Put(outside / "secret", "not yours");
    fs::create_symlink(outside, from / "out-dir");
    fs::create_symlink(outside / "secret", from / "out-file");
    fs::create_symlink("/", from / "root");
    CopySettings rule = Rule(Overwrite::Always);
    rule.holdsLinks = [](const platform::Folder&) { return false; };
    const Outcome out = CopyContents(from, to, rule);

    EXPECT_EQ(Tree(to), (std::map<std::string, std::string>{{"dir", "/"},
                                                            {"dir/file", "content"},
                                                            {"to-dir", "/"},
                                                            {"to-dir/file", "content"},
                                                            {"to-file", "content"}}));
    std::vector<std::string> named;
    for (const Failure& f : out.failures)
        named.push_back(f.path.lexically_relative(from).string() + ": " + f.reason.substr(0, f.reason.find(':')));
    std::sort(named.begin(), named.end());
    const std::string outsideText = "the link leads outside the folder and the target cannot hold links";
    EXPECT_EQ(named, (std::vector<std::string>{"dangling: the link leads nowhere and the target cannot hold links",
                                               "dir/up: a loop", "out-dir: " + outsideText, "out-file: " + outsideText,
                                               "root: " + outsideText, "to-dir/up: a loop"}));
}

TEST(TreeCopy, DryRunSaysWhatEachRuleWouldDoAndChangesNothing)
{
    const fs::path from = Fresh("dry-from"), to = Fresh("dry-to");
    Put(from / "new", "n");
    Put(from / "same", "s");
    Put(from / "sub" / "differs", "new content");
    Put(to / "same", "s");
    fs::last_write_time(to / "same", fs::last_write_time(from / "same"));
    Put(to / "sub" / "differs", "old");
    struct Case {
        Overwrite policy;
        bool hide;
        const char* lines;
        int exit;
    };
    const Case cases[] = {
        {Overwrite::Always, true, "copy new\noverwrite same\noverwrite sub/differs\n", kExitDone},
        {Overwrite::IfDifferent, true, "copy new\nskip same\noverwrite sub/differs\n", kExitDone},
        {Overwrite::Skip, true, "copy new\nskip same\nskip sub/differs\n", kExitDone},
        {Overwrite::Ask, false, "copy new\nskip same\nask sub/differs\n", kExitDone},
        {Overwrite::Ask, true, "copy new\nskip same\nskip sub/differs\n", kExitNotCopied},
    };
    const auto before = Tree(to);
    for (const Case& c : cases) {
        TransferOptions o;
        o.serverPath = from;
        o.clientPath = to;
        o.overwrite = c.policy;
        o.hide = c.hide;
        o.dryRun = true;
        std::ostringstream out, err;
        EXPECT_EQ(RunWithoutWindow(o, out, err), c.exit) << int(c.policy);
        EXPECT_EQ(out.str(), c.lines) << int(c.policy);
        EXPECT_EQ(Tree(to), before);
    }
    TransferOptions o;
    o.serverPath = from;
    o.clientPath = to / "missing";
    o.overwrite = Overwrite::Skip;
    o.dryRun = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunWithoutWindow(o, out, err), kExitDone);
    EXPECT_EQ(out.str(), "copy new\ncopy same\ncopy sub/differs\n");
    EXPECT_FALSE(fs::exists(to / "missing"));
}

TEST(TreeCopy, NamesWithBlanksAndNonAsciiCharacters)
{
    const fs::path from = Fresh("names from"), to = Fresh("names – zu");
    const std::vector<std::string> names = {"a b.txt", " lead", "Grüße & Überweisung €.pdf", "日本語 ファイル",
                                            "tab\there", "line\nbreak", "quote\"s", "semi;colon"};
    for (const std::string& n : names)
        Put(from / "fold er ü" / n, n);
    TransferOptions o;
    o.serverPath = from;
    o.clientPath = to;
    o.overwrite = Overwrite::Always;
    std::ostringstream out, err;
    EXPECT_EQ(RunWithoutWindow(o, out, err), kExitDone) << err.str();
    for (const std::string& n : names)
        EXPECT_EQ(Slurp(to / "fold er ü" / n), n) << n;
    o.dryRun = true;
    std::ostringstream dry;
    RunWithoutWindow(o, dry, err);
    EXPECT_NE(dry.str().find("overwrite fold er ü/line\\nbreak\n"), std::string::npos) << "one line a file";
    EXPECT_NE(dry.str().find("overwrite fold er ü/tab\\there\n"), std::string::npos);
}

TEST(TreeCopy, CancelInTheMiddleOfAFileRemovesWhatWasWritten)
{
    const fs::path from = Fresh("cut-from"), to = Fresh("cut-to");
    Put(from / "a", std::string(3 << 20, 'a'));
    Put(from / "b", "new b");
    Put(to / "b", "old b");
    TreeCopy* running = nullptr;
    CopySettings rule = Rule(Overwrite::Always);
    rule.createTarget = true;
    rule.tempNames = [&, names = CountingNames()]() mutable {
        running->Cancel();  // the moment the file is about to be written
        return names();
    };
    TreeCopy copy({{from, {}, to}}, rule);
    running = &copy;
    const Outcome out = copy.Run();
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.ExitCode(), kExitCancelled);
    EXPECT_EQ(Names(to), std::vector<std::string>{"b"});
    EXPECT_EQ(Slurp(to / "b"), "old b");
}

TEST(TreeCopy, YesToAllAndNoToAllHoldAcrossTheItemsOfOneCopy)
{
    for (Answer first : {Answer::YesToAll, Answer::NoToAll}) {
        const fs::path from = Fresh("all-from"), to = Fresh("all-to");
        for (const char* n : {"one", "two", "dir/three"}) {
            Put(from / n, "new");
            Put(to / n, "older");
        }
        std::vector<std::string> asked;
        CopySettings rule = Rule(Overwrite::Ask, [&](const Conflict& c) {
            asked.push_back(c.source.filename().string());
            return first;
        });
        const Outcome out =
            TreeCopy({{from, "one", to}, {from, "two", to}, {from, "dir", to}}, rule).Run();
        EXPECT_EQ(asked, std::vector<std::string>{"one"});
        const char* expected = first == Answer::YesToAll ? "new" : "older";
        for (const char* n : {"one", "two", "dir/three"})
            EXPECT_EQ(Slurp(to / n), expected) << n;
        EXPECT_EQ(out.ExitCode(), kExitDone);
    }
}

TEST(TreeCopy, QuestionsNameBothSidesAndCopiesKeepModeAndTime)
{
    const fs::path from = Fresh("facts-from"), to = Fresh("facts-to");
    Put(from / "f", "twelve bytes");
    fs::permissions(from / "f", fs::perms(0640));
    Put(to / "f", "five!");
    fs::last_write_time(to / "f", fs::last_write_time(from / "f") - std::chrono::hours(30));
    std::vector<Conflict> asked;
    const Outcome out = CopyContents(from, to, Rule(Overwrite::Ask, [&](const Conflict& c) {
                                         asked.push_back(c);
                                         return Answer::Yes;
                                     }));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].source, from / "f");
    EXPECT_EQ(asked[0].target, to / "f");
    EXPECT_EQ(asked[0].sourceFacts.size, 12u);
    EXPECT_EQ(asked[0].targetFacts.size, 5u);
    EXPECT_EQ(asked[0].sourceFacts.modified.seconds - asked[0].targetFacts.modified.seconds, 30 * 3600);
    EXPECT_EQ(out.copied, 1u);
    EXPECT_EQ(fs::last_write_time(to / "f"), fs::last_write_time(from / "f"));
    EXPECT_EQ(fs::status(to / "f").permissions(), fs::perms(0640));
}

TEST(TreeCopy, WhatStandsInTheWayIsNeverDestroyedNorEntered)
{
    struct Case {
        const char* sourceIs;
        const char* targetIs;
    };
    for (const Case c : {Case{"file", "folder"}, Case{"folder", "file"}, Case{"folder", "link"}}) {
        const fs::path from = Fresh("way-from"), to = Fresh("way-to"), elsewhere = Fresh("way-elsewhere");
        auto make = [&](const fs::path& p, const std::string& kind) {
            if (kind == "link")
                fs::create_symlink(elsewhere, p);
            else
                kind == "file" ? Put(p, "a file") : Put(p / "inside", "in a folder");
        };
        make(from / "x", c.sourceIs);
        make(to / "x", c.targetIs);
        const auto before = Tree(to);
        const Outcome out = CopyContents(from, to, Rule(Overwrite::Always));
        ASSERT_EQ(out.failures.size(), 1u) << c.targetIs;
        EXPECT_EQ(out.failures[0].path, from / "x");
        EXPECT_NE(out.failures[0].reason.find("is in the way"), std::string::npos) << out.failures[0].reason;
        EXPECT_EQ(Tree(to), before) << c.targetIs;
        EXPECT_TRUE(Names(elsewhere).empty()) << "a link where a folder goes is never entered";
    }
}

TEST(TreeCopy, AFolderIsNeverCopiedIntoItself)
{
    const fs::path dir = Fresh("self");
    Put(dir / "a" / "f", "x");
    const Outcome out = TreeCopy({{dir, "a", dir / "a"}}, Rule(Overwrite::Always)).Run();
    ASSERT_EQ(out.failures.size(), 1u);
    EXPECT_NE(out.failures[0].reason.find("into itself"), std::string::npos);
    EXPECT_EQ(Names(dir / "a"), std::vector<std::string>{"f"});
}
