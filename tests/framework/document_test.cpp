#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "framework/command_ids.h"
#include "framework/document.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

using framework::Answer;
using framework::Document;
using framework::HintObject;
using framework::LoadSaveFailure;
using framework::View;
using testsupport::ScriptedModalSeam;
namespace fs = std::filesystem;

namespace {

// A document over a real configuration, so that the base's open and save
// run against the real reader and writer.
class TestDocument : public Document {
public:
    using Document::Document;

    CTSUserData m_data;
    int m_deleteContentsCalls = 0;
    std::vector<LoadSaveFailure> m_reports;

    void DeleteContents() override
    {
        ++m_deleteContentsCalls;
        m_data.RemoveAll();
    }
    void ReportSaveLoadException(const LoadSaveFailure& failure) override
    {
        m_reports.push_back(failure);
        Document::ReportSaveLoadException(failure);
    }

protected:
    config::StoreResult ReadFile(const fs::path& path) override { return config::LoadConfigurationFile(path, m_data); }
    config::StoreResult WriteFile(const fs::path& path) override { return config::SaveConfigurationFile(path, m_data); }
};

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        ASSERT_TRUE(m_dir.isValid());
    }

    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    QString WriteConfiguration(const QString& name, std::initializer_list<std::u16string> entries)
    {
        CTSUserData data;
        for (const auto& entry : entries)
            data.Add(entry, kEntryUser, false);
        const QString path = PathOf(name);
        EXPECT_TRUE(config::SaveConfigurationFile(Document::ToFilePath(path), data).ok);
        return path;
    }

    QString WriteBytes(const QString& name, const std::string& bytes)
    {
        const QString path = PathOf(name);
        std::ofstream(Document::ToFilePath(path), std::ios::binary) << bytes;
        return path;
    }

    QTemporaryDir m_dir;
    ScriptedModalSeam m_seam;
};

TEST_F(DocumentTest, OpenReadsTheFileAndClearsTheModifiedFlag)
{
    const QString path = WriteConfiguration("userConfig.QLNData", {u"HOST\\anna", u"HOST\\ben"});
    TestDocument doc(m_seam);
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.m_data.GetSize(), 2u);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.m_reports.empty());
    EXPECT_TRUE(doc.GetPathName().isEmpty()) << "the caller sets the path";
}

TEST_F(DocumentTest, MissingFileIsReportedAndLeavesContentsAndFlagAlone)
{
    for (const bool modifiedBefore : {false, true}) {
        ScriptedModalSeam seam;
        seam.AnswerMessage(Answer::Ok);
        TestDocument doc(seam);
        doc.m_data.Add(u"HOST\\kept", kEntryUser, false);
        doc.SetModifiedFlag(modifiedBefore);

        EXPECT_FALSE(doc.OnOpenDocument(PathOf("missing.QLNData")));
        ASSERT_EQ(doc.m_reports.size(), 1u);
        EXPECT_EQ(doc.m_reports[0].result.cause, config::ArchiveCause::FileNotFound);
        EXPECT_FALSE(doc.m_reports[0].saving);
        EXPECT_EQ(doc.m_reports[0].path, PathOf("missing.QLNData"));
        EXPECT_EQ(doc.m_deleteContentsCalls, 0);
        EXPECT_EQ(doc.m_data.GetSize(), 1u);
        EXPECT_EQ(doc.IsModified(), modifiedBefore);
        ASSERT_EQ(seam.Messages().size(), 1u);
        EXPECT_TRUE(seam.Messages()[0].text.startsWith("missing.QLNData\nCannot find this file.\n"));
        EXPECT_EQ(seam.Messages()[0].icon, framework::MessageIcon::Warning);
    }
}

TEST_F(DocumentTest, UnreadableFileEmptiesContentsAndStaysModified)
{
    const QString path = WriteBytes("broken.QLNData", std::string("\x01\x00\x00", 3));
    m_seam.AnswerMessage(Answer::Ok);
    TestDocument doc(m_seam);
    doc.m_data.Add(u"HOST\\old", kEntryUser, false);

    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.m_data.GetSize(), 0u);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(doc.m_reports.size(), 1u);
    EXPECT_EQ(doc.m_reports[0].result.cause, config::ArchiveCause::EndOfFile);
    ASSERT_EQ(m_seam.Messages().size(), 1u);
    EXPECT_TRUE(m_seam.Messages()[0].text.startsWith("Unexpected file format.\n\n"));
    EXPECT_TRUE(m_seam.Messages()[0].text.contains("broken.QLNData"));
}

TEST_F(DocumentTest, SaveWritesTheFileAndClearsTheModifiedFlag)
{
    TestDocument doc(m_seam);
    doc.m_data.Add(u"HOST\\anna", kEntryUser, false);
    doc.SetModifiedFlag();
    const QString path = PathOf("saved.QLNData");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_FALSE(doc.IsModified());

    TestDocument reread(m_seam);
    ASSERT_TRUE(reread.OnOpenDocument(path));
    EXPECT_EQ(reread.m_data, doc.m_data);
}

TEST_F(DocumentTest, FailedSaveIsReportedAndStaysModified)
{
    m_seam.AnswerMessage(Answer::Ok);
    TestDocument doc(m_seam);
    doc.SetModifiedFlag();
    const QString path = PathOf("no/such/folder/x.QLNData");
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(doc.m_reports.size(), 1u);
    EXPECT_TRUE(doc.m_reports[0].saving);
    EXPECT_EQ(doc.m_reports[0].path, path);
    EXPECT_FALSE(fs::exists(Document::ToFilePath(path)));
}

TEST_F(DocumentTest, SaveWithoutPathAsksWithTheSaveDialog)
{
    const QString chosen = PathOf("chosen.QLNData");
    m_seam.CancelFileDialog().ChooseFileAnswer(chosen);
    TestDocument doc(m_seam);
    doc.SetModifiedFlag();

    EXPECT_FALSE(doc.DoFileSave()) << "cancelled";
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.DoFileSave());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), chosen);
    EXPECT_EQ(doc.GetTitle(), "chosen.QLNData");
    EXPECT_TRUE(fs::exists(Document::ToFilePath(chosen)));

    ASSERT_EQ(m_seam.FileDialogs().size(), 2u);
    const auto& request = m_seam.FileDialogs()[0];
    EXPECT_EQ(request.kind, framework::FileDialogRequest::Kind::Save);
    EXPECT_EQ(request.filter, "Quillon Files (*.QLNData);;All Files (*)");
    EXPECT_EQ(request.defaultSuffix, "QLNData");
    EXPECT_EQ(request.initialName, "Untitled.QLNData");
    EXPECT_TRUE(request.overwritePrompt);
}

TEST_F(DocumentTest, SaveWithPathAsksNothing)
{
    TestDocument doc(m_seam);
    const QString path = WriteConfiguration("userConfig.QLNData", {});
    ASSERT_TRUE(doc.OpenDocumentFile(path));
    doc.m_data.Add(u"HOST\\new", kEntryGroup, false);
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.OnCommand(framework::ID_FILE_SAVE));
    EXPECT_FALSE(doc.IsModified());
    TestDocument reread(m_seam);
    ASSERT_TRUE(reread.OnOpenDocument(path));
    EXPECT_EQ(reread.m_data.GetSize(), 1u);
}

struct SaveModifiedCase {
    const char* name;
    bool modified;
    std::optional<Answer> answer;  // none: no question expected
    bool saveSucceeds;
    bool expectedResult;
    bool expectSaved;
};

TEST_F(DocumentTest, SaveModifiedAsksAndSavesAsAnswered)
{
    const SaveModifiedCase cases[] = {
        {"not modified", false, std::nullopt, true, true, false},
        {"yes", true, Answer::Yes, true, true, true},
        {"yes, save fails", true, Answer::Yes, false, false, false},
        {"no", true, Answer::No, true, true, false},
        {"cancel", true, Answer::Cancel, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedModalSeam seam;
        if (c.answer)
            seam.AnswerMessage(*c.answer);
        if (!c.saveSucceeds)
            seam.AnswerMessage(Answer::Ok);  // the failure report
        const QString path = c.saveSucceeds ? PathOf(QString("%1.QLNData").arg(c.name)) : PathOf("none/x.QLNData");
        TestDocument doc(seam);
        doc.SetPathName(path);
        doc.SetModifiedFlag(c.modified);

        EXPECT_EQ(doc.SaveModified(), c.expectedResult);
        EXPECT_EQ(fs::exists(Document::ToFilePath(path)), c.expectSaved);
        if (c.answer) {
            ASSERT_FALSE(seam.Messages().empty());
            EXPECT_EQ(seam.Messages()[0].text, QString("Save changes to %1?").arg(QFileInfo(path).fileName()));
            EXPECT_EQ(seam.Messages()[0].buttons, framework::MessageButtons::YesNoCancel);
        } else {
            EXPECT_TRUE(seam.Messages().empty());
        }
    }
}

TEST_F(DocumentTest, NewDocumentClearsContentsPathAndFlag)
{
    TestDocument doc(m_seam);
    doc.SetPathName(PathOf("a.QLNData"));
    doc.m_data.Add(u"HOST\\anna", kEntryUser, false);
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.m_data.GetSize(), 0u);
}

TEST_F(DocumentTest, OpenDocumentFileSetsPathAndTitle)
{
    const QString path = WriteConfiguration("userConfig.QLNData", {u"HOST\\anna"});
    TestDocument doc(m_seam);
    QStringList titles;
    QObject::connect(&doc, &Document::titleChanged, [&titles](const QString& t) { titles << t; });
    ASSERT_TRUE(doc.OpenDocumentFile(path));
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(doc.GetTitle(), "userConfig.QLNData");
    EXPECT_EQ(titles, QStringList{"userConfig.QLNData"});
}

TEST_F(DocumentTest, OpenDocumentFileAfterASpoiltReadStartsANewDocument)
{
    const QString path = WriteBytes("broken.QLNData", std::string("\x05\x00", 2));
    m_seam.AnswerMessage(Answer::Ok);
    TestDocument doc(m_seam);
    EXPECT_FALSE(doc.OpenDocumentFile(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
}

TEST_F(DocumentTest, OpenDocumentFileStopsWhenSaveModifiedSaysCancel)
{
    const QString path = WriteConfiguration("userConfig.QLNData", {u"HOST\\anna"});
    m_seam.AnswerMessage(Answer::Cancel);
    TestDocument doc(m_seam);
    doc.m_data.Add(u"HOST\\unsaved", kEntryUser, false);
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.OpenDocumentFile(path));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(doc.m_data.GetSize(), 1u);
    EXPECT_EQ(doc.m_data.GetAt(0).m_strName, u"HOST\\unsaved");
}

struct StandardTextCase {
    config::ArchiveCause cause;
    bool saving;
    const char* expectedFirstLine;
};

TEST(StandardSaveLoadText, NamesTheFailureThenGivesTheDetail)
{
    using config::ArchiveCause;
    const StandardTextCase cases[] = {
        {ArchiveCause::EndOfFile, false, "Unexpected file format."},
        {ArchiveCause::InvalidArgument, false, "Unexpected file format."},
        {ArchiveCause::Generic, false, "Unexpected file format."},
        {ArchiveCause::Generic, true, "An unexpected error occurred while writing c.QLNData."},
        {ArchiveCause::OutOfMemory, false, "Out of memory."},
        {ArchiveCause::DiskFull, true, "Destination disk drive is full."},
        {ArchiveCause::AccessDenied, false, "Unable to read from c.QLNData, access is denied."},
        {ArchiveCause::AccessDenied, true, "Unable to write to c.QLNData, it is read-only or access is denied."},
        {ArchiveCause::FileError, false, "An unexpected error occurred while reading c.QLNData."},
        {ArchiveCause::FileError, true, "An unexpected error occurred while writing c.QLNData."},
        {ArchiveCause::FileNotFound, false,
         "c.QLNData\nCannot find this file.\nPlease verify that the correct path and file name are given."},
    };
    for (const auto& c : cases) {
        LoadSaveFailure failure{"/opt/quillon/c.QLNData", c.saving, {}};
        failure.result.ok = false;
        failure.result.cause = c.cause;
        failure.result.message = "/opt/quillon/c.QLNData: what happened at byte 12";
        EXPECT_EQ(framework::StandardSaveLoadText(failure),
                  QString(c.expectedFirstLine) + "\n\n/opt/quillon/c.QLNData: what happened at byte 12");
        failure.result.message.clear();
        EXPECT_EQ(framework::StandardSaveLoadText(failure), QString(c.expectedFirstLine));
    }
}

// Views --------------------------------------------------------------------

struct Update {
    View* sender;
    long hint;
    HintObject object;
};

class RecordingView : public View {
public:
    std::vector<Update> updates;
    std::function<void()> onUpdate;
    void OnUpdate(View* sender, long hint, HintObject object) override
    {
        updates.push_back({sender, hint, object});
        if (onUpdate)
            onUpdate();
    }
};

TEST_F(DocumentTest, UpdateAllViewsSkipsTheSenderAndPassesTheHint)
{
    TestDocument doc(m_seam);
    RecordingView a, b, c;
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&c);
    CTSAppDataItem item;
    doc.UpdateAllViews(&b, 7, &item);
    ASSERT_EQ(a.updates.size(), 1u);
    EXPECT_TRUE(b.updates.empty());
    ASSERT_EQ(c.updates.size(), 1u);
    EXPECT_EQ(a.updates[0].sender, &b);
    EXPECT_EQ(a.updates[0].hint, 7);
    EXPECT_EQ(a.updates[0].object.As<CTSAppDataItem>(), &item);
    EXPECT_EQ(a.updates[0].object.As<CTSUserDataItem>(), nullptr) << "typed access";
    EXPECT_EQ(a.GetDocument(), &doc);
}

TEST_F(DocumentTest, ViewRemovedDuringAnUpdateIsNotCalled)
{
    TestDocument doc(m_seam);
    RecordingView first;
    auto second = std::make_unique<RecordingView>();
    doc.AddView(&first);
    doc.AddView(second.get());
    first.onUpdate = [&second] { second.reset(); };
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(first.updates.size(), 1u);
    EXPECT_EQ(doc.GetViews().size(), 1u);
}

TEST_F(DocumentTest, ViewsAndDocumentForgetEachOther)
{
    RecordingView outliving;
    {
        TestDocument doc(m_seam);
        {
            RecordingView shortLived;
            doc.AddView(&shortLived);
            doc.AddView(&outliving);
        }
        EXPECT_EQ(doc.GetViews(), std::vector<View*>{&outliving});
    }
    EXPECT_EQ(outliving.GetDocument(), nullptr);
}

TEST(HintObject, EmptyAndNullHintsGiveNothing)
{
    HintObject none;
    HintObject null = nullptr;
    const CTSAppDataItem* nullItem = nullptr;
    HintObject typedNull = nullItem;
    for (const HintObject& hint : {none, null, typedNull}) {
        EXPECT_FALSE(hint);
        EXPECT_EQ(hint.As<CTSAppDataItem>(), nullptr);
    }
}

} // namespace
