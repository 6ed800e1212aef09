#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include "browser/common_tasks_setting.h"
#include "browser/file_clipboard.h"
#include "browser/folder_model.h"
#include "browser/folder_views.h"
#include "browser/quillon_view.h"
#include "browser/start_page.h"
#include "browser/task_pane.h"
#include "browser/thumbstrip_preview.h"
#include "browser/view_test_support.h"
#include "gate.h"
#include "document/document_fakes.h"
#include "document/quillon_doc.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "platform/environment.h"
#include "platform/mounts.h"
#include "support/fake_account_services.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

using namespace browser;
using namespace browsertest;
using framework::Answer;
using framework::ID_GO_BACK;
using framework::ID_GO_HOME;
using framework::ID_HELP;
using framework::ID_REFRESH;
using framework::ID_STOP;

namespace {

// The user's settings of this test process stay in its scratch folder.
const bool kSettingsInScratch = [] {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Scratch("settings"));
    return true;
}();

QString Q(const std::u16string& s)
{
    return QString::fromStdU16String(s);
}

class QuillonViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = Scratch("view-root");
        Write(root + "/a.txt", "A");
        Write(root + "/sub/b.txt", "B");
        QDir().mkpath(root + "/sub/deeper");
        location.m_strName = u"Docs";
        location.m_strServerLocation = root.toStdU16String();
        doc.RegisterLocationsView(tree);
        router.SetDocument(&doc);
        router.SetActiveView(&view);
        view.OnInitialUpdate();
        view.resize(640, 480);
    }

    void Select(const QString& rootPath = {})
    {
        tree.selected = &location;
        view.SetRootPath(rootPath.isEmpty() ? Q(location.m_strServerLocation) : rootPath);
        Go(Q(location.m_strServerLocation));
    }
    void Go(const QString& address)
    {
        view.NavigateTo(address);
        Settle();
    }
    // Until the view and its examiner are idle and what the examiner answered has arrived.
    void Settle()
    {
        EXPECT_TRUE(WaitUntil([&] { return !view.isBusy() && view.model().examiner().idle(); }));
        QCoreApplication::processEvents();
    }
    QModelIndex Row(const QString& name) const { return view.model().indexOfName(name); }
    // sub shows the hung share's note; once the share answers, Refresh lists it again.
    void ExpectHungNoteThenRecovery()
    {
        EXPECT_EQ(view.views().decor().placeholder(),
                  QString("The folder %1/sub cannot be shown.\nConnection timed out\n"
                          "The share it lies on does not answer; press Refresh to try again.").arg(root));
        share.Open();
        const QString mount = QString::fromStdString(platform::MountPointOf(root.toStdString()));
        ASSERT_TRUE(WaitUntil([&] { return !view.model().examiner().hangsOn(mount); }));
        view.Refresh();
        Settle();
        EXPECT_TRUE(Row("b.txt").isValid());
    }
    QAbstractItemView* Active() const { return view.views().activeView(); }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(Active(), &press);
        Settle();
    }

    QApplication& app = testsupport::TestApplication();
    testsupport::ScriptedModalSeam seam;
    doctest::FakeHost host;
    accounts::FakeAccountServices accounts = accounts::FakeAccountServices::Local("SERVER1", "anna", {});
    CQuillonDoc doc{seam, host, accounts};
    framework::CommandRouter router;
    doctest::FakeTree tree;
    std::vector<QUrl> opened;
    Gate share;       // what lies below `hanging` waits on it, as on a dead share
    QString hanging;  // empty: nothing hangs
    FakeClock clock;  // still unless a test moves it: nothing counts as hung
    CQuillonView view{doc, router, nullptr,
                      ViewServices{[this](const QUrl& url) { opened.push_back(url); }, [](const QString&) { return false; },
                                   [this](const std::string& path) {
                                       if (!hanging.isEmpty() && QString::fromStdString(path).startsWith(hanging))
                                           share.Pass();
                                       return platform::GetPathAttributes(path);
                                   },
                                   {.hangAfter = std::chrono::seconds(1), .maxAbandoned = 3, .now = clock.Now()}}};
    CTSAppDataItem location;
    QString root;
};

} // namespace

TEST_F(QuillonViewTest, StartsOnThePageTitledNadaAndReturnsToItWithoutHistory)
{
    EXPECT_TRUE(view.isShowingStartPage());
    auto* page = view.findChild<StartPage*>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->windowTitle(), "Nada");
    EXPECT_EQ(StartPage::title(), "Quillon");
    EXPECT_EQ(doc.m_pBrowserView, &view);
    Select();
    Go(root + "/sub");
    EXPECT_FALSE(view.isShowingStartPage());
    view.ShowStartPage();
    EXPECT_TRUE(view.isShowingStartPage());
    EXPECT_FALSE(view.CanGoBack());
    EXPECT_EQ(view.model().rowCount(), 0);
}

TEST_F(QuillonViewTest, TheRootIsRecognisedWithATrailingSeparatorOrOtherLetterCase)
{
    const struct {
        QString rootSet;
        QString shown;
        bool atRoot;
    } cases[] = {
        {root + "/", root, true},
        {root.toUpper(), root, true},
        {root, root + "/sub/", false},
    };
    for (const auto& c : cases) {
        Select(c.rootSet);
        Go(c.shown);
        EXPECT_EQ(view.isAtRoot(), c.atRoot) << c.rootSet.toStdString() << " " << c.shown.toStdString();
    }
}

TEST_F(QuillonViewTest, BackStopsAtTheRootAndUpNeverLeavesIt)
{
    Select();
    EXPECT_FALSE(router.QueryState(ID_GO_BACK).enabled);
    Go(root + "/sub");
    Go(root + "/sub/deeper");
    EXPECT_TRUE(router.QueryState(ID_GO_BACK).enabled);
    const struct {
        const char* step;
        std::function<void()> act;
        QString folder;
        bool back, forward;
    } steps[] = {
        {"Alt+Left", [&] { Key(Qt::Key_Left, Qt::AltModifier); }, root + "/sub", true, true},
        {"Back", [&] { view.GoBack(); Settle(); }, root, false, true},
        {"Back at the root", [&] { view.GoBack(); Settle(); }, root, false, true},
        {"Backspace at the root", [&] { Key(Qt::Key_Backspace); }, root, false, true},
        {"Alt+Up at the root", [&] { Key(Qt::Key_Up, Qt::AltModifier); }, root, false, true},
        {"Forward", [&] { view.GoForward(); Settle(); }, root + "/sub", true, true},
        {"Backspace", [&] { Key(Qt::Key_Backspace); }, root, false, false},
        {"Home", [&] { Go(root + "/sub/deeper"); router.Execute(ID_GO_HOME); Settle(); }, root, false, false},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(view.currentFolder(), s.folder) << s.step;
        EXPECT_EQ(view.CanGoBack(), s.back) << s.step;
        EXPECT_EQ(view.CanGoForward(), s.forward) << s.step;
    }
    Go(root + "/sub");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(view.views().currentRow(), Row("sub"));  // the folder left is selected
}

TEST_F(QuillonViewTest, FoldersNavigateAndFilesOpenWithTheirProgram)
{
    platform::SetEnvVar("QUILLON_TEST_ROOT", root.toStdString());
    QDir().mkpath(root + "/%QUILLON_TEST_ROOT%");
    location.m_bExpandEnvironment = 1;
    Select();
    const struct {
        const char* how;
        QString name;
        std::function<void(const QModelIndex&)> activate;
        QString folder;
        int opened;
    } cases[] = {
        {"double click on a folder", "sub", [&](const QModelIndex& i) { emit Active()->activated(i); }, root + "/sub", 0},
        {"Enter on a file", "a.txt", [&](const QModelIndex& i) { Active()->setCurrentIndex(i); Key(Qt::Key_Return); },
         root, 1},
        {"a file's path", "", [&](const QModelIndex&) { Go(root + "/sub/b.txt"); }, root, 2},
        {"a name is not expanded", "%QUILLON_TEST_ROOT%", [&](const QModelIndex& i) { view.activateRow(i); },
         root + "/%QUILLON_TEST_ROOT%", 2},
    };
    for (const auto& c : cases) {
        Go(root);
        c.activate(Row(c.name));
        Settle();
        EXPECT_EQ(view.currentFolder(), c.folder) << c.how;
        EXPECT_EQ(int(opened.size()), c.opened) << c.how;
    }
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(root + "/a.txt"));
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(root + "/sub/b.txt"));
    EXPECT_TRUE(seam.MessageTexts().isEmpty());
}

TEST_F(QuillonViewTest, AnUnreachableFolderIsReportedAndShownEmpty)
{
    Select();
    ASSERT_GT(view.model().rowCount(), 0);
    seam.AnswerMessage(Answer::Ok);
    Go(root + "/gone");
    EXPECT_EQ(seam.MessageTexts(),
              QStringList{QString("Error(2) accessing file/directory %1/gone\nNo such file or directory").arg(root)});
    EXPECT_EQ(seam.Messages().at(0).owner, &view);
    EXPECT_EQ(view.model().rowCount(), 0);
    EXPECT_EQ(view.views().decor().placeholder(),
              QString("The folder %1/gone cannot be shown.\nNo such file or directory").arg(root));
    EXPECT_TRUE(view.CanGoBack());
    view.GoBack();
    Settle();
    EXPECT_GT(view.model().rowCount(), 0);
    EXPECT_TRUE(view.views().decor().placeholder().isEmpty());
}

TEST_F(QuillonViewTest, ClicksOnAShareThatHangsAddNoThreadAndEndInANote)
{
    Select();
    hanging = root + "/sub";
    for (int click = 0; click < 10; ++click)
        view.NavigateTo(root + "/sub");
    ASSERT_TRUE(WaitUntil([&] { return share.Inside() == 1; }));
    EXPECT_TRUE(view.isBusy());
    EXPECT_EQ(view.model().examiner().threadsStarted(), 1);
    // Once the examiner counts as hung, a click on its share is refused.
    clock.Advance(std::chrono::seconds(1));
    seam.AnswerMessage(Answer::Ok);
    Go(root + "/sub");
    EXPECT_EQ(share.Inside(), 1);
    EXPECT_EQ(view.model().examiner().threadsStarted(), 1);
    EXPECT_EQ(seam.MessageTexts(),
              QStringList{QString("Error(110) accessing file/directory %1/sub\nConnection timed out").arg(root)});
    ExpectHungNoteThenRecovery();
}

TEST_F(QuillonViewTest, RefreshesOnAShareThatHangsAddNoThreadAndEndInANote)
{
    Select();
    Go(root + "/sub");
    hanging = root + "/sub";
    for (int click = 0; click < 5; ++click)
        view.Refresh();
    ASSERT_TRUE(WaitUntil([&] { return share.Inside() == 1; }));
    clock.Advance(std::chrono::seconds(1));
    view.Refresh();
    Settle();
    EXPECT_EQ(view.model().examiner().threadsStarted(), 1);
    EXPECT_TRUE(seam.MessageTexts().isEmpty());
    ExpectHungNoteThenRecovery();
}

TEST_F(QuillonViewTest, ARelativeServerFolderIsRefusedAsAMissingOne)
{
    const QString was = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));  // where "sub" would be found
    tree.selected = &location;
    for (const char16_t* folder : {u"sub", u"./sub"}) {
        location.m_strServerLocation = folder;
        seam.AnswerMessage(Answer::Ok);
        view.SetRootPath(Q(folder));
        Go(Q(folder));
        EXPECT_EQ(seam.MessageTexts().back(),
                  QString("Error(2) accessing file/directory %1\nNo such file or directory").arg(Q(folder)));
        EXPECT_EQ(view.model().rowCount(), 0);
        EXPECT_EQ(view.views().decor().placeholder(),
                  QString("The folder %1 cannot be shown.\nNo such file or directory").arg(Q(folder)));
    }
    QDir::setCurrent(was);
}

TEST_F(QuillonViewTest, EnvironmentReferencesAreExpandedOnlyWhenTheLocationAsks)
{
    platform::SetEnvVar("QUILLON_TEST_ROOT", root.toStdString());
    location.m_strServerLocation = u"%QUILLON_TEST_ROOT%";
    location.m_bExpandEnvironment = 1;
    Select();
    EXPECT_EQ(view.currentFolder(), root);
    EXPECT_TRUE(view.isAtRoot());
    location.m_bExpandEnvironment = 0;
    seam.AnswerMessage(Answer::Ok);
    Select();
    EXPECT_EQ(view.currentFolder(), "%QUILLON_TEST_ROOT%");
    EXPECT_EQ(seam.MessageTexts().size(), 1);
}

TEST_F(QuillonViewTest, WebAndFileLocationsAreHandedOverOnceAndShowTheEmptyFolderWithANote)
{
    const struct {
        QString server;
        QUrl url;
        QString note;
    } cases[] = {
        {"https://intranet.example/docs", QUrl("https://intranet.example/docs"),
         "https://intranet.example/docs has been opened with the desktop's default program."},
        {root + "/a.txt", QUrl::fromLocalFile(root + "/a.txt"),
         root + "/a.txt is a file, not a folder, so there is nothing to list."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        location.m_strServerLocation = root.toStdU16String();
        Select();
        ASSERT_GT(view.model().rowCount(), 0);  // another location's listing first
        opened.clear();
        location.m_strServerLocation = c.server.toStdU16String();
        Select();
        Select();  // the tree points at it again after a change of the document
        ASSERT_EQ(opened, std::vector<QUrl>{c.url});
        EXPECT_FALSE(view.isShowingStartPage());
        EXPECT_EQ(view.model().rowCount(), 0);
        EXPECT_EQ(view.views().decor().placeholder(), c.note);
        view.Refresh();
        Settle();
        EXPECT_EQ(opened.size(), 2u);
        router.Execute(ID_GO_HOME);
        Settle();
        EXPECT_EQ(opened.size(), 3u);
    }
    EXPECT_TRUE(seam.MessageTexts().isEmpty());
}

TEST_F(QuillonViewTest, InputPassesOrIsSwallowedByFaceAndLocation)
{
    Select();
    const struct {
        bool location, admin, allows;
        bool ctrlASelects, downMoves, menuShown;
    } cases[] = {
        {true, false, false, false, true, false},
        {true, false, true, true, true, true},
        {true, true, false, true, true, true},
        {false, true, true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.location << c.admin << c.allows);
        tree.selected = c.location ? &location : nullptr;
        host.administratorView = c.admin;
        location.m_bRightMouseButton = c.allows;
        Active()->clearSelection();
        Active()->setCurrentIndex(view.model().index(0, 0));
        Key(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(view.views().selectedCount() == view.model().rowCount(), c.ctrlASelects);
        Key(Qt::Key_Down);
        EXPECT_EQ(Active()->currentIndex().row() == 1, c.downMoves);
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(5, 5), Active()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(Active(), &menu);
        QMenu* shown = view.findChild<QMenu*>();
        EXPECT_EQ(shown != nullptr, c.menuShown);
        delete shown;
    }
}

TEST_F(QuillonViewTest, EachViewStyleShapesItsView)
{
    const struct {
        int style;
        const char* view;
        QListView::ViewMode mode;
        QListView::Flow flow;
        bool wrapping;
        int icon;
        FolderDelegate::Mode delegate;
    } cases[] = {
        {1, "folderList", QListView::IconMode, QListView::LeftToRight, true, 48, FolderDelegate::Mode::Plain},
        {2, "folderList", QListView::ListMode, QListView::LeftToRight, true, 16, FolderDelegate::Mode::Plain},
        {3, "folderList", QListView::ListMode, QListView::TopToBottom, true, 16, FolderDelegate::Mode::Plain},
        {5, "folderList", QListView::IconMode, QListView::LeftToRight, true, 96, FolderDelegate::Mode::Thumbnail},
        {6, "folderList", QListView::IconMode, QListView::LeftToRight, true, 48, FolderDelegate::Mode::Tile},
        {7, "thumbstrip", QListView::IconMode, QListView::LeftToRight, false, 96, FolderDelegate::Mode::Thumbnail},
        {-1, "thumbstrip", QListView::IconMode, QListView::LeftToRight, false, 96, FolderDelegate::Mode::Thumbnail},
    };
    Select();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        location.m_visualOptions.m_nViewStyle = c.style;
        view.Refresh();
        Go(root);
        auto* list = qobject_cast<QListView*>(Active());
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->objectName(), c.view);
        EXPECT_EQ(list->viewMode(), c.mode);
        EXPECT_EQ(list->flow(), c.flow);
        EXPECT_EQ(list->isWrapping(), c.wrapping);
        EXPECT_EQ(list->iconSize(), QSize(c.icon, c.icon));
        EXPECT_EQ(static_cast<FolderDelegate*>(list->itemDelegate())->getMode(), c.delegate);
        EXPECT_TRUE(list->uniformItemSizes());
        EXPECT_EQ(list->model(), &view.model());
    }
    location.m_visualOptions.m_nViewStyle = 4;
    Go(root);
    auto* details = qobject_cast<QTreeView*>(Active());
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->isSortingEnabled());
    EXPECT_EQ(details->model()->columnCount(), 4);
    EXPECT_EQ(view.views().listView()->model() == &view.model(), false);  // hidden views let go of the model
}

TEST_F(QuillonViewTest, ThumbstripShowsTheSelectedImageLarge)
{
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    picture.save(root + "/photo.png");
    location.m_visualOptions.m_nViewStyle = 7;
    Select();
    ThumbstripPreview* preview = view.views().stripPreview();
    EXPECT_EQ(preview->shownPath(), view.model().filePath(view.model().index(0, 0)));  // never blank
    view.views().selectRow(Row("photo.png"));
    EXPECT_EQ(preview->shownPath(), root + "/photo.png");
    EXPECT_TRUE(WaitUntil([&] { return preview->hasImage(); }));
}

TEST_F(QuillonViewTest, EachImageStylePlacesTheBackground)
{
    const QRect area(0, 0, 200, 100);
    const struct {
        int style;
        bool draw, tiled;
        QPoint origin;
    } placements[] = {
        {0, true, false, {0, 0}}, {16, true, true, {0, 0}}, {1, true, false, {80, 35}},
        {17, true, true, {0, 0}}, {-1, false, false, {0, 0}},
    };
    for (const auto& p : placements) {
        const BackgroundPlacement got = placeBackground(p.style, QSize(40, 30), area);
        EXPECT_EQ(got.draw, p.draw) << p.style;
        EXPECT_EQ(got.tiled, p.tiled) << p.style;
        EXPECT_EQ(got.origin, p.origin) << p.style;
    }
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString images = Scratch("images");
    const QString image = images + "/bg.png";
    picture.save(image);
    Write(images + "/broken.png", "not an image");
    const struct {
        QString path;
        int style;
        int shownStyle;
    } cases[] = {
        {image, 16, 16}, {image, 1, 1}, {image, 0, 0}, {image, -1, -1}, {images + "/broken.png", 0, -1},
    };
    Select();
    for (const auto& c : cases) {
        location.m_visualOptions.m_strImagePath = c.path.toStdU16String();
        location.m_visualOptions.m_nImageStyle = c.style;
        Go(root);
        const ViewDecor& decor = view.views().decor();
        EXPECT_TRUE(WaitUntil([&] { return decor.imageStyle() == c.shownStyle; })) << c.style;
        EXPECT_EQ(decor.hasImage(), c.shownStyle != -1);
    }
    EXPECT_TRUE(seam.MessageTexts().isEmpty());
}

TEST_F(QuillonViewTest, TheCommonTasksSettingFollowsTheLocationBeforeEachNavigation)
{
    const struct {
        bool stored;
        bool hasLocation;
        bool locationShows;
        bool shown;
    } cases[] = {
        {false, true, true, true},
        {true, true, false, false},
        {true, false, false, true},  // no location: the user's own setting stays
        {false, false, true, false},
    };
    view.SetRootPath(root);  // without a location the root bounds the view
    for (const auto& c : cases) {
        writeShowCommonTasks(c.stored);
        location.m_visualOptions.m_bShowCommonTasks = c.locationShows;
        tree.selected = c.hasLocation ? &location : nullptr;
        Go(root + "/sub");
        EXPECT_EQ(readShowCommonTasks(), c.shown);
        EXPECT_EQ(view.tasks().isVisibleTo(&view), c.shown);
    }
    EXPECT_EQ(view.tasks().folderName(), "sub");
    view.views().selectRow(Row("b.txt"));
    EXPECT_TRUE(view.tasks().button(TaskPane::Task::Rename)->isEnabled());
    view.views().activeView()->clearSelection();
    EXPECT_FALSE(view.tasks().button(TaskPane::Task::Delete)->isEnabled());
}

TEST_F(QuillonViewTest, FileOperationsFromTheViewReportFailuresAndShowResults)
{
    location.m_bRightMouseButton = 1;  // Ctrl+X and Ctrl+V allowed
    Select();
    // Rename onto a taken name: told, both kept.
    view.model().setData(Row("a.txt"), "sub", Qt::EditRole);
    seam.AnswerMessage(Answer::Ok);
    EXPECT_TRUE(WaitUntil([&] { return !seam.MessageTexts().isEmpty(); }));
    EXPECT_EQ(seam.MessageTexts().last(), "Cannot rename \"a.txt\": a file or folder named \"sub\" already exists.");
    // A new folder appears selected, its name open for editing.
    view.newFolder();
    EXPECT_TRUE(WaitUntil([&] { return Row("New Folder").isValid() && Active()->findChild<QLineEdit*>() != nullptr; }));
    EXPECT_EQ(view.views().currentRow(), Row("New Folder"));
    // Cut and paste into a sub-folder moves; the clipboard is then empty.
    view.views().selectRow(Row("a.txt"));
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(readFileClipboard(QGuiApplication::clipboard()->mimeData()).paths, QStringList{root + "/a.txt"});
    Go(root + "/sub");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Names(root + "/sub"), (QStringList{"a.txt", "b.txt", "deeper"}));
    EXPECT_TRUE(readFileClipboard(QGuiApplication::clipboard()->mimeData()).paths.isEmpty());
    // Delete asks first; No keeps the file.
    view.views().selectRow(Row("b.txt"));
    seam.AnswerMessage(Answer::No);
    Key(Qt::Key_Delete);
    EXPECT_EQ(seam.MessageTexts().last(), "Are you sure you want to move \"b.txt\" to the Trash?");
    EXPECT_TRUE(QFile::exists(root + "/sub/b.txt"));
    // Yes removes it on the worker; without a trash, after asking again.
    seam.AnswerMessage(Answer::Yes).AnswerMessage(Answer::Yes);
    Key(Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(root + "/sub/b.txt"));
    EXPECT_TRUE(WaitUntil([&] { return !Row("b.txt").isValid(); }));
}

TEST_F(QuillonViewTest, ADropCopiesOnAWorkerAndAsksBeforeReplacing)
{
    Write(root + "/sub/a.txt", "other");
    Write(root + "/c.txt", "C");
    Select();
    seam.AnswerMessage(Answer::No);
    emit view.views().filesDropped({root + "/a.txt", root + "/c.txt"}, root + "/sub", Qt::CopyAction);
    EXPECT_TRUE(view.isBusy());
    Settle();
    EXPECT_EQ(Read(root + "/sub/a.txt"), "other");
    EXPECT_EQ(Read(root + "/sub/c.txt"), "C");
    EXPECT_EQ(seam.MessageTexts(), QStringList{"\"a.txt\" already exists in this folder.\nDo you want to replace it?"});
}

TEST_F(QuillonViewTest, StopAbandonsANavigationAndRefreshRetriesAFailedOne)
{
    Select();
    view.NavigateTo(root + "/sub");
    view.Stop();
    EXPECT_FALSE(view.isBusy());
    for (int i = 0; i < 50; ++i) {  // let the stopped navigation's answer come in
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_EQ(view.currentFolder(), root);  // and be dropped
    seam.AnswerMessage(Answer::Ok);
    Go(root + "/later");
    QDir().mkpath(root + "/later");
    Write(root + "/later/x.txt", "X");
    view.Refresh();
    Settle();
    EXPECT_TRUE(Row("x.txt").isValid());
    EXPECT_TRUE(view.views().decor().placeholder().isEmpty());
}

TEST_F(QuillonViewTest, TheContextMenuOffersWhatTheSelectionAllows)
{
    location.m_bRightMouseButton = 1;
    Select();
    QGuiApplication::clipboard()->clear();
    const struct {
        QStringList selected;
        QStringList enabled;
    } cases[] = {
        {{}, {"New Folder", "Properties"}},
        {{"a.txt"}, {"Open", "Cut", "Copy", "Delete", "Rename", "New Folder", "Properties"}},
        {{"a.txt", "sub"}, {"Open", "Cut", "Copy", "Delete", "New Folder", "Properties"}},
    };
    for (const auto& c : cases) {
        Active()->clearSelection();
        for (const QString& name : c.selected)
            Active()->selectionModel()->select(Row(name), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QMenu* menu = view.showContextMenu(QPoint(10, 10));
        ASSERT_NE(menu, nullptr);
        QStringList enabled;
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->text();
        EXPECT_EQ(enabled, c.enabled) << c.selected.join(',').toStdString();
        menu->close();
    }
}

TEST(FolderItemView, DropsMoveWithinTheProgramAndCopyWithCtrl)
{
    testsupport::TestApplication();
    QMimeData data;
    const struct {
        Qt::KeyboardModifiers mods;
        Qt::DropAction proposed;
        Qt::DropAction action;
    } cases[] = {
        {Qt::NoModifier, Qt::MoveAction, Qt::MoveAction},
        {Qt::NoModifier, Qt::CopyAction, Qt::CopyAction},
        {Qt::ControlModifier, Qt::MoveAction, Qt::CopyAction},
        {Qt::NoModifier, Qt::LinkAction, Qt::CopyAction},
    };
    for (const auto& c : cases) {
        QDropEvent proposed(QPointF(1, 1), c.proposed, &data, Qt::LeftButton, c.mods);
        EXPECT_EQ(FolderListView::actionFor(proposed), c.action);
    }
}

TEST_F(QuillonViewTest, CommandsAndHelpGoThroughTheView)
{
    Select();
    EXPECT_TRUE(router.QueryState(ID_GO_HOME).enabled);
    EXPECT_TRUE(router.QueryState(ID_STOP).enabled);
    EXPECT_TRUE(router.QueryState(ID_REFRESH).enabled);
    tree.selected = nullptr;
    EXPECT_FALSE(router.QueryState(ID_GO_HOME).enabled);
    router.Execute(ID_HELP);
    EXPECT_EQ(host.calls, std::vector<std::string>{"help"});
    Write(root + "/new.txt", "N");
    router.Execute(ID_REFRESH);
    EXPECT_TRUE(WaitUntil([&] { return Row("new.txt").isValid(); }));
}

// The navigation commands are the document's alone: whichever pane is
// active, Home is enabled by the browser's one rule and lands in it.
TEST_F(QuillonViewTest, HomeHasOneEnableRuleWhicheverPaneIsActive)
{
    Select();
    Go(root + "/sub");
    const struct {
        bool selected;
        framework::CommandTarget* active;
        bool enabled;
    } cases[] = {{true, &view, true}, {true, &tree, true}, {false, &view, false}, {false, &tree, false}};
    for (const auto& c : cases) {
        tree.selected = c.selected ? &location : nullptr;
        router.SetActiveView(c.active);
        EXPECT_EQ(router.QueryState(ID_GO_HOME).enabled, c.enabled) << c.selected << (c.active == &view);
        EXPECT_EQ(view.CanGoHome(), c.enabled);
        EXPECT_FALSE(view.OnCommand(ID_GO_HOME));  // the view handles none itself
    }
    tree.selected = &location;
    router.Execute(ID_GO_HOME);
    Settle();
    EXPECT_EQ(view.currentFolder(), root);
}

// Links, "..", the clipboard and drops never lead out of the location; the
// sources of a paste may also lie in another of the user's locations.
TEST_F(QuillonViewTest, NothingOutsideTheLocationsIsEnteredOpenedOrCopied)
{
    const QString outside = Scratch("view-outside");
    const QString other = Scratch("view-other");
    Write(outside + "/secret.txt", "S");
    Write(other + "/c.txt", "C");
    QFile::link("/", root + "/rootlink");
    QFile::link(outside, root + "/sibling");
    QFile::link(outside + "/secret.txt", root + "/secretlink");
    QFile::link(outside + "/none", root + "/dangling");
    QFile::link("sub", root + "/inlink");
    CTSUserDataItem profile;
    CTSAppDataItem otherLocation;
    otherLocation.m_strName = u"Other";
    otherLocation.m_strServerLocation = other.toStdU16String();
    profile.m_locations.m_items.push_back(otherLocation);
    doc.m_selection = {&profile};
    Select();
    auto paste = [&](const QList<QUrl>& urls) {
        auto* data = new QMimeData;
        data->setUrls(urls);
        QGuiApplication::clipboard()->setMimeData(data);
        view.paste();
        Settle();
    };
    auto file = [](const QString& path) { return QUrl::fromLocalFile(path); };
    const QString refused = "This item lies outside your locations.";
    const struct {
        const char* what;
        std::function<void()> act;
        QString message;  // empty: none
        QString folder;   // where the view is afterwards
    } cases[] = {
        {"enter a link to /", [&] { view.activateRow(Row("rootlink")); Settle(); }, refused, root},
        {"enter a link to a sibling", [&] { view.activateRow(Row("sibling")); Settle(); }, refused, root},
        {"open a link to a file outside", [&] { view.activateRow(Row("secretlink")); Settle(); }, refused, root},
        {"enter a dangling link", [&] { view.activateRow(Row("dangling")); Settle(); }, refused, root},
        {"go up by ..", [&] { Go(root + "/sub/../.."); }, refused, root},
        {"paste /etc/passwd", [&] { paste({QUrl("file:///etc/passwd")}); }, refused, root},
        {"paste /proc/self/root", [&] { paste({QUrl("file:///proc/self/root")}); }, refused, root},
        {"paste through ..", [&] { paste({file(root + "/a.txt"), file(root + "/sub/../../view-outside/secret.txt")}); },
         refused, root},
        {"drop from outside", [&] { emit view.views().filesDropped({outside + "/secret.txt"}, root, Qt::CopyAction); Settle(); },
         refused, root},
        {"drop into a link out", [&] { emit view.views().filesDropped({root + "/a.txt"}, root + "/sibling", Qt::CopyAction); Settle(); },
         refused, root},
        {"properties of a link out", [&] { view.views().selectRow(Row("sibling")); view.showProperties(); Settle(); }, refused,
         root},
        {"paste from another location", [&] { paste({file(other + "/c.txt")}); }, {}, root},
        {"paste a link as a link", [&] { Go(root + "/sub"); paste({file(root + "/rootlink")}); }, {}, root + "/sub"},
        {"enter a link that stays inside", [&] { Go(root); view.activateRow(Row("inlink")); Settle(); }, {}, root + "/inlink"},
    };
    for (const auto& c : cases) {
        const qsizetype shown = seam.MessageTexts().size();
        if (!c.message.isEmpty())
            seam.AnswerMessage(Answer::Ok);
        const auto before = opened.size();
        c.act();
        EXPECT_EQ(seam.MessageTexts().mid(shown), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.what;
        EXPECT_EQ(view.currentFolder(), c.folder) << c.what;
        EXPECT_EQ(opened.size(), before) << c.what;
    }
    EXPECT_EQ(Names(root), (QStringList{"a.txt", "c.txt", "dangling", "inlink", "rootlink", "secretlink", "sibling", "sub"}));
    EXPECT_EQ(Names(outside), QStringList{"secret.txt"});
    EXPECT_EQ(QFileInfo(root + "/sub/rootlink").symLinkTarget(), "/");  // copied as cp -a does
    EXPECT_EQ(Names(other), QStringList{"c.txt"});

    // Forward to a folder that has since become a link out: refused, and the
    // view stays where it is.
    Go(root + "/sub");
    Go(root + "/sub/deeper");
    view.GoBack();
    Settle();
    QDir(root + "/sub/deeper").removeRecursively();
    QFile::link(outside, root + "/sub/deeper");
    seam.AnswerMessage(Answer::Ok);
    view.GoForward();
    Settle();
    EXPECT_EQ(view.currentFolder(), root + "/sub");
    EXPECT_EQ(seam.MessageTexts().last(), refused);
    // The folder shown, replaced by a link out: neither the change on disk
    // nor Refresh lists it again.
    ASSERT_GT(view.model().rowCount(), 0);
    const qsizetype shown = seam.MessageTexts().size();
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    QDir().rename(root + "/sub", root + "/old-sub");
    QFile::link(outside, root + "/sub");
    EXPECT_TRUE(WaitUntil([&] { return seam.MessageTexts().size() > shown; }));
    view.Refresh();
    Settle();
    EXPECT_EQ(view.model().rowCount(), 0);
    EXPECT_EQ(seam.MessageTexts().mid(shown), (QStringList{refused, refused}));
}

// A server folder that is itself a link is bounded by what it points to.
TEST_F(QuillonViewTest, ALinkedServerFolderIsBoundedByItsTarget)
{
    const QString links = Scratch("view-links");
    QFile::link(root, links + "/docs");
    QFile::link("/", root + "/rootlink");
    location.m_strServerLocation = (links + "/docs").toStdU16String();
    Select();
    EXPECT_EQ(view.currentFolder(), links + "/docs");
    view.activateRow(Row("a.txt"));
    Settle();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(root + "/a.txt"));  // the resolved path
    seam.AnswerMessage(Answer::Ok);
    view.activateRow(Row("rootlink"));
    Settle();
    EXPECT_EQ(seam.MessageTexts(), QStringList{"This item lies outside your locations."});
    view.activateRow(Row("sub"));
    Settle();
    EXPECT_EQ(view.currentFolder(), links + "/docs/sub");
    view.goUp();
    Settle();
    EXPECT_EQ(view.currentFolder(), links + "/docs");
}
