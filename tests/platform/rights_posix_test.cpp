// The administrator test and the account lookup in child processes started
// with other credentials. Needs root (to change credentials); the cases with
// an administrators' group also need a private mount namespace, in which a
// copy of /etc/group with a "sudo" group is mounted, so the machine's own
// group database is never touched.
#include "platform/command_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kNobody = "65534";

struct Probe {
    std::map<std::string, std::vector<std::string>> values;

    std::string Get(const std::string& key) const
    {
        auto it = values.find(key);
        return it == values.end() || it->second.empty() ? std::string() : it->second.front();
    }
    std::vector<std::string> All(const std::string& key) const
    {
        auto it = values.find(key);
        return it == values.end() ? std::vector<std::string>() : it->second;
    }
};

class ChildCredentials : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (::geteuid() != 0)
            return;
        // The probe must be reachable by "nobody", wherever the build is.
        s_dir = fs::temp_directory_path() / ("quillon-rights-" + std::to_string(::getpid()));
        fs::create_directories(s_dir);
        fs::permissions(s_dir, fs::perms(0755));
        s_probe = s_dir / "account_probe";
        fs::copy_file(ACCOUNT_PROBE, s_probe, fs::copy_options::overwrite_existing);
        fs::permissions(s_probe, fs::perms(0755));

        s_namespaces = RunCommand("unshare --mount true 2>/dev/null").status == 0;
        if (s_namespaces)
            WriteGroupFile();
    }

    static void TearDownTestSuite()
    {
        if (!s_dir.empty())
            fs::remove_all(s_dir);
    }

    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "changing credentials needs root";
    }

    // A copy of the group database in which only "nobody" is listed in a
    // "sudo" group, and no other administrators' group exists.
    static void WriteGroupFile()
    {
        s_adminGid = 4242;
        while (::getgrgid(static_cast<gid_t>(s_adminGid)))
            ++s_adminGid;
        std::ifstream in("/etc/group");
        std::ofstream out(s_dir / "group");
        for (std::string line; std::getline(in, line);) {
            const std::string name = line.substr(0, line.find(':'));
            if (name != "sudo" && name != "wheel" && name != "admin")
                out << line << '\n';
        }
        out << "sudo:x:" << s_adminGid << ":nobody\n";
        out.close();
        fs::permissions(s_dir / "group", fs::perms(0644));
    }

    // The command, inside the namespace with the test's group file when asked.
    static std::string Wrapped(const std::string& command, bool withSudoGroup)
    {
        if (!withSudoGroup)
            return command;
        return "unshare --mount sh -c " +
               ShellQuote("mount --bind " + ShellQuote((s_dir / "group").string()) + " /etc/group && exec " + command);
    }

    static Probe RunProbe(const std::string& setprivArgs, bool withSudoGroup = false)
    {
        CommandOutput run = RunCommand(Wrapped("setpriv " + setprivArgs + " " + s_probe.string(), withSudoGroup));
        EXPECT_EQ(run.status, 0) << setprivArgs;
        Probe p;
        std::istringstream lines(run.text);
        for (std::string line; std::getline(lines, line);) {
            const auto eq = line.find('=');
            if (eq != std::string::npos)
                p.values[line.substr(0, eq)].push_back(line.substr(eq + 1));
        }
        return p;
    }

    static std::vector<std::string> IdGroups(const std::string& user, bool withSudoGroup)
    {
        return Words(RunCommand(Wrapped("id -Gn " + ShellQuote(user), withSudoGroup)).text);
    }

    std::string SudoGid() const { return std::to_string(s_adminGid); }

    void RequireNamespaces() const
    {
        if (!s_namespaces)
            GTEST_SKIP() << "no private mount namespaces here";
    }

    static inline fs::path s_dir;
    static inline fs::path s_probe;
    static inline bool s_namespaces = false;
    static inline long s_adminGid = 0;
};

TEST_F(ChildCredentials, RootIsAdministrator)
{
    Probe p = RunProbe("--reuid=0 --regid=0 --clear-groups");
    EXPECT_EQ(p.Get("rights"), "granted");
    EXPECT_EQ(p.Get("user"), "root");
}

TEST_F(ChildCredentials, NobodyIsNotAndSeesItsOwnAccount)
{
    Probe p = RunProbe(std::string("--reuid=") + kNobody + " --regid=" + kNobody + " --clear-groups");
    EXPECT_EQ(p.Get("rights"), "denied");
    EXPECT_EQ(p.Get("user"), "nobody");
    EXPECT_EQ(p.Get("account"), p.Get("computer") + "\\nobody");
    EXPECT_EQ(p.Get("status"), "0");
    EXPECT_EQ(p.All("group"), IdGroups("nobody", false));
}

struct RightsCase {
    const char* label;
    std::string (*setpriv)(const std::string& sudoGid);
    const char* expected;
};

void PrintTo(const RightsCase& c, std::ostream* os)
{
    *os << c.label;
}

class ChildRights : public ChildCredentials, public testing::WithParamInterface<RightsCase> {};

TEST_P(ChildRights, OnlyTheProcessCredentialsCount)
{
    RequireNamespaces();
    const RightsCase& c = GetParam();
    Probe p = RunProbe(c.setpriv(SudoGid()), true);
    EXPECT_EQ(p.Get("rights"), c.expected) << c.label;
    // The lookup reads the database, whatever the process holds: nobody's
    // groups include the listed "sudo", in the order id gives them.
    EXPECT_EQ(p.Get("user"), "nobody");
    const auto groups = p.All("group");
    EXPECT_EQ(groups, IdGroups("nobody", true));
    EXPECT_NE(std::find(groups.begin(), groups.end(), "sudo"), groups.end());
}

std::string Nobody(const std::string& rest)
{
    return std::string("--reuid=") + kNobody + " " + rest;
}

INSTANTIATE_TEST_SUITE_P(
    SudoGroup, ChildRights,
    testing::Values(
        RightsCase{"listed in /etc/group only",
                   [](const std::string&) { return Nobody(std::string("--regid=") + kNobody + " --clear-groups"); },
                   "denied"},
        RightsCase{"another supplementary group",
                   [](const std::string&) { return Nobody(std::string("--regid=") + kNobody + " --groups=100"); },
                   "denied"},
        RightsCase{"sudo as a supplementary group",
                   [](const std::string& g) { return Nobody(std::string("--regid=") + kNobody + " --groups=100," + g); },
                   "granted"},
        RightsCase{"sudo as the effective group",
                   [](const std::string& g) { return Nobody("--regid=" + g + " --clear-groups"); }, "granted"},
        RightsCase{"groups taken from the database at start",
                   [](const std::string&) { return Nobody(std::string("--regid=") + kNobody + " --init-groups"); },
                   "granted"}),
    [](const testing::TestParamInfo<RightsCase>& info) {
        std::string name;
        for (const char* c = info.param.label; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                name += *c;
        return name;
    });

} // namespace
