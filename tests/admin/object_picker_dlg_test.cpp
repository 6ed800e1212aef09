#include <QAbstractItemModel>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

#include "admin/account_images.h"
#include "admin/object_picker_dlg.h"
#include "support/fake_account_services.h"
#include "support/test_application.h"

// Readable failures for the texts compared below.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using Kind = platform::AccountRecord::Kind;
using accounts::SelectionValue;

class ObjectPickerDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        directory.accounts = {{Kind::Group, "staff", "SERVER1", "", 50},
                            {Kind::User, "anna", "SERVER1", "Anna Berg", 1000},
                            {Kind::User, "Bob", "CORP", "", 1001},
                            {Kind::Group, "anna", "SERVER1", "", 1000}};
        directory.unlisted = {{Kind::User, "ghost", "CORP", "", 5000}};
        dlg = std::make_unique<CObjectPickerDlg>(directory);
        dlg->Picker().Init(accounts::CObjectPicker::kModeUsersAndGroups);
        QSignalSpy listing(dlg.get(), &CObjectPickerDlg::listingShown);
        dlg->show();
        ASSERT_TRUE(listing.wait(10000));
    }

    QTreeView* List() { return dlg->findChild<QTreeView*>("list"); }
    QString Status() { return dlg->findChild<QLabel*>("status")->text(); }
    QString Cell(int row, int column) { return List()->model()->index(row, column).data().toString(); }

    QStringList Rows()
    {
        QStringList rows;
        for (int row = 0; row < List()->model()->rowCount(); ++row)
            rows << Cell(row, 3) + "\\" + Cell(row, 0) + " " + Cell(row, 1);
        return rows;
    }

    // Types the text and waits for its lookup to be shown; nothing is
    // looked up for an empty text.
    void Type(const QString& text)
    {
        QSignalSpy lookup(dlg.get(), &CObjectPickerDlg::lookupShown);
        dlg->findChild<QLineEdit*>("search")->setText(text);
        ASSERT_TRUE(text.isEmpty() || lookup.wait(10000));
    }

    void SelectRows(std::initializer_list<int> rows)
    {
        for (int row : rows)
            List()->selectionModel()->select(List()->model()->index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    accounts::FakeAccountServices directory;
    std::unique_ptr<CObjectPickerDlg> dlg;
};

TEST_F(ObjectPickerDlgTest, ListsEveryAccountByNameWithItsTypeAndImage)
{
    EXPECT_EQ(Rows(), (QStringList{"SERVER1\\anna User", "SERVER1\\anna Group", "CORP\\Bob User",
                                   "SERVER1\\staff Group"}));
    EXPECT_EQ(Cell(0, 2), "Anna Berg");
    EXPECT_EQ(List()->model()->index(1, 0).data(Qt::DecorationRole).value<QPixmap>().toImage(),
              admin::AccountImage(true).toImage());
    EXPECT_EQ(Status(), "4 users and groups.");
}

// Typing narrows the list to names and descriptions that hold the text; a
// name typed in full is looked up directly, and shows even when unlisted.
TEST_F(ObjectPickerDlgTest, TypingFiltersAndLooksTheNameUp)
{
    struct Case {
        QString text;
        QStringList rows;
        QString status;
    };
    const Case cases[] = {
        {"ANN", {"SERVER1\\anna User", "SERVER1\\anna Group"}, "2 users and groups."},
        {"berg", {"SERVER1\\anna User"}, "1 user or group."},
        {"corp\\", {"CORP\\Bob User"}, "1 user or group."},
        {"staff", {"SERVER1\\staff Group"}, "1 user or group."},
        {"CORP\\ghost", {"CORP\\ghost User"}, "1 user or group."},
        {"nobody", {}, "No user or group named \"nobody\" was found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Type(c.text);
        EXPECT_EQ(Rows(), c.rows);
        EXPECT_EQ(Status(), c.status);
    }
}

// With nothing selected OK takes what the typed name designates, the user
// before a group of the same name; an unknown name keeps the dialog open
// and says so, even while the list shows names that hold it.
TEST_F(ObjectPickerDlgTest, OkWithoutSelectionTakesTheOneObjectTheNameDesignates)
{
    struct Case {
        QString text;
        bool accepted;
        QString chosen;  // DomainName\Name Class
        QString status;
    };
    const Case cases[] = {
        {"CORP\\ghost", true, "CORP\\ghost user", ""},
        {"staff", true, "SERVER1\\staff group", ""},
        {"ann", false, "", "No user or group named \"ann\" was found."},
        {"anna", true, "SERVER1\\anna user", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        dlg->setResult(QDialog::Rejected);
        Type(c.text);
        dlg->accept();
        EXPECT_EQ(dlg->result() == QDialog::Accepted, c.accepted);
        if (c.accepted) {
            ASSERT_EQ(dlg->Selections().size(), 1u);
            const auto& map = dlg->Selections()[0];
            EXPECT_EQ(QString::fromStdU16String(SelectionValue(map, u"DomainName") + u"\\" + SelectionValue(map, u"Name") +
                                                u" " + SelectionValue(map, u"Class")),
                      c.chosen);
        } else {
            EXPECT_EQ(Status(), c.status);
        }
    }
}

TEST_F(ObjectPickerDlgTest, OkNeedsASelectionOrATypedName)
{
    auto* ok = dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    const struct {
        QString text;
        int row;  // -1: none selected
        bool enabled;
    } cases[] = {{"", -1, false}, {"  ", -1, false}, {"x", -1, true}, {"", 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        List()->selectionModel()->clearSelection();
        dlg->findChild<QLineEdit*>("search")->setText(c.text);
        if (c.row >= 0)
            SelectRows({c.row});
        EXPECT_EQ(ok->isEnabled(), c.enabled);
    }
    List()->selectionModel()->clearSelection();
    dlg->accept();  // as Enter or a double click would, with nothing chosen
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
}

TEST_F(ObjectPickerDlgTest, SelectedRowsBecomeTheSelectionsInRowOrder)
{
    SelectRows({3, 0});
    EXPECT_EQ(Status(), "2 of 4 selected.");
    dlg->accept();
    ASSERT_EQ(dlg->result(), QDialog::Accepted);
    ASSERT_EQ(dlg->Selections().size(), 2u);
    EXPECT_EQ(SelectionValue(dlg->Selections()[0], u"Name"), u"anna");
    EXPECT_EQ(SelectionValue(dlg->Selections()[0], u"Description"), u"Anna Berg");
    EXPECT_EQ(SelectionValue(dlg->Selections()[0], u"objectSID"), u"S-1-22-1-1000");
    EXPECT_EQ(SelectionValue(dlg->Selections()[1], u"ADPath"), u"WinNT://SERVER1/staff");
}

TEST_F(ObjectPickerDlgTest, TheSelectionOutlastsTyping)
{
    SelectRows({2});
    Type("b");
    Type("");
    ASSERT_EQ(List()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(List()->selectionModel()->selectedRows()[0].row(), 2);
}

TEST_F(ObjectPickerDlgTest, KeyboardGoesFromTheNameIntoTheListAndOk)
{
    QLineEdit* search = dlg->findChild<QLineEdit*>("search");
    dlg->activateWindow();
    search->setFocus();
    Type("Bob");
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_TRUE(List()->hasFocus());
    QTest::keyClick(List(), Qt::Key_Return);
    ASSERT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SelectionValue(dlg->Selections().at(0), u"Name"), u"Bob");
}

// A directory that is slow to list must not hold up closing the dialog;
// the listing that arrives later goes nowhere.
TEST(ObjectPickerDlg, ClosingWhileTheListingRunsIsSafe)
{
    testsupport::TestApplication();
    // Outlives the listing's thread, which is let go.
    static std::atomic<bool> hold;
    hold = true;
    static accounts::FakeAccountServices directory;
    directory.accounts = {{Kind::User, "anna", "SERVER1", "", 1000}};
    directory.whileListing = [] {
        while (hold)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    auto dlg = std::make_unique<CObjectPickerDlg>(directory);
    dlg->show();
    EXPECT_EQ(dlg->findChild<QLabel*>("status")->text(), "Listing users and groups... 0 shown.");
    dlg.reset();
    hold = false;
    QCoreApplication::processEvents();
}

} // namespace
