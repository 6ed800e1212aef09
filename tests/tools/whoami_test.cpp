#include "cmd_whoami.h"

#include "support/fake_account_services.h"
#include "config/config_file.h"

#include <gtest/gtest.h>

#include "captured_run.h"
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

Outcome Whoami(accounts::FakeAccountServices& fake, std::vector<std::string> args)
{
    return Capture([&](std::ostream& out, std::ostream& err) { return quillonctl::WhoamiWith(fake, args, out, err); });
}

fs::path ConfigWith(std::initializer_list<std::pair<const char16_t*, std::int32_t>> entries)
{
    auto dir = fs::temp_directory_path() / ("quillon-whoami-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    CTSUserData data;
    for (auto [name, type] : entries)
        data.Add(name, type, false);
    auto path = dir / "userConfig.QLNData";
    EXPECT_TRUE(config::SaveConfigurationFile(path, data));
    return path;
}

TEST(Whoami, ReportsAccountGroupsRightsAndTheMatchingGroup)
{
    auto fake = accounts::FakeAccountServices::Local("SERVER1", "anna", {"Users", "Sales"});
    fake.rights = {true, false, 0};
    const auto file = ConfigWith({{u"SERVER1\\sales", 2}, {u"SERVER1\\Users", 2}});

    Outcome r = Whoami(fake, {file.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto j = nlohmann::ordered_json::parse(r.out);
    const auto expected = nlohmann::ordered_json::parse(R"({
        "account": "SERVER1\\anna",
        "groups": ["SERVER1\\Users", "SERVER1\\Sales"],
        "administrator": false,
        "profile": {"name": "SERVER1\\Users", "matchedBy": "group"}})");
    EXPECT_EQ(j, expected);  // ordered: the keys come in this order too
}

TEST(Whoami, OwnEntryAndAdministrator)
{
    auto fake = accounts::FakeAccountServices::Domain("CORP", "SERVER1", "anna", {"Domain Users"});
    fake.rights = {true, true, 0};
    const auto file = ConfigWith({{u"CORP\\Domain Users", 2}, {u"corp\\ANNA", 1}});
    const auto j = nlohmann::json::parse(Whoami(fake, {file.string()}).out);
    EXPECT_EQ(j["administrator"], true);
    EXPECT_EQ(j["profile"]["name"], "corp\\ANNA");
    EXPECT_EQ(j["profile"]["matchedBy"], "account");
}

TEST(Whoami, UnreadableFileGivesANewProfileUnderTheAccountName)
{
    auto fake = accounts::FakeAccountServices::Local("SERVER1", "J\xC3\xBCrgen", {});
    fake.rights = {false, false, 13};
    Outcome r = Whoami(fake, {"/nonexistent/userConfig.QLNData"});
    ASSERT_EQ(r.code, 0);
    const auto j = nlohmann::json::parse(r.out);  // the rights diagnostic stays out of the JSON
    EXPECT_EQ(j["account"], "SERVER1\\J\xC3\xBCrgen");
    EXPECT_EQ(j["groups"], nlohmann::json::array());
    EXPECT_EQ(j["administrator"], false);
    EXPECT_EQ(j["profile"]["name"], "SERVER1\\J\xC3\xBCrgen");
    EXPECT_EQ(j["profile"]["matchedBy"], "new");
    EXPECT_NE(r.err.find("AccessCheck() failed with error 13\n"), std::string::npos);
    EXPECT_NE(r.err.find("no configuration read"), std::string::npos);
}

TEST(Whoami, TooManyArgumentsIsWrongUsage)
{
    accounts::FakeAccountServices fake;
    Outcome r = Whoami(fake, {"a", "b"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
}

TEST(Whoami, RealAccountThroughTheCommandTable)
{
    std::ostringstream out, err;
    ASSERT_EQ(quillonctl::Run({"whoami", "/nonexistent/userConfig.QLNData"}, out, err), 0);
    const auto j = nlohmann::json::parse(out.str());
    const std::string account = j["account"];
    EXPECT_NE(account.find('\\'), std::string::npos);
    EXPECT_EQ(j["profile"]["name"], account);
    EXPECT_EQ(j["administrator"], ::geteuid() == 0);
}

} // namespace
