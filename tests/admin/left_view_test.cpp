#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include "admin/frame_popup.h"
#include "admin/left_view.h"
#include "document/document_fakes.h"
#include "document/quillon_doc.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "support/fake_account_services.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

using namespace framework;
using doctest::FakeBrowser;
using doctest::FakeHost;
using doctest::FakeUserGroupView;
using doctest::Location;
using testsupport::ScriptedModalSeam;

namespace {

class LeftViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        a = doc.m_userData.Add(u"CORP\\a", kEntryUser, false);
        b = doc.m_userData.Add(u"CORP\\b", kEntryGroup, false);
        doc.RegisterUserGroupView(rows);
        doc.RegisterLocationsView(tree);
        rows.selectedRows = {u"CORP\\a"};
    }

    void Select(std::vector<CTSUserDataItem*> entries)
    {
        doc.m_selection = std::move(entries);
        tree.OnUpdate(nullptr, 0, {});
    }

    QStringList Items() const
    {
        QStringList texts;
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            texts << tree.topLevelItem(i)->text(0);
        return texts;
    }
    int CurrentRow() const { return tree.indexOfTopLevelItem(tree.currentItem()); }

    QApplication& app = testsupport::TestApplication();  // before any widget
    ScriptedModalSeam seam;
    FakeHost host;
    accounts::FakeAccountServices accounts = accounts::FakeAccountServices::Local("SERVER1", "anna", {});
    CQuillonDoc doc{seam, host, accounts};
    CommandRouter router;
    FakeUserGroupView rows;
    FakeBrowser browser;
    CLeftView tree{doc, router};
    CTSUserDataItem* a = nullptr;
    CTSUserDataItem* b = nullptr;
};

TEST_F(LeftViewTest, RebuildListsSelectedEntriesInOrderAndChoosesTheItem)
{
    a->m_locations.Add(Location(u"Docs", u"/srv/a-docs"), false);
    a->m_locations.Add(Location(u"Mail", u"/srv/mail"), false);
    b->m_locations.Add(Location(u"Docs", u"/srv/b-docs"), false);
    doc.RegisterBrowserView(browser);
    struct Case {
        const char* name;
        std::vector<CTSUserDataItem*> selection;
        const char16_t* hint;  // null: none
        QStringList items;
        int current;  // -1: none
        std::vector<std::string> browserCalls;
    };
    const Case cases[] = {
        {"first item without hint", {a, b}, nullptr, {"Docs", "Mail", "Docs"}, 0,
         {"root /srv/a-docs", "navigate /srv/a-docs"}},
        {"hint picks the last exact match", {a, b}, u"Docs", {"Docs", "Mail", "Docs"}, 2,
         {"root /srv/b-docs", "navigate /srv/b-docs"}},
        {"hint compares case", {a, b}, u"docs", {"Docs", "Mail", "Docs"}, 0,
         {"root /srv/a-docs", "navigate /srv/a-docs"}},
        {"nothing selected shows the start page", {}, nullptr, {}, -1, {"start page"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        browser.calls.clear();
        doc.m_selection = c.selection;
        CTSAppDataItem hint = Location(c.hint ? c.hint : u"");
        tree.OnUpdate(nullptr, 0, c.hint ? HintObject(&hint) : HintObject());
        EXPECT_EQ(Items(), c.items);
        EXPECT_EQ(CurrentRow(), c.current);
        EXPECT_EQ(browser.calls, c.browserCalls);
    }
}

TEST_F(LeftViewTest, SelectingALocationWithoutServerFolderLeavesTheBrowser)
{
    a->m_locations.Add(Location(u"Docs", u"/srv/docs"), false);
    a->m_locations.Add(Location(u"Empty", u""), false);
    doc.RegisterBrowserView(browser);
    Select({a});
    browser.calls.clear();
    tree.setCurrentItem(tree.topLevelItem(1));
    EXPECT_TRUE(browser.calls.empty());
    tree.setCurrentItem(tree.topLevelItem(0));
    EXPECT_EQ(browser.calls, (std::vector<std::string>{"root /srv/docs", "navigate /srv/docs"}));

    // The mouse and the keyboard move the browser as well, once each.
    a->m_locations.Add(Location(u"Mail", u"/srv/mail"), false);
    Select({a});
    tree.show();
    browser.calls.clear();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(tree.topLevelItem(2)).center());
    QTest::keyClick(&tree, Qt::Key_Up);  // to the location without a folder: stays
    QTest::keyClick(&tree, Qt::Key_Up);
    EXPECT_EQ(browser.calls, (std::vector<std::string>{"root /srv/mail", "navigate /srv/mail", "root /srv/docs",
                                                       "navigate /srv/docs"}));
}

TEST_F(LeftViewTest, WithoutBrowserTheTreeRefreshesOnceTheBrowserIsThere)
{
    a->m_locations.Add(Location(u"Docs", u"/srv/docs"), false);
    Select({a});  // no browser yet: a refresh is posted, once
    QApplication::processEvents();
    QApplication::processEvents();  // and it does not post itself again
    doc.RegisterBrowserView(browser);
    EXPECT_TRUE(browser.calls.empty());
    Select({a});
    EXPECT_EQ(browser.calls, (std::vector<std::string>{"root /srv/docs", "navigate /srv/docs"}));
}

TEST_F(LeftViewTest, EditGivesEverySelectedEntryTheEditedLocation)
{
    const QString note = QStringLiteral(
        "Note:\nYou have chosen to edit multiple users/groups.\nThe location edit dialog will be populated with your "
        "last selection but\nany changes you make will apply to all of the selected users/groups.");
    struct Case {
        const char* name;
        bool bHasDocs;
        const char16_t* newName;
        std::vector<std::u16string> aNames, bNames;
    };
    const Case cases[] = {
        {"only the first has it", false, u"Docs", {u"Docs"}, {u"Docs"}},
        {"rename in both", true, u"Data", {u"Data"}, {u"Data"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        a->m_locations.m_items.clear();
        b->m_locations.m_items.clear();
        a->m_locations.Add(Location(u"Docs", u"/srv/docs"), false);
        if (c.bHasDocs)
            b->m_locations.Add(Location(u"Docs", u"/srv/docs"), false);
        Select({a, b});
        tree.setCurrentItem(tree.topLevelItem(0));
        seam.AnswerMessage(Answer::Ok).AnswerLocationEditor([&](const CTSAppDataItem& shown) {
            EXPECT_EQ(shown.m_strName, u"Docs");
            CTSAppDataItem edited = shown;
            edited.m_strName = c.newName;
            edited.m_strClientLocation = u"/home/x";
            return std::optional(edited);
        });
        doc.SetModifiedFlag(false);
        tree.OnEditLocation();
        for (auto [entry, names] : {std::pair{a, c.aNames}, std::pair{b, c.bNames}}) {
            std::vector<std::u16string> got;
            for (const CTSAppDataItem& l : entry->m_locations.m_items) {
                got.push_back(l.m_strName);
                EXPECT_EQ(l.m_strClientLocation, u"/home/x");
            }
            EXPECT_EQ(got, names);
        }
        EXPECT_EQ(seam.MessageTexts().back(), note);
        EXPECT_EQ(tree.currentItem()->text(0), QString::fromStdU16String(c.newName));
        EXPECT_EQ(CurrentRow(), 1);  // the last match of the new name
        EXPECT_TRUE(doc.IsModified());
    }
}

TEST_F(LeftViewTest, RenamingOntoANameTheEntryHasAsksAndNoKeepsBoth)
{
    struct Case {
        Answer answer;
        std::vector<std::u16string> names;
        const char16_t* mailFolder;
    };
    const Case cases[] = {
        {Answer::No, {u"Docs", u"Mail"}, u"/srv/mail"},
        {Answer::Yes, {u"Mail"}, u"/srv/docs"},
    };
    for (const Case& c : cases) {
        a->m_locations.m_items.clear();
        a->m_locations.Add(Location(u"Docs", u"/srv/docs"), false);
        a->m_locations.Add(Location(u"Mail", u"/srv/mail"), false);
        Select({a});
        tree.setCurrentItem(tree.topLevelItem(0));
        doc.SetModifiedFlag(false);
        seam.AnswerMessage(c.answer).AnswerLocationEditor([](const CTSAppDataItem& shown) {
            CTSAppDataItem edited = shown;
            edited.m_strName = u"Mail";
            return std::optional(edited);
        });
        tree.OnEditLocation();
        EXPECT_EQ(seam.MessageTexts().back(), "CORP\\a already has a location named Mail. Replace it?");
        EXPECT_EQ(seam.Messages().back().defaultAnswer, Answer::No);
        std::vector<std::u16string> names;
        for (const CTSAppDataItem& l : a->m_locations.m_items)
            names.push_back(l.m_strName);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(a->m_locations.m_items.back().m_strServerLocation, c.mailFolder);
        EXPECT_EQ(doc.IsModified(), c.answer == Answer::Yes);
    }
}

TEST_F(LeftViewTest, EditAndRemoveReportWhatIsMissing)
{
    // Nothing listed: edit says so, remove stays silent.
    Select({a});
    seam.AnswerMessage(Answer::Ok);
    tree.OnEditLocation();
    tree.OnRemoveLocation();
    EXPECT_EQ(seam.MessageTexts(), QStringList{"Error finding item - No item was selected"});
    EXPECT_EQ(seam.Messages().back().owner, &tree);
}

TEST_F(LeftViewTest, ACtrlClickedAwayItemIsNoSelectedLocation)
{
    CTSAppDataItem l = Location(u"Docs", u"/srv/docs");
    l.m_bSyncEnabled = l.m_bServerToClient = l.m_bClientToServer = l.m_bManualTransfer = 1;
    a->m_locations.Add(l, false);
    Select({a});
    tree.show();
    const QPoint at = tree.visualItemRect(tree.topLevelItem(0)).center();
    for (const bool selected : {true, false}) {
        SCOPED_TRACE(selected);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, selected ? Qt::NoModifier : Qt::ControlModifier, at);
        ASSERT_EQ(tree.topLevelItem(0)->isSelected(), selected);
        EXPECT_EQ(tree.currentItem(), tree.topLevelItem(0));
        EXPECT_EQ(tree.GetSelectedLocation() != nullptr, selected);
        for (int id : {ID_EDIT_LOCATION, ID_REMOVE_LOCATION, ID_SEND_TO_CLIENT, ID_SEND_TO_SERVER,
                       ID_LAUNCH_FILE_EXPLORER}) {
            CommandState state;
            doc.OnUpdateCommand(id, state);
            EXPECT_EQ(state.enabled, selected) << id;
        }
    }
    seam.AnswerMessage(Answer::Ok);
    tree.OnEditLocation();
    tree.OnRemoveLocation();
    EXPECT_EQ(seam.MessageTexts(), QStringList{"Error finding item - No item was selected"});
    EXPECT_EQ(a->m_locations.GetSize(), 1u);
}

TEST_F(LeftViewTest, RemoveAsksAndRemovesFromEveryEntryThatHasIt)
{
    a->m_locations.Add(Location(u"Docs"), false);
    Select({a, b});
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::No);
    tree.OnRemoveLocation();
    EXPECT_EQ(a->m_locations.GetSize(), 1u);
    EXPECT_FALSE(doc.IsModified());

    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Yes).AnswerMessage(Answer::Ok);
    tree.OnRemoveLocation();
    EXPECT_EQ(a->m_locations.GetSize(), 0u);
    EXPECT_EQ(seam.MessageTexts().mid(3), (QStringList{"Are You sure you want to delete the selected locations?",
                                                        "Error removing item"}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(tree.topLevelItemCount(), 0);
}

TEST_F(LeftViewTest, TransfersFollowTheLocationsSwitches)
{
    struct Case {
        int sync, toClient, toServer, manual;
        std::vector<bool> enabled;  // send to client, send to server, manual
    };
    const Case cases[] = {
        {0, 1, 1, 1, {false, false, false}},
        {1, 1, 0, 0, {true, false, false}},
        {1, 0, 1, 1, {false, true, true}},
    };
    const int ids[] = {ID_SEND_TO_CLIENT, ID_SEND_TO_SERVER, ID_LAUNCH_FILE_EXPLORER};
    for (const Case& c : cases) {
        a->m_locations.m_items.clear();
        CTSAppDataItem l = Location(u"Docs", u"/srv/docs");
        l.m_strClientLocation = u"/mnt/c";
        l.m_bSyncEnabled = c.sync;
        l.m_bServerToClient = c.toClient;
        l.m_bClientToServer = c.toServer;
        l.m_bManualTransfer = c.manual;
        l.m_nOverwriteMode = 2;
        a->m_locations.Add(l, false);
        Select({a});
        host.calls.clear();
        std::vector<std::string> expected;
        for (int i = 0; i < 3; ++i) {
            CommandState state;
            doc.OnUpdateCommand(ids[i], state);
            EXPECT_EQ(state.enabled, c.enabled[i]) << ids[i];
            doc.OnCommand(ids[i]);
        }
        if (c.enabled[0])
            expected.push_back("transfer /srv/docs /mnt/c 1 2 0");
        if (c.enabled[1])
            expected.push_back("transfer /srv/docs /mnt/c 0 2 0");
        if (c.enabled[2])
            expected.push_back("manual Docs");
        EXPECT_EQ(host.calls, expected);
    }
}

TEST_F(LeftViewTest, ARefusedTransferSaysWhy)
{
    const struct {
        const char16_t *server, *client;
        std::vector<std::string> calls;
        QStringList messages;
    } cases[] = {
        {u"/srv/docs", u"", {"manual Docs"},
         {"Docs: transfer skipped (no client folder).", "Docs: transfer skipped (no client folder)."}},
        {u"", u"/mnt/c", {}, QStringList(3, "Docs: transfer skipped (no server folder).")},
    };
    for (const auto& c : cases) {
        a->m_locations.m_items.clear();
        CTSAppDataItem l = Location(u"Docs", c.server);
        l.m_strClientLocation = c.client;
        l.m_bSyncEnabled = l.m_bServerToClient = l.m_bClientToServer = l.m_bManualTransfer = 1;
        a->m_locations.Add(l, false);
        Select({a});
        host.calls.clear();
        const int before = seam.MessageTexts().size();
        for (int i = 0; i < c.messages.size(); ++i)
            seam.AnswerMessage(Answer::Ok);
        for (int id : {ID_SEND_TO_CLIENT, ID_SEND_TO_SERVER, ID_LAUNCH_FILE_EXPLORER})
            doc.OnCommand(id);
        EXPECT_EQ(host.calls, c.calls);
        EXPECT_EQ(seam.MessageTexts().mid(before), c.messages);
    }
}

TEST_F(LeftViewTest, ClearingTheDocumentEmptiesTheTreeBeforeTheEntriesGo)
{
    a->m_locations.Add(Location(u"Docs"), false);
    doc.RegisterBrowserView(browser);
    Select({a});
    doc.DeleteContents();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_EQ(tree.GetSelectedLocation(), nullptr);
    EXPECT_EQ(browser.calls.back(), "start page");
}

TEST_F(LeftViewTest, PopupIsFoundByCaptionInTheFramesMenu)
{
    QMainWindow frame;
    auto* bar = new QMenuBar;
    bar->addMenu(QStringLiteral("&File"));
    QMenu* locations = bar->addMenu(QStringLiteral("&Locations"));
    frame.setMenuBar(bar);
    tree.setParent(&frame);
    EXPECT_EQ(admin::FindFramePopup(tree, QStringLiteral("&Locations")), locations);
    EXPECT_EQ(admin::FindFramePopup(tree, QStringLiteral("&Users and Groups")), nullptr);
    tree.setParent(nullptr);
}

} // namespace
