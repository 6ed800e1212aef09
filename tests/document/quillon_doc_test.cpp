#include <gtest/gtest.h>

#include "accounts/object_picker.h"
#include "config/config_file.h"
#include "document/quillon_doc.h"
#include "document_fakes.h"
#include "framework/command_ids.h"
#include "platform/probe.h"
#include "support/fake_account_services.h"
#include "support/scripted_modal_seam.h"
#include "support/temp_files.h"
#include "support/test_application.h"

namespace {

namespace fs = std::filesystem;
using doctest::FakeBrowser;
using doctest::FakeHost;
using doctest::FakeTree;
using doctest::FakeUserGroupView;
using doctest::Location;
using framework::Answer;
using testsupport::ScriptedModalSeam;
using namespace framework;

const QString kNotFoundAdmin = QStringLiteral("Starting with new empty configuration file");
const QString kNotFoundUser =
    QStringLiteral("The user configuration profile is missing\nPlease contact your system administrator");
const QString kUnreadable =
    QStringLiteral("Could not open data configuration file\nStarting with new empty configuration file");
const QString kNotSaved = QStringLiteral("Could not save data configuration file\nPlease retry saving the file later");
const QString kUnsaved = QStringLiteral("You have unsaved changes\nWould you like to save those changes ?");

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

class QuillonDocTest : public testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }

    CTSUserDataItem* AddEntry(CTSUserData& data, const std::u16string& name, std::int32_t type,
                              std::initializer_list<const char16_t*> locations = {})
    {
        CTSUserDataItem* e = data.Add(name, type, false);
        for (const char16_t* l : locations)
            e->m_locations.Add(Location(l), false);
        return e;
    }

    void Store(const CTSUserData& data) { ASSERT_TRUE(config::SaveConfigurationFile(config, data)); }

    bool Open() { return doc.OnOpenDocument(Q(config)); }

    probe::ScratchDir dir;
    fs::path config = dir / "userConfig.QLNData";
    ScriptedModalSeam seam;
    FakeHost host;
    accounts::FakeAccountServices accounts =
        accounts::FakeAccountServices::Local("SERVER1", "anna", {"Users", "Sales", "Staff"});
    CQuillonDoc doc{seam, host, accounts};
};

// ---- profile ----

TEST_F(QuillonDocTest, ProfileIsOwnEntryElseFirstGroupInLookupOrderElseNewEntry)
{
    struct Case {
        const char* what;
        std::vector<std::u16string> entries;
        std::u16string expected;
        bool added;
        std::size_t held;  // the user's session keeps only its candidate entries
    };
    const Case cases[] = {
        {"own entry beats groups", {u"SERVER1\\Sales", u"SERVER1\\anna"}, u"SERVER1\\anna", false, 2},
        {"own entry in other case", {u"server1\\ANNA"}, u"server1\\ANNA", false, 1},
        {"first group in lookup order", {u"SERVER1\\Staff", u"SERVER1\\Sales"}, u"SERVER1\\Sales", false, 2},
        {"group in other case", {u"server1\\staff"}, u"server1\\staff", false, 1},
        {"nothing: new user entry", {u"SERVER1\\Other"}, u"SERVER1\\anna", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTSUserData data;
        for (const auto& name : c.entries)
            AddEntry(data, name, kEntryGroup, {u"Docs"});
        Store(data);
        doc.OnNewDocument();

        ASSERT_TRUE(Open());
        ASSERT_NE(doc.m_pProfile, nullptr);
        EXPECT_EQ(doc.m_pProfile->m_strName, c.expected);
        EXPECT_EQ(doc.m_selection, std::vector<CTSUserDataItem*>{doc.m_pProfile});
        EXPECT_EQ(doc.m_userData.GetSize(), c.held);
        if (c.added) {
            EXPECT_EQ(doc.m_pProfile->m_nType, kEntryUser);
        }
        EXPECT_FALSE(doc.IsModified());
    }
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(QuillonDocTest, AdministratorViewKeepsNoProfileAndAddsNoEntry)
{
    host.administrator = true;
    CTSUserData data;
    AddEntry(data, u"SERVER1\\Users", kEntryGroup);
    Store(data);
    ASSERT_TRUE(Open());
    EXPECT_EQ(doc.m_pProfile, nullptr);
    EXPECT_TRUE(doc.m_selection.empty());
    EXPECT_EQ(doc.m_userData.GetSize(), 1u);
}

TEST_F(QuillonDocTest, AUsersSessionHoldsOnlyItsCandidatesAndNeverSaves)
{
    CTSUserData data;
    for (auto name : {u"SERVER1\\Other", u"SERVER1\\Staff", u"SERVER1\\bob", u"SERVER1\\anna"})
        AddEntry(data, name, kEntryUser, {u"Docs"});
    Store(data);
    const std::string before = testfiles::Slurp(config);

    ASSERT_TRUE(Open());
    EXPECT_TRUE(doc.IsPartial());
    ASSERT_EQ(doc.m_userData.GetSize(), 2u);
    EXPECT_EQ(doc.m_userData.GetAt(0).m_strName, u"SERVER1\\Staff");
    EXPECT_EQ(doc.m_pProfile->m_strName, u"SERVER1\\anna");

    // Even marked modified, the part is never written over the whole.
    doc.SetModifiedFlag(true);
    CommandState state;
    doc.OnUpdateCommand(ID_FILE_SAVE, state);
    EXPECT_FALSE(state.enabled);
    EXPECT_FALSE(doc.OnSaveDocument(Q(config)));
    EXPECT_EQ(testfiles::Slurp(config), before);

    // The administrator's console reads everything.
    host.administrator = true;
    doc.OnNewDocument();
    EXPECT_FALSE(doc.IsPartial());
    ASSERT_TRUE(Open());
    EXPECT_FALSE(doc.IsPartial());
    EXPECT_EQ(doc.m_userData.GetSize(), 4u);
}

// ---- missing and unreadable files ----

TEST_F(QuillonDocTest, MissingFileGivesOneMessageAndALaterSaveCreatesTheFile)
{
    for (bool administrator : {true, false}) {
        SCOPED_TRACE(administrator ? "administrator" : "user");
        ScriptedModalSeam boxes;
        boxes.AnswerMessage(Answer::Ok);
        FakeHost h;
        h.administrator = administrator;
        CQuillonDoc d(boxes, h, accounts);
        fs::remove(config);

        EXPECT_TRUE(d.OpenDocumentFile(Q(config)));
        EXPECT_EQ(boxes.MessageTexts(), QStringList{administrator ? kNotFoundAdmin : kNotFoundUser});
        EXPECT_EQ(d.m_userData.GetSize(), administrator ? 0u : 1u);  // the user's new, empty profile
        EXPECT_FALSE(d.IsModified());
        EXPECT_EQ(d.GetPathName(), Q(config));

        ASSERT_TRUE(d.DoFileSave());
        CTSUserData back;
        ASSERT_TRUE(config::LoadConfigurationFile(config, back));
        EXPECT_TRUE(back == d.m_userData);
        EXPECT_FALSE(fs::exists(dir / "userConfig.QLNData.unreadable"));
    }
}

TEST_F(QuillonDocTest, UnreadableFileIsReportedTwiceLeftEmptyAndKeptBeforeTheFirstSave)
{
    host.administrator = true;
    CTSUserData data;
    AddEntry(data, u"SERVER1\\Users", kEntryGroup, {u"Docs"});
    Store(data);
    ASSERT_TRUE(Open());  // something was read before

    const std::string garbage = "this is no configuration file";
    testfiles::Put(config, garbage);
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    EXPECT_TRUE(Open());
    ASSERT_EQ(seam.MessageTexts().size(), 2);
    EXPECT_TRUE(seam.MessageTexts()[0].startsWith(QStringLiteral("Unexpected file format.")));
    EXPECT_EQ(seam.MessageTexts()[1], kUnreadable);
    EXPECT_EQ(doc.m_userData.GetSize(), 0u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.PendingUnreadableFile(), Q(config));

    // Saving somewhere else leaves the unreadable file alone.
    EXPECT_TRUE(doc.DoSave(Q(dir / "elsewhere.QLNData"), false));
    EXPECT_FALSE(fs::exists(dir / "userConfig.QLNData.unreadable"));

    // Saving over it keeps it first.
    EXPECT_TRUE(doc.DoSave(Q(config), true));
    EXPECT_EQ(testfiles::Slurp(dir / "userConfig.QLNData.unreadable"), garbage);
    CTSUserData back;
    EXPECT_TRUE(config::LoadConfigurationFile(config, back));
    EXPECT_TRUE(doc.PendingUnreadableFile().isEmpty());

    // Another unreadable file later: the earlier copy stays, a free name is taken.
    testfiles::Put(config, "second bad file");
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    Open();
    // Even a new document saved to that path through the save dialog keeps it.
    doc.OnNewDocument();
    seam.ChooseFileAnswer(Q(config));
    EXPECT_TRUE(doc.DoFileSave());
    EXPECT_EQ(testfiles::Slurp(dir / "userConfig.QLNData.unreadable"), garbage);
    EXPECT_EQ(testfiles::Slurp(dir / "userConfig.QLNData.unreadable.1"), "second bad file");
}

TEST_F(QuillonDocTest, UnreadableFileThatCannotBeKeptIsNotSavedOver)
{
    host.administrator = true;
    fs::create_directories(config);  // opens, but does not read, and cannot be copied
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    Open();
    ASSERT_EQ(seam.MessageTexts().size(), 2);

    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    EXPECT_FALSE(doc.DoSave(Q(config), true));
    ASSERT_EQ(seam.MessageTexts().size(), 4);
    EXPECT_TRUE(seam.MessageTexts()[2].contains(QStringLiteral("userConfig.QLNData.unreadable")));
    EXPECT_EQ(seam.MessageTexts()[3], kNotSaved);
    EXPECT_TRUE(fs::is_directory(config));
}

TEST_F(QuillonDocTest, FailedSaveShowsTheStandardReportThenItsOwn)
{
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    EXPECT_FALSE(doc.DoSave(Q(dir / "no such folder" / "x.QLNData"), true));
    ASSERT_EQ(seam.MessageTexts().size(), 2);
    EXPECT_NE(seam.MessageTexts()[0], kNotSaved);
    EXPECT_EQ(seam.MessageTexts()[1], kNotSaved);
}

// ---- session start ----

CTSUserScriptItem EnabledScript(const char16_t* program)
{
    CTSUserScriptItem s;
    s.m_strProgramPath = program;
    s.m_bEnabled = 1;
    return s;
}

TEST_F(QuillonDocTest, SessionStartRunsItsStepsInOrder)
{
    struct Case {
        const char* what;
        bool administrator;
        bool service;
        bool ownEntry;
        bool scriptEnabled;
        bool withLocations;
        bool opens;
        std::vector<std::string> calls;
    };
    const std::string transfer = "transfer /srv/x /c 1 8 0";
    const Case cases[] = {
        {"no service mode: nothing runs", false, false, true, true, true, true, {}},
        {"script, no locations: shell and failure", false, true, true, true, false, false,
         {"script /bin/logon", "shell"}},
        {"locations: logoff armed, then transfers", false, true, true, false, true, true, {"logoff", transfer}},
        {"script and locations", false, true, true, true, true, true, {"script /bin/logon", "logoff", transfer}},
        {"administrator: own profile's duties", true, true, true, true, true, true,
         {"script /bin/logon", "logoff", transfer}},
        {"administrator without entry: shell", true, true, false, true, true, false, {"shell"}},
        {"user without entry: shell", false, true, false, true, true, false, {"shell"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTSUserData data;
        CTSUserDataItem* e = AddEntry(data, c.ownEntry ? u"SERVER1\\anna" : u"SERVER1\\Other", kEntryUser);
        e->m_script = EnabledScript(u"/bin/logon");
        e->m_script.m_bEnabled = c.scriptEnabled;
        if (c.withLocations) {
            CTSAppDataItem l = Location(u"Docs");
            l.m_strClientLocation = u"/c";
            l.m_bSyncEnabled = 1;
            l.m_nConnectAction = kConnectUpdateClient;
            l.m_nOverwriteMode = kOverwriteAlways;
            e->m_locations.Add(l, false);
        }
        Store(data);
        FakeHost h;
        h.administrator = c.administrator;
        h.serviceMode = c.service;
        CQuillonDoc d(seam, h, accounts);

        EXPECT_EQ(d.OnOpenDocument(Q(config)), c.opens);
        EXPECT_EQ(h.calls, c.calls);
        EXPECT_EQ(h.logoffArmed, c.opens && c.service);
        EXPECT_EQ(d.m_pProfile == nullptr, c.administrator);
    }
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(QuillonDocTest, FailedLogonProgramIsReportedAndTheStartGoesOn)
{
    CTSUserData data;
    CTSUserDataItem* e = AddEntry(data, u"SERVER1\\Sales", kEntryGroup, {u"Docs"});
    e->m_script = EnabledScript(u"/bin/logon");
    Store(data);
    host.serviceMode = true;
    host.scriptResult = false;
    seam.AnswerMessage(Answer::Ok);

    EXPECT_TRUE(Open());
    EXPECT_EQ(seam.MessageTexts(), QStringList{QStringLiteral("Error Executing SERVER1\\Sales Script")});
    EXPECT_EQ(seam.Messages()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(seam.Messages()[0].icon, MessageIcon::None);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"script /bin/logon", "logoff"}));
}

TEST_F(QuillonDocTest, MissingFileInServiceModeGivesTheUserTheDesktopShell)
{
    host.serviceMode = true;
    seam.AnswerMessage(Answer::Ok);
    EXPECT_FALSE(Open());
    EXPECT_EQ(seam.MessageTexts(), QStringList{kNotFoundUser});
    EXPECT_EQ(host.calls, std::vector<std::string>{"shell"});
}

TEST_F(QuillonDocTest, ConnectTransfersFollowEachLocationsAction)
{
    struct Case {
        std::int32_t action;
        bool sync;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {kConnectNone, true, {}},
        {kConnectUpdateClient, true, {"transfer /s /c 1 8 1"}},
        {kConnectUpdateServer, true, {"transfer /s /c 0 8 1"}},
        {kConnectServerMaster, true, {"transfer /s /c 1 101 1", "transfer /s /c 0 1042 1"}},
        {kConnectClientMaster, true, {"transfer /s /c 0 101 1", "transfer /s /c 1 1042 1"}},
        {5, true, {}},
        {kConnectServerMaster, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        CTSUserDataItem* profile = doc.GetProfile();
        profile->m_locations.m_items.clear();
        CTSAppDataItem l = Location(u"Docs", u"/s");
        l.m_strClientLocation = u"/c";
        l.m_bSyncEnabled = c.sync;
        l.m_bHideTransferWindow = 1;
        l.m_nConnectAction = c.action;
        l.m_nOverwriteMode = kOverwriteAlways;
        profile->m_locations.Add(l, false);
        host.calls.clear();
        EXPECT_TRUE(doc.RunAutoTransfers());
        EXPECT_EQ(host.calls, c.calls);
    }
}

TEST_F(QuillonDocTest, ConnectTransfersWithNothingToCopyAreNotStarted)
{
    CTSUserDataItem* profile = doc.GetProfile();
    const std::pair<const char16_t*, const char16_t*> serverAndClient[] = {{u"/s", u""}, {u"", u"/c"}};
    for (const auto& [server, client] : serverAndClient) {
        CTSAppDataItem l = Location(u"Docs", server);
        l.m_strClientLocation = client;
        l.m_bSyncEnabled = 1;
        l.m_nConnectAction = kConnectServerMaster;
        profile->m_locations.Add(l, false);
    }
    EXPECT_TRUE(doc.RunAutoTransfers());
    EXPECT_TRUE(host.calls.empty()) << "an empty server or client folder would name the root folder";
}

TEST_F(QuillonDocTest, ProfileScriptRunsOnlyWhenEnabled)
{
    CTSUserDataItem* profile = doc.GetProfile();
    EXPECT_FALSE(doc.RunProfileScript());
    EXPECT_TRUE(host.calls.empty());
    profile->m_script = EnabledScript(u"/bin/logon");
    EXPECT_TRUE(doc.RunProfileScript());
    EXPECT_EQ(host.calls, std::vector<std::string>{"script /bin/logon"});
}

// ---- users and groups ----

class SelectionTest : public QuillonDocTest {
protected:
    void SetUp() override
    {
        QuillonDocTest::SetUp();
        host.administrator = true;
        doc.RegisterUserGroupView(rows);
        doc.RegisterLocationsView(tree);
        a = AddEntry(doc.m_userData, u"CORP\\a", kEntryUser, {u"Docs"});
        b = AddEntry(doc.m_userData, u"CORP\\b", kEntryUser);
        c = AddEntry(doc.m_userData, u"CORP\\c", kEntryGroup);
    }

    void Select(std::vector<CTSUserDataItem*> entries)
    {
        doc.m_selection = entries;
        rows.selectedRows.clear();
        for (auto* e : entries)
            rows.selectedRows.push_back(e->m_strName);
    }

    bool Enabled(int id)
    {
        CommandState state;
        EXPECT_TRUE(doc.OnUpdateCommand(id, state));
        return state.enabled;
    }

    FakeUserGroupView rows;
    FakeTree tree;
    CTSUserDataItem* a = nullptr;
    CTSUserDataItem* b = nullptr;
    CTSUserDataItem* c = nullptr;
};

TEST_F(SelectionTest, AddUserGroupAddsNewNamesAndLeavesListedOnesAlone)
{
    a->m_script = EnabledScript(u"/bin/keep");
    accounts::CObjectPicker picked;
    picked.Init(accounts::CObjectPicker::kModeUsersAndGroups);
    picked.ProcessSelections({
        {u"A", u"user", u"WinNT://corp/A", u"", std::nullopt, std::nullopt},
        {u"dave", u"user", u"WinNT://CORP/SERVER1/dave", u"", u"Dave", std::nullopt},
        {u"Sales", u"GROUP", u"WinNT://CORP/Sales", u"", std::nullopt, std::nullopt},
    });
    seam.AnswerPicker(picked.m_selections);
    const int updates = rows.updates;
    doc.OnCommand(ID_ADD_USER_GROUP);

    ASSERT_EQ(doc.m_userData.GetSize(), 5u);
    // The existing entry keeps its spelling, locations and script.
    EXPECT_EQ(a->m_strName, u"CORP\\a");
    EXPECT_EQ(a->m_locations.GetSize(), 1u);
    EXPECT_EQ(a->m_script.m_strProgramPath, u"/bin/keep");
    EXPECT_EQ(doc.m_userData.GetAt(3).m_strName, u"SERVER1\\dave");
    EXPECT_EQ(doc.m_userData.GetAt(3).m_nType, kEntryUser);
    EXPECT_EQ(doc.m_userData.GetAt(4).m_strName, u"CORP\\Sales");
    EXPECT_EQ(doc.m_userData.GetAt(4).m_nType, kEntryGroup);
    EXPECT_EQ(rows.updates, updates + 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SelectionTest, AddUserGroupThatAddsNothingLeavesTheDocumentUnmodified)
{
    accounts::CObjectPicker listed;
    listed.Init(accounts::CObjectPicker::kModeUsersAndGroups);
    listed.ProcessSelections({{u"b", u"user", u"WinNT://CORP/b", u"", std::nullopt, std::nullopt}});
    for (const std::optional<std::vector<accounts::SelectionMap>>& answer :
         {std::optional<std::vector<accounts::SelectionMap>>{}, std::optional(std::vector<accounts::SelectionMap>{}),
          std::optional(listed.m_selections)}) {
        seam.AnswerPicker(answer);
        doc.OnCommand(ID_ADD_USER_GROUP);
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(doc.m_userData.GetSize(), 3u);
    }
}

TEST_F(SelectionTest, RemoveUserGroupRemovesTheSelectedRowsWithoutAsking)
{
    Select({a, c});
    doc.OnCommand(ID_REMOVE_USER_GROUP);
    EXPECT_TRUE(doc.m_selection.empty());
    ASSERT_EQ(doc.m_userData.GetSize(), 1u);
    EXPECT_EQ(doc.m_userData.GetAt(0).m_strName, u"CORP\\b");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(seam.Messages().empty());

    doc.SetModifiedFlag(false);
    Select({});
    doc.m_selection = {b};  // no selected row: nothing happens
    doc.OnCommand(ID_REMOVE_USER_GROUP);
    EXPECT_EQ(doc.m_userData.GetSize(), 1u);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SelectionTest, SelectionCommandsNeedASelectedRow)
{
    struct Case {
        std::vector<CTSUserDataItem*> selection;
        bool row;
        bool enabled;
    };
    for (const Case& k : {Case{{}, false, false}, Case{{a}, false, false}, Case{{a}, true, true},
                          Case{{a, b}, true, true}}) {
        doc.m_selection = k.selection;
        rows.selectedRows = k.row ? std::vector<std::u16string>{u"CORP\\a"} : std::vector<std::u16string>{};
        for (int id : {ID_REMOVE_USER_GROUP, ID_ADD_LOCATION, ID_EDIT_LOGON_SCRIPT})
            EXPECT_EQ(Enabled(id), k.enabled) << id << " with " << k.selection.size() << " selected";
        EXPECT_TRUE(Enabled(ID_ADD_USER_GROUP));
    }
}

// ---- locations ----

TEST_F(SelectionTest, AddLocationToThreeEntriesOneOfWhichHasIt)
{
    Select({a, b, c});
    seam.AnswerLocationEditor([](const CTSAppDataItem& initial) {
        EXPECT_EQ(initial, CTSAppDataItem());  // a new location's defaults
        CTSAppDataItem added = initial;
        added.m_strName = u"Docs";
        added.m_strServerLocation = u"/srv/docs";
        return std::optional(added);
    });
    seam.AnswerMessage(Answer::Ok);
    doc.OnCommand(ID_ADD_LOCATION);

    EXPECT_EQ(seam.MessageTexts(), QStringList{QStringLiteral("Error adding item - item already exists")});
    EXPECT_EQ(a->m_locations.GetAt(0).m_strServerLocation, u"/srv/x");  // left as it was
    for (auto* e : {b, c}) {
        ASSERT_EQ(e->m_locations.GetSize(), 1u);
        EXPECT_EQ(e->m_locations.GetAt(0).m_strServerLocation, u"/srv/docs");
    }
    EXPECT_EQ(tree.hints, std::vector<std::u16string>{u"Docs"});
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SelectionTest, AddLocationWithoutNameOrServerLocationAddsNothing)
{
    const QString noName = QStringLiteral("Error adding item - you must specify a location name");
    const QString noServer = QStringLiteral("Error adding item - you must specify a server location name");
    struct Case {
        QString name;
        QString server;
        QStringList messages;
    };
    for (const Case& k : {Case{"", "", {noName, noServer}}, Case{"", "/srv", {noName}}, Case{"Docs", "", {noServer}}}) {
        ScriptedModalSeam boxes;
        CQuillonDoc d(boxes, host, accounts);
        CTSUserDataItem* e = d.m_userData.Add(u"CORP\\x", kEntryUser, false);
        d.m_selection = {e};
        boxes.AnswerLocationEditor([&](const CTSAppDataItem& initial) {
            CTSAppDataItem added = initial;
            added.m_strName = k.name.toStdU16String();
            added.m_strServerLocation = k.server.toStdU16String();
            return std::optional(added);
        });
        for (int i = 0; i < k.messages.size(); ++i)
            boxes.AnswerMessage(Answer::Ok);
        d.OnAddLocation();
        EXPECT_EQ(boxes.MessageTexts(), k.messages);
        EXPECT_EQ(e->m_locations.GetSize(), 0u);
        EXPECT_FALSE(d.IsModified());
    }

    Select({a});
    seam.AnswerLocationEditor([](const CTSAppDataItem&) { return std::optional<CTSAppDataItem>(); });
    doc.OnAddLocation();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(tree.hints.empty());
}

// ---- logon scripts ----

TEST_F(SelectionTest, EditLogonScriptShowsTheFirstAndGivesAllTheResult)
{
    a->m_script = EnabledScript(u"/bin/first");
    b->m_script = EnabledScript(u"/bin/second");
    Select({a, b, c});
    seam.AnswerMessage(Answer::Ok);
    seam.AnswerScriptEditor([](const CTSUserScriptItem& initial) {
        EXPECT_EQ(initial.m_strProgramPath, u"/bin/first");
        CTSUserScriptItem edited = initial;
        edited.m_strProgramPath = u"/bin/new";
        edited.m_nTimeout = 45000;
        return std::optional(edited);
    });
    doc.OnCommand(ID_EDIT_LOGON_SCRIPT);

    EXPECT_EQ(seam.MessageTexts(),
              QStringList{QStringLiteral(
                  "Note:\nYou have chosen to edit multiple users/groups,\nThe script edit dialog will be populated "
                  "with your first(upper) selection but\nany changes you make will apply to all of the selected "
                  "users/groups.")});
    for (auto* e : {a, b, c}) {
        EXPECT_EQ(e->m_script.m_strProgramPath, u"/bin/new");
        EXPECT_EQ(e->m_script.m_nTimeout, 45000);
        EXPECT_EQ(e->m_script, a->m_script);
    }
    EXPECT_TRUE(doc.IsModified());

    // One entry: no note; cancelling changes nothing.
    doc.SetModifiedFlag(false);
    Select({b});
    seam.AnswerScriptEditor([](const CTSUserScriptItem&) { return std::optional<CTSUserScriptItem>(); });
    doc.OnCommand(ID_EDIT_LOGON_SCRIPT);
    EXPECT_EQ(seam.Messages().size(), 1u);
    EXPECT_EQ(b->m_script.m_strProgramPath, u"/bin/new");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SelectionTest, TestLogonScriptRunsTheFirstEntrysProgramEvenWhenDisabled)
{
    struct Case {
        std::vector<CTSUserDataItem*> selection;
        const char16_t* path;
        bool enabled;
    };
    for (const Case& k : {Case{{a}, u"/bin/t", true}, Case{{a}, u"", false}, Case{{a, b}, u"/bin/t", false}}) {
        a->m_script.m_strProgramPath = k.path;
        Select(k.selection);
        EXPECT_EQ(Enabled(ID_TEST_LOGON_SCRIPT), k.enabled);
    }

    Select({a});
    a->m_script.m_strProgramPath = u"/bin/t";
    a->m_script.m_bEnabled = 0;
    host.scriptResult = false;
    seam.AnswerMessage(Answer::Ok);
    doc.OnCommand(ID_TEST_LOGON_SCRIPT);
    EXPECT_EQ(host.calls, std::vector<std::string>{"script /bin/t"});
    EXPECT_EQ(seam.MessageTexts(), QStringList{QStringLiteral("Error Executing CORP\\a Script")});
    EXPECT_FALSE(doc.IsModified());
}

// ---- forwarding ----

TEST_F(SelectionTest, LocationCommandsGoToTheTreeByItsRules)
{
    struct Case {
        int id;
        std::string call;
        std::int32_t CTSAppDataItem::*flag;  // the location flag the rule needs besides sync
    };
    const Case cases[] = {
        {ID_EDIT_LOCATION, "edit", nullptr},
        {ID_REMOVE_LOCATION, "remove", nullptr},
        {ID_SEND_TO_CLIENT, "toClient", &CTSAppDataItem::m_bServerToClient},
        {ID_SEND_TO_SERVER, "toServer", &CTSAppDataItem::m_bClientToServer},
        {ID_LAUNCH_FILE_EXPLORER, "explorer", &CTSAppDataItem::m_bManualTransfer},
    };
    CTSAppDataItem location = Location(u"Docs");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.call);
        location = Location(u"Docs");
        tree.selected = nullptr;
        EXPECT_FALSE(Enabled(k.id));
        tree.selected = &location;
        EXPECT_EQ(Enabled(k.id), k.flag == nullptr);
        if (k.flag) {
            location.*k.flag = 1;
            EXPECT_FALSE(Enabled(k.id));  // synchronization still off
            location.m_bSyncEnabled = 1;
            EXPECT_TRUE(Enabled(k.id));
        }
        tree.calls.clear();
        EXPECT_TRUE(doc.OnCommand(k.id));
        EXPECT_EQ(tree.calls, std::vector<std::string>{k.call});
    }
}

TEST_F(SelectionTest, NavigationCommandsGoToTheBrowser)
{
    CTSAppDataItem location = Location(u"Docs", u"/srv/docs");
    {
        FakeBrowser browser;
        doc.RegisterBrowserView(browser);
        EXPECT_FALSE(Enabled(ID_GO_BACK));
        EXPECT_FALSE(Enabled(ID_GO_FORWARD));
        EXPECT_TRUE(Enabled(ID_STOP));
        EXPECT_TRUE(Enabled(ID_REFRESH));
        EXPECT_FALSE(Enabled(ID_GO_HOME));
        browser.canGoBack = browser.canGoForward = browser.canGoHome = true;
        tree.selected = &location;
        for (int id : {ID_GO_BACK, ID_GO_FORWARD, ID_GO_HOME})
            EXPECT_TRUE(Enabled(id));
        for (int id : {ID_GO_BACK, ID_GO_FORWARD, ID_STOP, ID_REFRESH, ID_GO_HOME})
            doc.OnCommand(id);
        EXPECT_EQ(browser.calls,
                  (std::vector<std::string>{"back", "forward", "stop", "refresh", "home"}));
    }
    // The browser is gone: forgotten, its commands disabled and harmless.
    EXPECT_EQ(doc.m_pBrowserView, nullptr);
    for (int id : {ID_GO_BACK, ID_GO_FORWARD, ID_STOP, ID_REFRESH, ID_GO_HOME}) {
        EXPECT_FALSE(Enabled(id));
        doc.OnCommand(id);
    }
}

TEST_F(SelectionTest, ForwardedCommandsWithoutTheTreeAreDisabledAndHarmless)
{
    {
        FakeTree gone;
        doc.RegisterLocationsView(gone);
    }
    EXPECT_EQ(doc.m_pLocationsView, nullptr);
    for (int id : {ID_EDIT_LOCATION, ID_REMOVE_LOCATION, ID_SEND_TO_CLIENT, ID_SEND_TO_SERVER, ID_LAUNCH_FILE_EXPLORER}) {
        EXPECT_FALSE(Enabled(id));
        doc.OnCommand(id);
    }
    EXPECT_TRUE(tree.calls.empty());
}

// ---- save, save-modified, new, title ----

TEST_F(QuillonDocTest, SaveModifiedAsksAndFollowsTheAnswer)
{
    host.administrator = true;
    struct Case {
        Answer answer;
        bool result;
        bool saved;
    };
    for (const Case& k : {Case{Answer::Yes, true, true}, Case{Answer::No, true, false}, Case{Answer::Cancel, false, false}}) {
        fs::remove(config);
        ScriptedModalSeam boxes;
        CQuillonDoc d(boxes, host, accounts);
        d.SetPathName(Q(config));
        EXPECT_TRUE(d.SaveModified());  // not modified: no question
        d.m_userData.Add(u"CORP\\x", kEntryUser, false);
        d.SetModifiedFlag();
        boxes.AnswerMessage(k.answer);

        EXPECT_EQ(d.SaveModified(), k.result);
        EXPECT_EQ(boxes.MessageTexts(), QStringList{kUnsaved});
        EXPECT_EQ(boxes.Messages()[0].buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(fs::exists(config), k.saved);
        EXPECT_EQ(d.IsModified(), !k.saved);
    }

    // A user's face never saves, so closing it never asks, even after a
    // configuration that did not read left the document modified.
    host.administrator = false;
    ScriptedModalSeam boxes;
    CQuillonDoc d(boxes, host, accounts);
    d.SetModifiedFlag();
    EXPECT_TRUE(d.SaveModified());
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(QuillonDocTest, SaveWithoutPathAsksForOneAndCancellingKeepsTheChanges)
{
    host.administrator = true;
    doc.OnNewDocument();
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.HasCommandHandler(ID_FILE_SAVE));
    CommandState state;
    doc.OnUpdateCommand(ID_FILE_SAVE, state);
    EXPECT_FALSE(state.enabled) << "not in the user view";
    host.administratorView = true;
    doc.OnUpdateCommand(ID_FILE_SAVE, state);
    EXPECT_TRUE(state.enabled);

    seam.AnswerMessage(Answer::Yes).CancelFileDialog();
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());

    seam.ChooseFileAnswer(Q(config));
    doc.OnCommand(ID_FILE_SAVE);
    EXPECT_TRUE(fs::exists(config));
    EXPECT_FALSE(doc.IsModified());
    doc.OnUpdateCommand(ID_FILE_SAVE, state);
    EXPECT_FALSE(state.enabled);
}

TEST_F(QuillonDocTest, NewDocumentEmptiesEverythingAndTheTitleStaysEmpty)
{
    CTSUserData data;
    AddEntry(data, u"SERVER1\\anna", kEntryUser, {u"Docs"});
    Store(data);
    ASSERT_TRUE(doc.OpenDocumentFile(Q(config)));
    EXPECT_TRUE(doc.GetTitle().isEmpty());
    doc.SetTitle(QStringLiteral("anything"));
    EXPECT_TRUE(doc.GetTitle().isEmpty());
    ASSERT_NE(doc.m_pProfile, nullptr);
    doc.SetModifiedFlag();

    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.m_userData.GetSize(), 0u);
    EXPECT_TRUE(doc.m_selection.empty());
    EXPECT_EQ(doc.m_pProfile, nullptr);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_TRUE(doc.GetTitle().isEmpty());
}

} // namespace
