#include <QApplication>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <memory>

#include "support/fake_account_services.h"
#include "app/about_dlg.h"
#include "app/help_window.h"
#include "app/quillon_app.h"
#include "app_fixture.h"
#include "config/text.h"
#include "document/quillon_doc.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "support/scripted_modal_seam.h"
#include "support/temp_files.h"
#include "support/test_application.h"

using namespace framework;
using apptest::Entry;
using apptest::Location;

namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

QStringList EntryNames(const CQuillonDoc& document)
{
    QStringList names;
    for (std::size_t i = 0; i < document.m_userData.GetSize(); ++i)
        names << QString::fromStdU16String(document.m_userData.GetAt(i).m_strName);
    return names;
}

class QuillonAppTest : public apptest::AppFixture {
protected:
    QuillonAppTest() : AppFixture("anna") {}

    // The anna's entry with one location; "VM\anna" is who the fake accounts say runs the program.
    void WriteAnnaWithLocation() { apptest::WriteConfiguration(ConfigPath(), {Entry("VM\\anna", 1, {Location("Docs", "/srv/docs")})}); }

    bool Start(bool administrator, const QStringList& arguments = {})
    {
        m_environment.administrator = administrator;
        m_app = std::make_unique<CQuillonApp>(m_seam, m_environment, m_accounts, m_session);
        return m_app->InitInstance(arguments);
    }

    bool Execute(int id) { return m_app->Router().Execute(id); }
};

TEST_F(QuillonAppTest, PathsAreBesideTheExecutable)
{
    WriteAnnaWithLocation();
    ASSERT_TRUE(Start(true));
    EXPECT_EQ(m_app->m_strConfigPath, Q(m_dir) + "/userConfig.QLNData");
    EXPECT_EQ(m_app->m_strTransferToolPath, Q(m_dir) + "/pontlet");
    EXPECT_EQ(Doc().GetPathName(), m_app->m_strConfigPath);
    EXPECT_TRUE(m_app->m_bAdministrator);
    EXPECT_FALSE(m_app->m_bServiceMode);
    EXPECT_TRUE(m_seam.Messages().empty());
}

TEST_F(QuillonAppTest, AnotherFileOnTheCommandLineIsNeverOpened)
{
    WriteAnnaWithLocation();
    const auto other = m_dir / "other.QLNData";
    apptest::WriteConfiguration(other, {Entry("VM\\bert", 1, {})});
    ASSERT_TRUE(Start(true, {Q(other)}));
    EXPECT_EQ(Doc().GetPathName(), m_app->m_strConfigPath);
    EXPECT_EQ(EntryNames(Doc()), QStringList{"VM\\anna"});
}

TEST_F(QuillonAppTest, EachFaceStartsShownWithItsView)
{
    for (bool administrator : {true, false}) {
        SCOPED_TRACE(administrator);
        WriteAnnaWithLocation();
        EXPECT_FALSE(m_app && m_app->IsAdministratorView());
        ASSERT_TRUE(Start(administrator));
        ASSERT_NE(m_app->MainWindow(), nullptr);
        EXPECT_TRUE(m_app->MainWindow()->isVisible());
        EXPECT_EQ(m_app->IsAdministratorView(), administrator);
        EXPECT_EQ(m_app->MainFrame()->CurrentMenuId(), administrator ? 128 : 129);
        // The user's own entry is their profile; an administrator has none.
        EXPECT_EQ(Doc().m_pProfile != nullptr, !administrator);
        EXPECT_EQ(m_app->RecentFiles().Entries(), QStringList{m_app->m_strConfigPath});
        m_app.reset();
    }
}

// "service" as the first plain word turns the session start on; a profile
// with locations arms the logoff, which the exit performs.
TEST_F(QuillonAppTest, ServiceModeArmsTheLogoffAndExitPerformsIt)
{
    struct Case {
        QStringList arguments;
        bool service;
    };
    const Case cases[] = {{{"service"}, true}, {{"SERVICE"}, true}, {{"/service"}, false}, {{"x", "service"}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        WriteAnnaWithLocation();
        m_session.calls.clear();
        ASSERT_TRUE(Start(false, c.arguments));
        EXPECT_EQ(m_app->m_bServiceMode, c.service);
        EXPECT_EQ(m_app->m_bLogoffOnExit, c.service);
        m_app->ExitInstance();
        EXPECT_EQ(m_session.calls, c.service ? std::vector<std::string>{"logoff"} : std::vector<std::string>{});
        m_app.reset();
    }
}

// The program would end here, so the shell takes its place; when it cannot,
// the fallback is the one of every shell start.
TEST_F(QuillonAppTest, ServiceModeWithoutLocationsIsReplacedByTheShellAndShowsNoWindow)
{
    for (bool shellStarts : {true, false}) {
        SCOPED_TRACE(shellStarts);
        apptest::WriteConfiguration(ConfigPath(), {Entry("VM\\anna", 1, {})});
        m_session.calls.clear();
        m_session.shellStarts = shellStarts;
        if (!shellStarts)
            m_seam.AnswerMessage(Answer::Ok);
        EXPECT_FALSE(Start(false, {"service"}));
        EXPECT_EQ(m_app->MainFrame(), nullptr);
        EXPECT_EQ(m_app->MainWindow(), nullptr);
        EXPECT_FALSE(m_app->m_bLogoffOnExit);
        m_app->ExitInstance();
        const std::vector<std::string> expected =
            shellStarts ? std::vector<std::string>{"replace"} : std::vector<std::string>{"replace", "home"};
        EXPECT_EQ(m_session.calls, expected);
        EXPECT_EQ(m_seam.MessageTexts().size(), shellStarts ? 0 : 1);
        m_app.reset();
    }
}

TEST_F(QuillonAppTest, AShellThatDoesNotStartIsReportedAndTheHomeFolderOpened)
{
    WriteAnnaWithLocation();
    ASSERT_TRUE(Start(true));
    m_session.shellStarts = false;
    m_seam.AnswerMessage(Answer::Ok);
    ASSERT_TRUE(Execute(ID_VIEW_SHELL));
    EXPECT_EQ(m_seam.MessageTexts(), QStringList{"Error launching default shell, will try alternative shell"});
    EXPECT_EQ(m_session.calls, (std::vector<std::string>{"shell", "home"}));
    EXPECT_TRUE(m_app->MainWindow()->isVisible());
}

// The program goes on after "S&hell View", so the shell starts beside it,
// in service mode too.
TEST_F(QuillonAppTest, ShellViewStartsTheShellBesideTheRunningWindow)
{
    for (const QStringList& arguments : {QStringList{}, QStringList{"service"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        WriteAnnaWithLocation();
        ASSERT_TRUE(Start(true, arguments));
        m_session.calls.clear();
        ASSERT_TRUE(Execute(ID_VIEW_SHELL));
        EXPECT_EQ(m_session.calls, std::vector<std::string>{"shell"});
        EXPECT_TRUE(m_app->MainWindow()->isVisible());
        m_app.reset();
    }
}

TEST_F(QuillonAppTest, OnlyServiceModeOpensMaximisedWithOrWithoutAWindowManager)
{
    for (bool service : {true, false}) {
        for (bool windowManager : {true, false}) {
            SCOPED_TRACE(testing::Message() << service << windowManager);
            WriteAnnaWithLocation();
            m_environment.windowManager = windowManager;
            ASSERT_TRUE(Start(false, service ? QStringList{"service"} : QStringList{}));
            EXPECT_EQ(m_app->MainWindow()->isMaximized(), service);
            m_app.reset();
        }
    }
}

TEST_F(QuillonAppTest, TheAboutBoxLetsOnlyAnAdministratorFollowTheAddresses)
{
    for (bool administrator : {true, false}) {
        SCOPED_TRACE(administrator);
        WriteAnnaWithLocation();
        ASSERT_TRUE(Start(administrator));
        m_environment.opened.clear();
        m_seam.HandleDialogAs<CAboutDlg>([&](CAboutDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "About Quillon");
            QStringList labels;
            for (QLabel* label : dialog.findChildren<QLabel*>())
                labels << label->text();
            EXPECT_TRUE(labels.contains("Quillon Version 3.0.3.4"));
            EXPECT_EQ(dialog.Button(CAboutDlg::IDOK)->text(), "&OK");
            EXPECT_TRUE(dialog.Button(CAboutDlg::IDOK)->isEnabled());
            QPushButton* web = dialog.Button(CAboutDlg::IDC_WEB_ADDRESS);
            QPushButton* mail = dialog.Button(CAboutDlg::IDC_SUPPORT_ADDRESS);
            EXPECT_EQ(web->isEnabled(), administrator);
            EXPECT_EQ(mail->isEnabled(), administrator);
            web->click();
            mail->click();
            return int(QDialog::Accepted);
        });
        ASSERT_TRUE(Execute(ID_APP_ABOUT));
        const std::vector<QUrl> expected =
            administrator ? std::vector<QUrl>{QUrl(CAboutDlg::WebAddress()),
                                              QUrl("mailto:" + CAboutDlg::SupportAddress())}
                          : std::vector<QUrl>{};
        EXPECT_EQ(m_environment.opened, expected);
        m_app.reset();
    }
}

TEST_F(QuillonAppTest, HelpShowsThePageInsideTheProgramAndFollowsOnlyItsOwnAnchors)
{
    testfiles::Put(m_dir / "Quillon.html", "<html><body><a href=\"#keys\">Keys</a><p>Your workplace</p>"
                                           "<h2 id=\"keys\">Keys</h2></body></html>");
    for (bool administrator : {false, true}) {
        SCOPED_TRACE(administrator);
        WriteAnnaWithLocation();
        ASSERT_TRUE(Start(administrator));
        m_environment.opened.clear();
        ASSERT_TRUE(Execute(ID_HELP_FINDER));
        ASSERT_TRUE(Execute(ID_HELP));
        const auto windows = m_app->MainWindow()->findChildren<app::HelpWindow*>();
        ASSERT_EQ(windows.size(), 1) << "one help window, shown again";
        app::HelpWindow& help = *windows.front();
        EXPECT_TRUE(help.isVisible());
        EXPECT_TRUE(help.Browser()->toPlainText().contains("Your workplace"));
        const QUrl page = help.Browser()->source();

        help.FollowLink(QUrl("#keys"));
        help.FollowLink(QUrl::fromLocalFile("/etc/passwd"));
        help.FollowLink(QUrl("https://example.org/"));
        EXPECT_EQ(help.Browser()->source(), page) << "never another file";
        EXPECT_FALSE(help.Browser()->toPlainText().contains("root:"));
        EXPECT_TRUE(m_environment.started.empty());
        const std::vector<QUrl> outside = {QUrl::fromLocalFile("/etc/passwd"), QUrl("https://example.org/")};
        EXPECT_EQ(m_environment.opened, administrator ? outside : std::vector<QUrl>{});
        m_app.reset();
    }
}

TEST_F(QuillonAppTest, TheUserFaceOpensOnlyWithTheListedProgram)
{
    testfiles::Put(m_dir / "open-with.conf", "text/plain /usr/bin/textviewer --view %f\n");
    testfiles::Put(m_dir / "files/note.txt", "hello");
    testfiles::Put(m_dir / "files/photo.png", std::string("\x89PNG\r\n\x1a\n", 8));
    const QUrl note = QUrl::fromLocalFile(Q(m_dir / "files/note.txt"));
    const QUrl photo = QUrl::fromLocalFile(Q(m_dir / "files/photo.png"));
    WriteAnnaWithLocation();
    ASSERT_TRUE(Start(false));
    m_seam.AnswerMessage(Answer::Ok);
    m_seam.AnswerMessage(Answer::Ok);

    m_app->OpenItem(note);
    m_app->OpenItem(photo);
    m_environment.startError = ENOENT;
    m_app->OpenItem(note);
    const std::vector<std::string> viewer = {"/usr/bin/textviewer", "--view", (m_dir / "files/note.txt").string()};
    EXPECT_EQ(m_environment.started, (std::vector<std::vector<std::string>>{viewer, viewer}));
    EXPECT_TRUE(m_environment.opened.empty()) << "never the desktop's handler";
    // The type's name is the system's MIME description, whose wording differs
    // between releases ("plain text document", "Plain text document").
    const QString text = QMimeDatabase().mimeTypeForName("text/plain").comment();
    const QString png = QMimeDatabase().mimeTypeForName("image/png").comment();
    EXPECT_EQ(m_seam.MessageTexts(),
              (QStringList{"No program is set up to open files of type " + png + ". Ask your administrator.",
                           "The program /usr/bin/textviewer, set up to open files of type " + text +
                               ", cannot be started: No such file or directory. Ask your administrator."}));
    m_app.reset();

    m_environment.started.clear();
    ASSERT_TRUE(Start(true));
    m_app->OpenItem(photo);
    EXPECT_EQ(m_environment.opened, std::vector<QUrl>{photo});
    EXPECT_TRUE(m_environment.started.empty());
}
const char* const kDiscardQuestion =
    "You have unsaved changes\nIf you continue you will loose those changes\nAre you sure you want to continue and "
    "loose those changes ?";

TEST_F(QuillonAppTest, NewConfigurationAsksOnlyAboutUnsavedChanges)
{
    struct Case {
        bool modified;
        std::optional<Answer> answer;
        bool emptied;
    };
    const Case cases[] = {{false, std::nullopt, true}, {true, Answer::No, false}, {true, Answer::Yes, true}};
    for (const Case& c : cases) {
        WriteAnnaWithLocation();
        testsupport::ScriptedModalSeam seam;
        m_app = std::make_unique<CQuillonApp>(seam, m_environment, m_accounts, m_session);
        m_environment.administrator = true;
        ASSERT_TRUE(m_app->InitInstance({}));
        Doc().SetModifiedFlag(c.modified);
        if (c.answer)
            seam.AnswerMessage(*c.answer);
        ASSERT_TRUE(Execute(ID_FILE_NEW));
        EXPECT_EQ(seam.MessageTexts(), c.answer ? QStringList{kDiscardQuestion} : QStringList{});
        EXPECT_EQ(Doc().m_userData.GetSize(), c.emptied ? 0u : 1u);
        EXPECT_EQ(Doc().GetPathName().isEmpty(), c.emptied);
        EXPECT_EQ(Doc().IsModified(), !c.emptied);
        m_app.reset();
    }
}

TEST_F(QuillonAppTest, ReopenReadsTheFileAgainWithoutADialog)
{
    WriteAnnaWithLocation();
    ASSERT_TRUE(Start(true));
    apptest::WriteConfiguration(ConfigPath(), {Entry("VM\\bert", 1, {}), Entry("VM\\carl", 1, {})});
    ASSERT_TRUE(Execute(ID_FILE_OPEN));
    EXPECT_TRUE(m_seam.FileDialogs().empty());
    EXPECT_TRUE(m_seam.Messages().empty());
    EXPECT_EQ(EntryNames(Doc()), (QStringList{"VM\\bert", "VM\\carl"}));
    EXPECT_EQ(Doc().GetPathName(), m_app->m_strConfigPath);

    // Unsaved changes: the same question as a new configuration; No keeps them.
    Doc().SetModifiedFlag(true);
    apptest::WriteConfiguration(ConfigPath(), {});
    m_seam.AnswerMessage(Answer::No);
    ASSERT_TRUE(Execute(ID_FILE_OPEN));
    EXPECT_EQ(m_seam.MessageTexts(), QStringList{kDiscardQuestion});
    EXPECT_EQ(Doc().m_userData.GetSize(), 2u);
}

// The configuration's commands are the administrator's: in the user's view
// neither a menu nor a key reaches them.
TEST_F(QuillonAppTest, TheConfigurationCommandsAreOutOfTheUserViewsReach)
{
    const int commands[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_IMPORT_CONFIGURATION, ID_EXPORT_CONFIGURATION};
    for (bool administrator : {false, true}) {
        SCOPED_TRACE(administrator);
        WriteAnnaWithLocation();
        ASSERT_TRUE(Start(administrator));
        Doc().SetModifiedFlag(true);
        if (administrator)
            m_app->MainFrame()->SwitchToUserView();
        for (int id : commands) {
            EXPECT_FALSE(m_app->Router().QueryState(id).enabled) << id;
            EXPECT_FALSE(Execute(id)) << id;
        }
        for (const char* keys : {"Ctrl+N", "Ctrl+O", "Ctrl+S"})
            QTest::keySequence(m_app->MainWindow(), QKeySequence(QString::fromLatin1(keys)));
        QApplication::processEvents();
        EXPECT_EQ(EntryNames(Doc()), QStringList{"VM\\anna"});
        EXPECT_TRUE(m_seam.Messages().empty());
        EXPECT_TRUE(m_seam.FileDialogs().empty());
        if (administrator) {
            m_app->MainFrame()->SwitchToAdministratorView();
            for (int id : commands)
                EXPECT_TRUE(m_app->Router().QueryState(id).enabled) << id;
        }
        m_app.reset();
    }
}

TEST_F(QuillonAppTest, TheRecentFileListIsSavedAtExit)
{
    WriteAnnaWithLocation();
    ASSERT_TRUE(Start(true));
    m_app->ExitInstance();
    QSettings settings(QStringLiteral("Varnel Software"), QStringLiteral("Quillon"));
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), m_app->m_strConfigPath);
}

TEST_F(QuillonAppTest, ExitClosesTheWindowAfterAskingAboutChanges)
{
    WriteAnnaWithLocation();
    ASSERT_TRUE(Start(true));
    Doc().SetModifiedFlag(true);
    m_seam.AnswerMessage(Answer::Cancel);
    ASSERT_TRUE(Execute(ID_APP_EXIT));
    EXPECT_TRUE(m_app->MainWindow()->isVisible());
    m_seam.AnswerMessage(Answer::No);
    ASSERT_TRUE(Execute(ID_APP_EXIT));
    EXPECT_FALSE(m_app->MainWindow()->isVisible());
}

} // namespace
