// Saves of one configuration by several windows or programs: a change made
// on disk since this window read the file is never overwritten unasked, and
// two saves never interleave.
#include <gtest/gtest.h>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

#include "accounts/fake_account_services.h"
#include "config/config_file.h"
#include "document/quillon_doc.h"
#include "document_fakes.h"
#include "platform/files.h"
#include "platform/probe.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

namespace fs = std::filesystem;
using framework::Answer;
using testsupport::ScriptedModalSeam;

const QString kChanged = QStringLiteral(
    "The configuration file has been changed by another program since it was opened. Overwrite those changes?");
const QString kNotSaved = QStringLiteral("Could not save data configuration file\nPlease retry saving the file later");

class ConcurrentSaveTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        host.administrator = true;
    }

    // An administrator's window on the configuration.
    struct Window {
        Window(ConcurrentSaveTest& t) : doc(seam, t.host, t.accounts) {}
        ScriptedModalSeam seam;
        CQuillonDoc doc;

        void Edit(const char16_t* entry)
        {
            doc.m_userData.Add(entry, kEntryUser, false);
            doc.SetModifiedFlag();
        }
    };

    std::unique_ptr<Window> OpenWindow()
    {
        auto w = std::make_unique<Window>(*this);
        if (!fs::exists(config))
            w->seam.AnswerMessage(Answer::Ok);  // the note on a missing file
        EXPECT_TRUE(w->doc.OpenDocumentFile(QString::fromStdString(config.string())));
        return w;
    }

    // What another program saves meanwhile.
    void SaveFromElsewhere(const std::u16string& entry)
    {
        CTSUserData other;
        other.Add(entry, kEntryGroup, false);
        ASSERT_TRUE(config::SaveConfigurationFile(config, other));
    }

    std::vector<std::u16string> Stored() const
    {
        CTSUserData data;
        std::vector<std::u16string> names;
        if (config::LoadConfigurationFile(config, data))
            for (const auto& e : data.m_items)
                names.push_back(e->m_strName);
        return names;
    }

    probe::ScratchDir dir;
    fs::path config = dir / "userConfig.QLNData";
    doctest::FakeHost host;
    accounts::FakeAccountServices accounts = accounts::FakeAccountServices::Local("SERVER1", "root", {});
};

TEST_F(ConcurrentSaveTest, AChangeOnDiskIsOverwrittenOnlyWhenTheAdministratorSaysYes)
{
    using Names = std::vector<std::u16string>;
    struct Case {
        const char* what;
        bool existsAtOpen;
        std::function<void()> meanwhile;
        bool asked;
        Answer answer;
        Names stored;  // after the save
    };
    const auto otherSave = [this] { SaveFromElsewhere(u"H\\other"); };
    const Case cases[] = {
        {"unchanged: saved unasked", true, [] {}, false, Answer::Yes, {u"H\\first", u"H\\mine"}},
        {"saved by another program, Yes", true, otherSave, true, Answer::Yes, {u"H\\first", u"H\\mine"}},
        {"saved by another program, No", true, otherSave, true, Answer::No, {u"H\\other"}},
        {"created since an open that found none, No", false, otherSave, true, Answer::No, {u"H\\other"}},
        {"created since an open that found none, Yes", false, otherSave, true, Answer::Yes, {u"H\\mine"}},
        {"removed since it was read, No", true, [this] { fs::remove(config); }, true,
         Answer::No, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(config);
        if (c.existsAtOpen)
            SaveFromElsewhere(u"H\\first");
        auto w = OpenWindow();
        w->Edit(u"H\\mine");
        c.meanwhile();
        const QStringList before = w->seam.MessageTexts();
        if (c.asked)
            w->seam.AnswerMessage(c.answer);

        const bool saved = w->doc.DoFileSave();
        EXPECT_EQ(saved, !c.asked || c.answer == Answer::Yes);
        EXPECT_EQ(w->doc.IsModified(), !saved);
        EXPECT_EQ(Stored(), c.stored);
        const QStringList shown = w->seam.MessageTexts().mid(before.size());
        EXPECT_EQ(shown, c.asked ? QStringList{kChanged} : QStringList{});
        if (c.asked) {
            EXPECT_EQ(w->seam.Messages().back().buttons, framework::MessageButtons::YesNo);
        }
        // Its own save is no change to this window: the next one is not asked.
        if (saved) {
            w->Edit(u"H\\again");
            EXPECT_TRUE(w->doc.DoFileSave());
            EXPECT_EQ(w->seam.MessageTexts().size(), before.size() + shown.size());
        }
    }
}

TEST_F(ConcurrentSaveTest, TwoWindowsOnOneFileEachAskBeforeOverwritingTheOther)
{
    SaveFromElsewhere(u"H\\first");
    auto a = OpenWindow();
    auto b = OpenWindow();
    a->Edit(u"H\\a");
    b->Edit(u"H\\b");

    ASSERT_TRUE(a->doc.DoFileSave());
    b->seam.AnswerMessage(Answer::No);
    EXPECT_FALSE(b->doc.DoFileSave());
    EXPECT_TRUE(b->doc.IsModified());
    EXPECT_EQ(Stored(), (std::vector<std::u16string>{u"H\\first", u"H\\a"}));

    b->seam.AnswerMessage(Answer::Yes);
    ASSERT_TRUE(b->doc.DoFileSave());
    EXPECT_EQ(Stored(), (std::vector<std::u16string>{u"H\\first", u"H\\b"}));

    // Now the first window is the one that read an older file.
    a->Edit(u"H\\a2");
    a->seam.AnswerMessage(Answer::No);
    EXPECT_FALSE(a->doc.DoFileSave());
    EXPECT_EQ(a->seam.MessageTexts().count(kChanged), 1);
    EXPECT_EQ(b->seam.MessageTexts().count(kChanged), 2);
}

TEST_F(ConcurrentSaveTest, ALockHeldByAnotherProcessIsReportedAndNothingIsSaved)
{
    SaveFromElsewhere(u"H\\first");
    auto w = OpenWindow();
    w->Edit(u"H\\mine");
    const fs::path lockFile = dir / "userConfig.QLNData.lock";

    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(60);  // never outlives a broken test
        ::close(ready[0]);
        ::close(release[1]);
        platform::SaveLock held;
        const char ok = held.Acquire(lockFile, std::chrono::milliseconds(0)) ? 'n' : 'y';
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');

    w->seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    const QStringList before = w->seam.MessageTexts();
    EXPECT_FALSE(w->doc.DoFileSave());
    ::close(release[1]);
    ::close(ready[0]);
    int status = 0;
    ::waitpid(child, &status, 0);

    const QStringList shown = w->seam.MessageTexts().mid(before.size());
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("userConfig.QLNData.lock: still locked by another save")))
        << shown[0].toStdString();
    EXPECT_EQ(shown[1], kNotSaved);
    EXPECT_TRUE(w->doc.IsModified());
    EXPECT_EQ(Stored(), std::vector<std::u16string>{u"H\\first"});

    // Once the other save is done, this one goes through.
    EXPECT_TRUE(w->doc.DoFileSave());
    EXPECT_EQ(Stored(), (std::vector<std::u16string>{u"H\\first", u"H\\mine"}));
}

} // namespace
