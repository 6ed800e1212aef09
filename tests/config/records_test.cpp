#include "config/records.h"

#include <gtest/gtest.h>

namespace {

CTSAppDataItem Location(const std::u16string& name, const std::u16string& server = u"/srv")
{
    CTSAppDataItem l;
    l.m_strName = name;
    l.m_strServerLocation = server;
    return l;
}

} // namespace

TEST(Records, Defaults)
{
    CTSAppDataItem l;
    EXPECT_EQ(l.m_nOverwriteMode, 0);
    EXPECT_EQ(l.m_nConnectAction, 0);
    EXPECT_EQ(l.m_bExpandEnvironment, 0);
    EXPECT_FALSE(l.m_visualOptions.m_bShowCommonTasks);
    EXPECT_EQ(l.m_visualOptions.m_nImageStyle, -1);
    EXPECT_EQ(l.m_visualOptions.m_nViewStyle, -1);

    CTSUserScriptItem s;
    EXPECT_EQ(s.m_bUserCanAbort, 1);
    EXPECT_EQ(s.m_bWait, 1);
    EXPECT_EQ(s.m_nTimeout, 0);
    EXPECT_EQ(s.m_bEnabled, 0);
}

TEST(UserData, FindIgnoresCaseAndAddFollowsTheReplaceRule)
{
    CTSUserData data;
    CTSUserDataItem* anna = data.Add(u"CORP\\Anna", kEntryUser, false);
    ASSERT_NE(anna, nullptr);
    EXPECT_EQ(data.Find(u"corp\\anna"), anna);
    EXPECT_EQ(data.Find(u"CORP\\ÄNNA"), nullptr);
    EXPECT_EQ(data.Add(u"corp\\ANNA", kEntryGroup, false), nullptr);
    EXPECT_EQ(data.GetSize(), 1u);

    data.Add(u"CORP\\Müller", kEntryUser, false);
    EXPECT_NE(data.Find(u"corp\\MÜLLER"), nullptr);
}

TEST(UserData, AddWithReplaceResetsLocationsButKeepsScript)
{
    CTSUserData data;
    CTSUserDataItem* e = data.Add(u"D\\g", kEntryUser, false);
    for (auto n : {u"a", u"b", u"c"})
        e->m_locations.Add(Location(n), false);
    e->m_script.m_bEnabled = 1;
    e->m_script.m_strProgramPath = u"/bin/true";

    CTSUserDataItem* again = data.Add(u"D\\G", kEntryGroup, true);
    EXPECT_EQ(again, e);
    EXPECT_EQ(e->m_nType, kEntryGroup);
    EXPECT_EQ(e->m_strName, u"D\\G");
    EXPECT_EQ(e->m_locations.GetSize(), 0u);
    EXPECT_EQ(e->m_script.m_bEnabled, 1);
    EXPECT_EQ(e->m_script.m_strProgramPath, u"/bin/true");
}

TEST(UserData, EntriesStayAtTheirAddressWhileOthersComeAndGo)
{
    CTSUserData data;
    CTSUserDataItem* first = data.Add(u"D\\first", kEntryUser, false);
    CTSUserDataItem* second = data.Add(u"D\\second", kEntryUser, false);
    for (int i = 0; i < 1000; ++i)
        data.Add(u"D\\n" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + std::u16string(i / 26 + 1, u'x'),
                 kEntryUser, false);
    EXPECT_TRUE(data.Remove(u"d\\FIRST"));
    EXPECT_EQ(data.Find(u"D\\second"), second);
    EXPECT_EQ(second->m_strName, u"D\\second");
    (void)first;
}

TEST(UserData, RemoveKeepsOrder)
{
    CTSUserData data;
    for (auto n : {u"D\\a", u"D\\b", u"D\\c"})
        data.Add(n, kEntryUser, false);
    EXPECT_FALSE(data.Remove(u"D\\zz"));
    EXPECT_EQ(data.GetSize(), 3u);
    EXPECT_TRUE(data.Remove(u"D\\A"));
    ASSERT_EQ(data.GetSize(), 2u);
    EXPECT_EQ(data.GetAt(0).m_strName, u"D\\b");
    EXPECT_EQ(data.GetAt(1).m_strName, u"D\\c");
}

TEST(AppData, AddAndRemoveAreCaseSensitive)
{
    struct Step {
        const char* what;
        std::u16string name;
        bool replace;
        int expected;
        std::size_t size;
    };
    CTSAppData list;
    const Step steps[] = {
        {"new", u"Docs", false, 1, 1},
        {"other case is another location", u"docs", false, 1, 2},
        {"exact repeat refused", u"Docs", false, 0, 2},
        {"exact repeat replaced", u"Docs", true, 1, 2},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(list.Add(Location(s.name), s.replace), s.expected) << s.what;
        EXPECT_EQ(list.GetSize(), s.size) << s.what;
    }
    EXPECT_EQ(list.Remove(u"DOCS"), 0);
    EXPECT_EQ(list.Remove(u"Docs"), 1);
    ASSERT_EQ(list.GetSize(), 1u);
    EXPECT_EQ(list.GetAt(0).m_strName, u"docs");
}

TEST(AppData, ReplaceKeepsPlaceAndCopiesEveryField)
{
    CTSAppData list;
    list.Add(Location(u"a"), false);
    list.Add(Location(u"b"), false);
    list.Add(Location(u"c"), false);

    CTSAppDataItem b = Location(u"b", u"/new");
    b.m_strClientLocation = u"/client";
    b.m_nOverwriteMode = 101;
    b.m_bSyncEnabled = 1;
    b.m_nConnectAction = 3;
    b.m_bExpandEnvironment = 1;
    b.m_visualOptions.m_bShowCommonTasks = true;
    b.m_visualOptions.m_strImagePath = u"/img.png";
    b.m_visualOptions.m_nImageStyle = 16;
    b.m_visualOptions.m_nViewStyle = 4;
    EXPECT_EQ(list.Add(b, true), 1);
    ASSERT_EQ(list.GetSize(), 3u);
    EXPECT_EQ(list.GetAt(1), b);
}

TEST(UserDataItem, AssignmentCopiesEverythingButTheScript)
{
    CTSUserDataItem src(u"D\\src", kEntryGroup);
    src.m_locations.Add(Location(u"x"), false);
    src.m_script.m_strProgramPath = u"/bin/src";
    CTSUserDataItem dst(u"D\\dst", kEntryUser);
    dst.m_script.m_strProgramPath = u"/bin/dst";
    dst = src;
    EXPECT_EQ(dst.m_nType, kEntryGroup);
    EXPECT_EQ(dst.m_strName, u"D\\src");
    EXPECT_EQ(dst.m_locations, src.m_locations);
    EXPECT_EQ(dst.m_script.m_strProgramPath, u"/bin/dst");
}
