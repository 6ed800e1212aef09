#include <QApplication>
#include <QSettings>
#include <gtest/gtest.h>
#include <memory>

#include "accounts/fake_account_services.h"
#include "app/configuration_transfer.h"
#include "app/quillon_app.h"
#include "app_fixture.h"
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

const char* const kExportQuestion =
    "You have unsaved changes\nExporting will only export your last saved copy\nDo you want to export your last "
    "saved copy ?";
const char* const kImportQuestion =
    "You have unsaved changes\nImporting will overwrite your changes\nDo you want to import ?";

// Import and export as the administrator meets them, through the running
// application object, on real files in a folder of the test's own.
class ConfigurationTransferTest : public apptest::AppFixture {
protected:
    ConfigurationTransferTest() : AppFixture("root") {}

    void Start(const std::vector<CTSUserDataItem>& entries)
    {
        apptest::WriteConfiguration(ConfigPath(), entries);
        m_app = std::make_unique<CQuillonApp>(m_seam, m_environment, m_accounts, m_session);
        ASSERT_TRUE(m_app->InitInstance({}));
    }

    // Answers the question (when the case has one), the file dialog (when
    // it is shown) and every result box of an import or export case.
    template <typename Case>
    void ScriptAnswers(const Case& c)
    {
        if (c.question)
            m_seam.AnswerMessage(*c.question);
        if (c.dialogShown) {
            if (c.chosen)
                m_seam.ChooseFileAnswer(c.chosen->isEmpty() ? QString() : Q(m_dir) + "/" + *c.chosen);
            else
                m_seam.CancelFileDialog();
        }
        for (qsizetype i = 0; i < c.results.size(); ++i)
            m_seam.AnswerMessage(Answer::Ok);
    }

    void Run(int id)
    {
        ASSERT_TRUE(m_app->Router().Execute(id));
        // The reopen an import posts runs once the command is over.
        QApplication::processEvents();
    }

};

TEST_F(ConfigurationTransferTest, BothCommandsUseTheSameFileDialog)
{
    for (bool exporting : {true, false}) {
        const FileDialogRequest request = app::ConfigurationFileDialog(exporting);
        EXPECT_EQ(request.initialName, "userConfig.QLNData");
        EXPECT_EQ(request.defaultSuffix, "QLNData");
        EXPECT_EQ(request.filter, "User Permission Files (*.QLNData);;All Files (*)");
        EXPECT_TRUE(request.overwritePrompt);
        // A new file can be named only in a save dialog.
        EXPECT_EQ(request.kind, exporting ? FileDialogRequest::Kind::Save : FileDialogRequest::Kind::Open);
    }
}

TEST_F(ConfigurationTransferTest, ExportCopiesTheLastSavedFileAndLeavesTheChangesInMemory)
{
    Start({Entry("VM\\anna", 1, {Location("Docs", "/srv/docs")})});
    const std::string saved = testfiles::Slurp(ConfigPath());
    Doc().m_userData.Add(u"VM\\bert", 1, false);
    Doc().SetModifiedFlag(true);
    const auto target = m_dir / "out" / "copy.QLNData";
    std::filesystem::create_directories(target.parent_path());
    testfiles::Put(target, "old bytes to be replaced");

    m_seam.AnswerMessage(Answer::Yes).ChooseFileAnswer(Q(target)).AnswerMessage(Answer::Ok);
    Run(ID_EXPORT_CONFIGURATION);
    EXPECT_EQ(m_seam.MessageTexts(), (QStringList{kExportQuestion, "Success Exporting File"}));
    EXPECT_EQ(testfiles::Slurp(target), saved);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().m_userData.GetSize(), 2u);
    EXPECT_EQ(m_seam.Messages().back().caption, "");  // the application's caption
}

struct ExportCase {
    const char* name;
    bool modified;
    bool storedExists;
    std::optional<Answer> question;
    std::optional<QString> chosen;  // nothing: the dialog is cancelled
    bool dialogShown;
    QStringList results;  // messages after the question
};

void PrintTo(const ExportCase& c, std::ostream* os) { *os << c.name; }

class ExportCasesTest : public ConfigurationTransferTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportCasesTest, QuestionsAndResults)
{
    const ExportCase& c = GetParam();
    Start({Entry("VM\\anna", 1, {})});
    if (!c.storedExists)
        std::filesystem::remove(ConfigPath());
    Doc().SetModifiedFlag(c.modified);
    ScriptAnswers(c);
    Run(ID_EXPORT_CONFIGURATION);
    QStringList expected = c.results;
    if (c.question)
        expected.prepend(kExportQuestion);
    EXPECT_EQ(m_seam.MessageTexts(), expected);
    EXPECT_EQ(m_seam.FileDialogs().size(), c.dialogShown ? 1u : 0u);
    EXPECT_EQ(Doc().IsModified(), c.modified);
}

INSTANTIATE_TEST_SUITE_P(
    Export, ExportCasesTest,
    ::testing::Values(ExportCase{"NoKeepsEverything", true, true, Answer::No, std::nullopt, false, {}},
                      ExportCase{"CancelledDialog", false, true, std::nullopt, std::nullopt, true, {}},
                      ExportCase{"EmptyPath", false, true, std::nullopt, QString(), true,
                                 {"Error: Please Choose a File to Export"}},
                      ExportCase{"NeverSaved", false, false, std::nullopt, QString("x.QLNData"), true,
                                 {"Error Exporting File"}},
                      ExportCase{"IntoMissingFolder", false, true, std::nullopt, QString("no/such/x.QLNData"), true,
                                 {"Error Exporting File"}}),
    [](const ::testing::TestParamInfo<ExportCase>& info) { return info.param.name; });

TEST_F(ConfigurationTransferTest, ImportReplacesTheStoredFileKeepsTheOldOneAndReopens)
{
    Start({Entry("VM\\anna", 1, {})});
    const std::string before = testfiles::Slurp(ConfigPath());
    const auto source = m_dir / "incoming.QLNData";
    apptest::WriteConfiguration(source, {Entry("VM\\bert", 1, {}), Entry("VM\\carl", 2, {})});

    m_seam.ChooseFileAnswer(Q(source)).AnswerMessage(Answer::Ok);
    Run(ID_IMPORT_CONFIGURATION);
    EXPECT_EQ(m_seam.MessageTexts(), QStringList{"Success Importing File"});
    EXPECT_EQ(testfiles::Slurp(ConfigPath()), testfiles::Slurp(source));
    EXPECT_EQ(testfiles::Slurp(m_dir / "userConfig.QLNData.bak"), before);
    // Reopened from the stored file, without a further question.
    ASSERT_EQ(Doc().m_userData.GetSize(), 2u);
    EXPECT_EQ(Doc().m_userData.GetAt(0).m_strName, u"VM\\bert");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().GetPathName(), m_app->m_strConfigPath);
}

TEST_F(ConfigurationTransferTest, ImportingWithChangesGivesThemUpBeforeTheDialog)
{
    Start({Entry("VM\\anna", 1, {})});
    Doc().m_userData.Add(u"VM\\bert", 1, false);
    Doc().SetModifiedFlag(true);
    m_seam.AnswerMessage(Answer::Yes).CancelFileDialog();
    Run(ID_IMPORT_CONFIGURATION);
    EXPECT_EQ(m_seam.MessageTexts(), QStringList{kImportQuestion});
    // Still in memory, but no longer counted as a change.
    EXPECT_EQ(Doc().m_userData.GetSize(), 2u);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(ConfigurationTransferTest, AnUnreadableImportIsCopiedAndReportedByTheReopen)
{
    Start({Entry("VM\\anna", 1, {})});
    const auto source = m_dir / "broken.QLNData";
    testfiles::Put(source, "this is no configuration");
    m_seam.ChooseFileAnswer(Q(source));
    m_seam.AllowUnusedAnswers();
    for (int i = 0; i < 4; ++i)
        m_seam.AnswerMessage(Answer::Ok);
    Run(ID_IMPORT_CONFIGURATION);
    EXPECT_EQ(testfiles::Slurp(ConfigPath()), "this is no configuration");
    const QStringList texts = m_seam.MessageTexts();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts.front(), "Success Importing File");
    EXPECT_EQ(texts.back(), "Could not open data configuration file\nStarting with new empty configuration file");
    EXPECT_EQ(Doc().m_userData.GetSize(), 0u);
}

struct ImportCase {
    const char* name;
    bool modified;
    std::optional<Answer> question;
    std::optional<QString> chosen;
    bool dialogShown;
    QStringList results;
    bool modifiedAfter;
};

void PrintTo(const ImportCase& c, std::ostream* os) { *os << c.name; }

class ImportCasesTest : public ConfigurationTransferTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportCasesTest, QuestionsAndResults)
{
    const ImportCase& c = GetParam();
    Start({Entry("VM\\anna", 1, {})});
    const std::string before = testfiles::Slurp(ConfigPath());
    Doc().SetModifiedFlag(c.modified);
    ScriptAnswers(c);
    Run(ID_IMPORT_CONFIGURATION);
    QStringList expected = c.results;
    if (c.question)
        expected.prepend(kImportQuestion);
    EXPECT_EQ(m_seam.MessageTexts(), expected);
    EXPECT_EQ(m_seam.FileDialogs().size(), c.dialogShown ? 1u : 0u);
    EXPECT_EQ(Doc().IsModified(), c.modifiedAfter);
    // Nothing replaced the stored file.
    EXPECT_EQ(testfiles::Slurp(ConfigPath()), before);
    EXPECT_EQ(Doc().m_userData.GetSize(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Import, ImportCasesTest,
    ::testing::Values(ImportCase{"NoKeepsTheChanges", true, Answer::No, std::nullopt, false, {}, true},
                      ImportCase{"CancelledDialog", false, std::nullopt, std::nullopt, true, {}, false},
                      ImportCase{"EmptyPath", false, std::nullopt, QString(), true,
                                 {"Error: Please Choose a File to Import"}, false},
                      ImportCase{"MissingSource", false, std::nullopt, QString("nothing.QLNData"), true,
                                 {"Error Importing File"}, false},
                      ImportCase{"YesThenMissingSource", true, Answer::Yes, QString("nothing.QLNData"), true,
                                 {"Error Importing File"}, false}),
    [](const ::testing::TestParamInfo<ImportCase>& info) { return info.param.name; });

} // namespace
