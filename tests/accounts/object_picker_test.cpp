#include "accounts/object_picker.h"

#include "config/records.h"

#include <gtest/gtest.h>

namespace {

using accounts::CObjectPicker;
using accounts::PickedObject;
using accounts::SelectionValue;

TEST(SplitADsPath, DomainIsTheComponentBeforeTheLast)
{
    struct Case {
        const char16_t* path;
        bool ok;
        const char16_t* domain;
        const char16_t* name;
    };
    const Case cases[] = {
        {u"WinNT://CORP/anna", true, u"CORP", u"anna"},
        {u"WinNT://CORP/SERVER1/Administrators", true, u"SERVER1", u"Administrators"},
        {u"WinNT://anna", true, u"", u"anna"},  // the slashes of "//"
        {u"a//b", true, u"", u"b"},
        {u"x/CORP/", true, u"CORP", u""},
        {u"WinNT:/anna", false, u"", u""},
        {u"CORP/", false, u"", u""},
        {u"/anna", false, u"", u""},
        {u"anna", false, u"", u""},
        {u"", false, u"", u""},
    };
    for (const Case& c : cases) {
        std::u16string domain = u"?", name = u"?";
        EXPECT_EQ(accounts::SplitADsPath(c.path, &domain, &name), c.ok);
        EXPECT_EQ(domain, c.ok ? c.domain : u"?");
        EXPECT_EQ(name, c.ok ? c.name : u"?");
    }
}

PickedObject Object(const char16_t* name, const char16_t* cls, const char16_t* path,
                    std::optional<std::u16string> description = std::nullopt)
{
    return {name, cls, path, u"", std::move(description), u"S-1-22-1-1000"};
}

TEST(CObjectPicker, TwoUsersAndAGroupGiveThreeMapsInOrder)
{
    CObjectPicker picker;
    EXPECT_EQ(picker.m_nMode, 0);
    EXPECT_EQ(picker.Init(CObjectPicker::kModeUsersAndGroups), 0);
    picker.ProcessSelections({
        Object(u"anna", u"user", u"WinNT://CORP/anna", u"Anna Berg"),
        Object(u"Staff", u"Group", u"WinNT://CORP/Staff"),
        Object(u"bob", u"user", u"WinNT://CORP/SERVER1/bob"),
    });
    ASSERT_EQ(picker.m_selections.size(), 3u);

    const auto& anna = picker.m_selections[0];
    EXPECT_EQ(SelectionValue(anna, u"Name"), u"anna");
    EXPECT_EQ(SelectionValue(anna, u"class"), u"user");  // keys match without regard to case
    EXPECT_EQ(SelectionValue(anna, u"ADPATH"), u"WinNT://CORP/anna");
    EXPECT_EQ(SelectionValue(anna, u"DomainName"), u"CORP");
    EXPECT_EQ(SelectionValue(anna, u"Description"), u"Anna Berg");
    EXPECT_EQ(SelectionValue(anna, u"objectSID"), u"S-1-22-1-1000");
    EXPECT_EQ(anna.count(u"UPN"), 1u);
    EXPECT_EQ(anna.size(), 7u);

    // The entries the caller adds: DOMAIN\name, group type for the group.
    const std::pair<const char16_t*, std::int32_t> entries[] = {
        {u"CORP\\anna", kEntryUser}, {u"CORP\\Staff", kEntryGroup}, {u"SERVER1\\bob", kEntryUser}};
    for (std::size_t i = 0; i < 3; ++i) {
        auto e = accounts::EntryForSelection(picker.m_selections[i]);
        EXPECT_EQ(e.name, entries[i].first);
        EXPECT_EQ(e.type, entries[i].second);
    }
    // Without a description there is no key, and the caller reads an empty text.
    EXPECT_EQ(picker.m_selections[1].count(u"Description"), 0u);
    EXPECT_EQ(SelectionValue(picker.m_selections[1], u"Description"), u"");

    // A new choice replaces the old one whole.
    picker.ProcessSelections({Object(u"c", u"user", u"WinNT://D/c")});
    ASSERT_EQ(picker.m_selections.size(), 1u);
    EXPECT_EQ(SelectionValue(picker.m_selections[0], u"Name"), u"c");
}

TEST(CObjectPicker, PathWithoutDomainGivesAnEmptyDomainName)
{
    CObjectPicker picker;
    picker.Init(CObjectPicker::kModeUsersAndGroups);
    picker.ProcessSelections({Object(u"anna", u"user", u"WinNT:anna")});
    ASSERT_EQ(picker.m_selections.size(), 1u);
    EXPECT_EQ(picker.m_selections[0].count(u"DomainName"), 1u);
    EXPECT_EQ(accounts::EntryForSelection(picker.m_selections[0]).name, u"\\anna");
}

TEST(CObjectPicker, OtherModesKeepOnlyTheFourBasicKeys)
{
    for (std::int32_t mode : {0, 2, 7}) {
        CObjectPicker picker;
        picker.Init(mode);
        EXPECT_EQ(picker.m_nMode, mode);
        picker.ProcessSelections({Object(u"TS01$", u"computer", u"WinNT://CORP/TS01", u"x")});
        ASSERT_EQ(picker.m_selections.size(), 1u);
        const auto& m = picker.m_selections[0];
        EXPECT_EQ(m.size(), 4u) << mode;
        for (const char16_t* key : {u"Name", u"Class", u"ADPath", u"UPN"})
            EXPECT_EQ(m.count(key), 1u);
    }
}

TEST(CObjectPicker, ClassGroupInAnyCaseIsAGroup)
{
    for (const char16_t* cls : {u"group", u"GROUP", u"Group"}) {
        accounts::SelectionMap m{{u"Name", u"x"}, {u"DomainName", u"D"}, {u"Class", cls}};
        EXPECT_EQ(accounts::EntryForSelection(m).type, kEntryGroup);
    }
    for (const char16_t* cls : {u"user", u"computer", u"groups", u""}) {
        accounts::SelectionMap m{{u"Name", u"x"}, {u"Class", cls}};
        EXPECT_EQ(accounts::EntryForSelection(m).type, kEntryUser);
    }
}

} // namespace
