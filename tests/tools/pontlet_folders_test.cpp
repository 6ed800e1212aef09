#include "automatic_run.h"
#include "folder_rules.h"
#include "pontlet_support.h"

#include <gtest/gtest.h>

using namespace pontlet;
using namespace pontlettest;

namespace {

std::optional<std::u16string> Lookup(std::u16string_view name)
{
    if (name == u"USERNAME")
        return u"anna";
    if (name == u"LONG")
        return std::u16string(600, u'x');
    return std::nullopt;
}

} // namespace

TEST(ClientPath, HomeAndReferencesAreExpanded)
{
    struct Case {
        const char* received;
        const char* expected;  // empty: refused
    };
    const Case cases[] = {
        {"~/thinclient_drives/C:/Docs/", "/home/anna/thinclient_drives/C:/Docs/"},
        {"~", "/home/anna"},
        {"/home/%USERNAME%/thinclient_drives/%USERNAME%/", "/home/anna/thinclient_drives/anna/"},
        {"~/%USERNAME%", "/home/anna/anna"},
        {"/c/%UNSET%/", "/c/%UNSET%/"},
        {"~bob/x", "~bob/x"},  // only the user's own home
        {"/c/~/x", "/c/~/x"},
        {"/c/%LONG%", ""},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto path = ExpandClientPath(c.received, Lookup, fs::path("/home/anna"), error);
        EXPECT_EQ(path ? path->string() : "", c.expected) << c.received;
        EXPECT_EQ(error.empty(), path.has_value()) << c.received;
    }
    std::string error;
    EXPECT_FALSE(ExpandClientPath("~/x", Lookup, std::nullopt, error));
}

TEST(FolderRules, RootRelativeAndNestedFoldersAreRefused)
{
    const fs::path dir = Fresh("rules");
    fs::create_directories(dir / "server" / "inner");
    fs::create_directories(dir / "client");
    fs::create_symlink("/", dir / "to-root");
    fs::create_symlink(dir / "server" / "inner", dir / "client" / "via-link");
    const std::string s = (dir / "server").string(), c = (dir / "client").string();
    struct Case {
        std::string server, client;
        const char* refusal;  // empty: accepted
    };
    const Case cases[] = {
        {s + "/", c + "/", ""},
        {"/", c, "server folder is the root folder"},
        {"//", c, "server folder is the root folder"},
        {s, "/srv/../", "client folder is the root folder"},
        {s, (dir / "to-root").string() + "/", "client folder is the root folder"},
        {"srv/docs", c, "server folder is not an absolute path"},
        {s, "", "no client folder"},
        {s, s + "/inner/", "lies inside the server folder"},
        {s + "/inner/", s, "lies inside the client folder"},
        {s, (dir / "client" / "via-link" / "new").string(), "lies inside the server folder"},
        {s, s + "/./", "the same folder"},
        {s, s + "x", ""},  // a common prefix is not nesting
    };
    for (const Case& c : cases) {
        TransferOptions o;
        o.serverPath = c.server;
        o.clientPath = c.client;
        const std::string refusal = SettleFolders(o, Lookup, fs::path("/home/anna"));
        if (*c.refusal)
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << c.server << " | " << c.client << ": " << refusal;
        else
            EXPECT_EQ(refusal, "") << c.server << " | " << c.client;
    }
}

TEST(FolderRules, ManualTransferGetsTheHomeFolderWhenNoClientIsGiven)
{
    TransferOptions o;
    o.mode = Mode::Manual;
    o.server.path = "/srv/docs";
    EXPECT_EQ(SettleFolders(o, Lookup, fs::path("/home/anna")), "");
    EXPECT_EQ(o.client.path, "/home/anna");
    EXPECT_NE(SettleFolders(o, Lookup, fs::path("/srv")).find("inside the client folder"), std::string::npos);
    EXPECT_NE(SettleFolders(o, Lookup, std::nullopt), "");
}

TEST(FolderRules, ManualCopiesTakeSourcesFromOneFolderIntoTheOther)
{
    const fs::path dir = Fresh("confine");
    const fs::path server = dir / "server", client = dir / "client", outside = dir / "outside";
    for (const fs::path& d : {server / "sub", client, outside})
        fs::create_directories(d);
    Put(server / "f", "f");
    Put(outside / "secret", "s");
    fs::create_symlink(outside, server / "out");
    fs::create_symlink("..", server / "up");
    fs::create_symlink(outside, client / "out");
    fs::create_symlink(client, dir / "client-link");
    const std::string s = server.string(), c = client.string();
    struct Case {
        std::vector<fs::path> sources;
        fs::path target;
        std::string clientRoot;
        std::string copied;  // where the one item is taken from; empty: all refused
    };
    const Case cases[] = {
        {{server / "f"}, client, c, s + "/f"},
        {{server / "out"}, dir / "client-link", c, s + "/out"},  // the link itself
        {{server / "sub" / ".."}, client, c, s},
        {{dir / "client-link" / "g"}, server / "sub", c, c + "/g"},
        {{server / "out" / "secret"}, client, c, ""},
        {{server / "up" / "outside" / "secret"}, client, c, ""},
        {{outside / "secret"}, client, c, ""},
        {{server / "f", outside / "secret"}, client, c, ""},
        {{"/"}, client, c, ""},
        {{"server/f"}, client, c, ""},
        {{server / "f"}, server / "sub", c, ""},   // same side
        {{server / "f"}, client / "out", c, ""},   // target through a link leading out
        {{server / "f"}, client / "out" / "..", c, ""},
        {{server / "f"}, client, "", ""},          // client folder missing
    };
    for (const Case& k : cases) {
        const ConfinedCopy copy = ConfineCopy(k.sources, k.target, s, k.clientRoot);
        const std::string copied =
            copy.items.size() == 1 ? (copy.items[0].sourceFolder / copy.items[0].name).string() : "";
        EXPECT_EQ(copied, k.copied) << k.sources.front() << " -> " << k.target;
        EXPECT_EQ(copy.refused.empty(), !k.copied.empty()) << k.sources.front();
        if (!copy.items.empty()) {
            EXPECT_TRUE(fs::equivalent(copy.items[0].targetFolder, k.target)) << k.target;
        }
    }
}
