#include "browser/folder_model.h"

#include <cerrno>

#include <QIcon>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include "fake_folder_lister.h"
#include "support/test_application.h"

namespace {

using browser::FolderModel;
using namespace browsertest;

class FolderModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        auto fake = std::make_unique<FakeFolderLister>();
        lister = fake.get();
        model = std::make_unique<FolderModel>(std::move(fake));
    }

    // Lists a scripted folder and waits until it is shown.
    void show(const QString& folder, FakeFolderLister::Script script)
    {
        lister->Set(folder, std::move(script));
        model->setFolder(folder);
        ASSERT_TRUE(WaitFor([&] { return !model->isLoading(); }));
    }

    FakeFolderLister* lister = nullptr;
    std::unique_ptr<FolderModel> model;
};

TEST_F(FolderModelTest, BatchesAppearInTheOrderTheyCome)
{
    lister->Set("/big", {{{File("m"), File("z")}, {File("a")}, {File("k")}}, 0, true});
    model->setFolder("/big");
    ASSERT_TRUE(WaitFor([&] { return model->rowCount() == 2; }));
    EXPECT_EQ(Names(*model), QStringList({"m", "z"}));
    EXPECT_TRUE(model->isLoading());
    lister->Release();
    ASSERT_TRUE(WaitFor([&] { return model->rowCount() == 3; }));
    EXPECT_EQ(Names(*model), QStringList({"m", "z", "a"}));
    lister->Release();
    // Once all are there they are sorted.
    ASSERT_TRUE(WaitFor([&] { return Names(*model) == QStringList({"a", "k", "m", "z"}); }));
    EXPECT_FALSE(model->isLoading());
}

TEST_F(FolderModelTest, SmallFolderArrivesSortedAtOnce)
{
    int inserted = 0;
    QObject::connect(model.get(), &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    show("/small", {{{File("b"), Dir("z")}, {File("a")}}});
    EXPECT_EQ(Names(*model), QStringList({"z", "a", "b"}));
    EXPECT_EQ(inserted, 1);
}

struct SortCase {
    int column;
    Qt::SortOrder order;
    QStringList expected;
};

TEST_F(FolderModelTest, SortsByEachColumnBothWaysWithFoldersFirst)
{
    show("/mixed", {{{File("file10.txt", 5, 3000), File("Zeta.png", 1, 2000), Dir("b-dir", 8000)},
                     {File("alpha.md", 20, 4000), File("file2.txt", 50, 1000), Dir("A-dir", 9000)}}});
    const SortCase cases[] = {
        {FolderModel::NameColumn, Qt::AscendingOrder, {"A-dir", "b-dir", "alpha.md", "file2.txt", "file10.txt", "Zeta.png"}},
        {FolderModel::NameColumn, Qt::DescendingOrder, {"b-dir", "A-dir", "Zeta.png", "file10.txt", "file2.txt", "alpha.md"}},
        {FolderModel::SizeColumn, Qt::AscendingOrder, {"A-dir", "b-dir", "Zeta.png", "file10.txt", "alpha.md", "file2.txt"}},
        {FolderModel::SizeColumn, Qt::DescendingOrder, {"b-dir", "A-dir", "file2.txt", "alpha.md", "file10.txt", "Zeta.png"}},
        // Markdown document, plain text document, PNG image.
        {FolderModel::TypeColumn, Qt::AscendingOrder, {"A-dir", "b-dir", "alpha.md", "file2.txt", "file10.txt", "Zeta.png"}},
        {FolderModel::TypeColumn, Qt::DescendingOrder, {"b-dir", "A-dir", "Zeta.png", "file10.txt", "file2.txt", "alpha.md"}},
        {FolderModel::ModifiedColumn, Qt::AscendingOrder, {"b-dir", "A-dir", "file2.txt", "Zeta.png", "file10.txt", "alpha.md"}},
        {FolderModel::ModifiedColumn, Qt::DescendingOrder, {"A-dir", "b-dir", "alpha.md", "file10.txt", "Zeta.png", "file2.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " order " << c.order);
        const QPersistentModelIndex held = model->indexOfName("file2.txt");
        model->sort(c.column, c.order);
        ASSERT_TRUE(WaitFor([&] { return Names(*model) == c.expected; })) << Names(*model).join(' ').toStdString();
        EXPECT_EQ(held.data().toString(), "file2.txt");
    }
}

TEST_F(FolderModelTest, NewFolderAbandonsAHangingListing)
{
    lister->Set("/dead-share", {{{File("stale")}}, 0, false, true});
    model->setFolder("/dead-share");
    ASSERT_TRUE(WaitFor([&] { return model->rowCount() == 1; }));
    show("/home", {{{File("fresh")}}});
    EXPECT_EQ(Names(*model), QStringList({"fresh"}));
    EXPECT_TRUE(WaitFor([&] { return lister->SawCancel(); }));
    EXPECT_EQ(model->folder(), "/home");
}

struct FailCase {
    const char* name;
    FakeFolderLister::Script script;
    int expected;
};

TEST_F(FolderModelTest, FailureCarriesTheErrorAndLeavesNoRows)
{
    const FailCase cases[] = {
        {"denied", {{}, EACCES}, EACCES},
        {"vanished midway", {{{File("a")}}, EIO}, EIO},
        {"unknown", {}, ENOENT},   // the fake knows no such folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = QString("/fail/") + c.name;
        if (c.expected != ENOENT)
            lister->Set(folder, c.script);
        std::vector<std::pair<int, QString>> failed;
        auto connection = QObject::connect(model.get(), &FolderModel::loadFailed,
                                           [&](int e, const QString& f) { failed.emplace_back(e, f); });
        model->setFolder(folder);
        ASSERT_TRUE(WaitFor([&] { return failed.size() == 1; }));
        QObject::disconnect(connection);
        EXPECT_EQ(failed[0], std::make_pair(c.expected, folder));
        EXPECT_EQ(model->rowCount(), 0);
        EXPECT_FALSE(model->isLoading());
    }
}

TEST_F(FolderModelTest, RefreshAppliesOnlyTheChanges)
{
    show("/r", {{{File("a", 1), File("c", 1), File("d", 1)}}});
    const QPersistentModelIndex kept = model->indexOfName("d");
    lister->Set("/r", {{{File("d", 7), File("b", 1), File("c", 1)}}});
    int reset = 0;
    QObject::connect(model.get(), &QAbstractItemModel::modelReset, [&] { ++reset; });
    model->refresh();
    ASSERT_TRUE(WaitFor([&] { return Names(*model) == QStringList({"b", "c", "d"}); }));
    EXPECT_EQ(reset, 0);
    EXPECT_EQ(kept.row(), 2);
    EXPECT_EQ(model->index(2, FolderModel::SizeColumn).data().toString(), "1 KB");
}

TEST_F(FolderModelTest, ARowThatChangesMovesToItsPlace)
{
    show("/s", {{{File("a", 1), File("b", 2), File("c", 3)}}});
    model->sort(FolderModel::SizeColumn, Qt::AscendingOrder);
    lister->Set("/s", {{{File("a", 9), File("b", 2), File("c", 3)}}});
    model->refresh();
    EXPECT_TRUE(WaitFor([&] { return Names(*model) == QStringList({"b", "c", "a"}); }));
}

TEST_F(FolderModelTest, RolesDescribeTheRow)
{
    show("/d", {{{File("a.txt", 1025), Dir("sub")}}});
    const QModelIndex file = model->indexOfName("a.txt");
    const QModelIndex sub = model->indexOfName("sub");
    const struct {
        QModelIndex index;
        int role;
        QVariant expected;
    } cases[] = {
        {file, FolderModel::FilePathRole, "/d/a.txt"},
        {file, FolderModel::IsDirRole, false},
        {sub, FolderModel::IsDirRole, true},
        {file, FolderModel::MimeTypeRole, "text/plain"},
        {sub, FolderModel::MimeTypeRole, "inode/directory"},
        {model->index(file.row(), FolderModel::SizeColumn), Qt::DisplayRole, "2 KB"},
        {model->index(sub.row(), FolderModel::SizeColumn), Qt::DisplayRole, ""},
        {file, FolderModel::PreviewRole, QVariant()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.index.data(c.role), c.expected) << c.index.row() << " role " << c.role;
    EXPECT_FALSE(file.data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(model->headerData(FolderModel::ModifiedColumn, Qt::Horizontal).toString(), "Date Modified");
}

TEST_F(FolderModelTest, HiddenEntriesShowOnlyWhenAsked)
{
    show("/h", {{{File(".profile"), File("visible"), Dir(".cache")}}});
    EXPECT_EQ(Names(*model), QStringList({"visible"}));
    model->setShowHidden(true);
    EXPECT_TRUE(WaitFor([&] { return Names(*model) == QStringList({".cache", ".profile", "visible"}); }));
}

TEST_F(FolderModelTest, FoldersTakeDropsAndDragsCarryFileUrls)
{
    show("/d", {{{File("a.txt"), Dir("sub")}}});
    const QModelIndex sub = model->indexOfName("sub");
    const QModelIndex file = model->indexOfName("a.txt");
    EXPECT_TRUE(model->flags(sub) & Qt::ItemIsDropEnabled);
    EXPECT_FALSE(model->flags(file) & Qt::ItemIsDropEnabled);
    EXPECT_TRUE(model->flags(file) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->flags(model->index(file.row(), FolderModel::SizeColumn)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->flags({}) & Qt::ItemIsDropEnabled);
    std::unique_ptr<QMimeData> data(model->mimeData({file, model->index(file.row(), 1), sub}));
    EXPECT_EQ(data->urls(), QList<QUrl>({QUrl::fromLocalFile("/d/a.txt"), QUrl::fromLocalFile("/d/sub")}));
}

TEST_F(FolderModelTest, EditingANameAsksTheViewToRename)
{
    show("/e", {{{File("old")}}});
    QStringList asked;
    QObject::connect(model.get(), &FolderModel::renameRequested,
                     [&](const QModelIndex&, const QString& name) { asked << name; });
    EXPECT_FALSE(model->setData(model->indexOfName("old"), "new"));
    EXPECT_EQ(asked, QStringList({"new"}));
    EXPECT_EQ(Names(*model), QStringList({"old"}));
}

} // namespace
