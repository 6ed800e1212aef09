#include <gtest/gtest.h>

#include "browser/navigation_history.h"
#include "browser/path_rules.h"
#include "platform/environment.h"

using namespace browser;

TEST(PathRules, SamePathIgnoresOneTrailingSeparatorAndLetterCase)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"/srv/Data/Sales", "/srv/Data/Sales/", true},
        {"/srv/data/sales", "/SRV/Data/Sales", true},
        {"C:\\Data\\Sales\\", "c:\\data\\sales", true},
        {"/srv/data//", "/srv/data", false},  // only one separator goes
        {"/srv/data", "/srv/data2", false},
        {"", "/", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSamePath(c.a, c.b), c.same) << c.a << " | " << c.b;
}

TEST(PathRules, ParentStaysInsideTheRoot)
{
    const struct {
        const char* root;
        const char* path;
        const char* parent;  // "" none
    } cases[] = {
        {"/srv/docs", "/srv/docs/a/b", "/srv/docs/a"},
        {"/srv/docs/", "/srv/docs/a", "/srv/docs"},
        {"/srv/docs", "/srv/docs", ""},
        {"/srv/docs", "/srv/Docs/", ""},       // the root in other letters
        {"/srv/docs", "/srv/docs2/a", ""},     // a sibling is outside
        {"/srv/docs", "/srv/docs/a/../..", ""},
        {"/", "/etc", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parentWithin(c.root, c.path), QString(c.parent)) << c.root << " | " << c.path;
}

TEST(PathRules, AddressKinds)
{
    const struct {
        const char* address;
        bool web;
        const char* local;
    } cases[] = {
        {"http://intranet/", true, "http://intranet/"},
        {"HTTPS://intranet/x", true, "HTTPS://intranet/x"},
        {"ftp://files.example/pub", true, "ftp://files.example/pub"},
        {"httpdocs/site", false, "httpdocs/site"},
        {"file:///srv/a%20b", false, "/srv/a b"},
        {"/srv/http://x", false, "/srv/http://x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isWebAddress(c.address), c.web) << c.address;
        EXPECT_EQ(localPathOf(c.address), QString(c.local)) << c.address;
    }
}

TEST(PathRules, ExpansionFallsBackToTheAddressWhenTooLong)
{
    platform::SetEnvVar("QUILLON_TEST_SHARE", "/srv/share");
    platform::SetEnvVar("QUILLON_TEST_LONG", std::string(600, 'x'));
    EXPECT_EQ(expandAddress("%quillon_test_share%/a"), QString("/srv/share/a"));
    EXPECT_EQ(expandAddress("/x/%QUILLON_TEST_LONG%"), QString("/x/%QUILLON_TEST_LONG%"));
    EXPECT_EQ(expandAddress("/x/%QUILLON_TEST_UNSET%"), QString("/x/%QUILLON_TEST_UNSET%"));
}

TEST(NavigationHistory, NewPlacesDropWhatLayAheadAndTheSamePlaceAddsNothing)
{
    NavigationHistory h;
    for (const char* a : {"/a", "/a", "/a/b", "/a/b/c"})
        h.push(a);
    h.stepBack();
    h.stepBack();
    EXPECT_EQ(h.current(), QString("/a"));
    EXPECT_FALSE(h.canGoBack());
    EXPECT_EQ(h.peekForward(), QString("/a/b"));
    h.push("/a/x");
    EXPECT_FALSE(h.canGoForward());
    EXPECT_EQ(h.peekBack(), QString("/a"));
}
