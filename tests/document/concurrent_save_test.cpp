// Saves of one configuration by several windows and programs.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "support/fake_account_services.h"
#include "config/config_file.h"
#include "document/quillon_doc.h"
#include "document_fakes.h"
#include "platform/probe.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

namespace fs = std::filesystem;
using framework::Answer;
using Names = std::vector<std::u16string>;

const QString kChanged = QStringLiteral(
    "The configuration file has been changed by another program since it was opened. Overwrite those changes?");

class ConcurrentSaveTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        host.administrator = true;
    }

    // An administrator's window, opened on the configuration and edited.
    struct Window {
        testsupport::ScriptedModalSeam seam;
        CQuillonDoc doc;
        Window(ConcurrentSaveTest& t, const char16_t* edit) : doc(seam, t.host, t.accounts)
        {
            if (!fs::exists(t.config))
                seam.AnswerMessage(Answer::Ok);  // the note on a missing file
            EXPECT_TRUE(doc.OpenDocumentFile(QString::fromStdString(t.config.string())));
            doc.m_userData.Add(edit, kEntryUser, false);
            doc.SetModifiedFlag();
        }
    };

    void SaveFromElsewhere(const char16_t* entry)
    {
        CTSUserData other;
        other.Add(entry, kEntryGroup, false);
        ASSERT_TRUE(config::SaveConfigurationFile(config, other));
    }

    Names Stored() const
    {
        CTSUserData data;
        config::LoadConfigurationFile(config, data);
        Names names;
        for (const auto& e : data.m_items)
            names.push_back(e->m_strName);
        return names;
    }

    probe::ScratchDir dir;
    fs::path config = dir / "userConfig.QLNData";
    doctest::FakeHost host;
    accounts::FakeAccountServices accounts = accounts::FakeAccountServices::Local("S", "root", {});
};

TEST_F(ConcurrentSaveTest, AChangeOnDiskIsOverwrittenOnlyAfterYes)
{
    const struct {
        bool existsAtOpen, changed;  // changed: another program saves before this window does
        Answer answer;
        Names stored;
    } cases[] = {
        {true, false, Answer::No, {u"a", u"mine"}},  // unchanged: not asked
        {true, true, Answer::Yes, {u"a", u"mine"}},
        {true, true, Answer::No, {u"other"}},
        {false, true, Answer::No, {u"other"}},  // created since an open that found none
        {false, true, Answer::Yes, {u"mine"}},
    };
    for (const auto& c : cases) {
        fs::remove(config);
        if (c.existsAtOpen)
            SaveFromElsewhere(u"a");
        Window w(*this, u"mine");
        if (c.changed) {
            SaveFromElsewhere(u"other");
            w.seam.AnswerMessage(c.answer);
        }
        const bool saved = w.doc.DoFileSave();
        EXPECT_EQ(saved, !c.changed || c.answer == Answer::Yes);
        EXPECT_EQ(w.doc.IsModified(), !saved);
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_EQ(w.seam.MessageTexts().count(kChanged), c.changed ? 1 : 0);
    }
}

TEST_F(ConcurrentSaveTest, TwoWindowsOnOneFileAskOnlyAboutTheOthersSaves)
{
    SaveFromElsewhere(u"a");
    Window first(*this, u"first"), second(*this, u"second");
    ASSERT_TRUE(first.doc.DoFileSave());
    second.seam.AnswerMessage(Answer::Yes);
    ASSERT_TRUE(second.doc.DoFileSave());
    EXPECT_EQ(Stored(), (Names{u"a", u"second"}));
    // A window's own save is no change to it; the other's is.
    second.doc.SetModifiedFlag();
    EXPECT_TRUE(second.doc.DoFileSave());
    first.seam.AnswerMessage(Answer::No);
    first.doc.SetModifiedFlag();
    EXPECT_FALSE(first.doc.DoFileSave());
    EXPECT_EQ(first.seam.MessageTexts(), QStringList{kChanged});
    EXPECT_EQ(second.seam.MessageTexts(), QStringList{kChanged});
    EXPECT_EQ(first.seam.Messages().back().defaultAnswer, Answer::No);
}

TEST_F(ConcurrentSaveTest, ALockHeldByAnotherProcessIsReportedAndNothingIsSaved)
{
    SaveFromElsewhere(u"a");
    Window w(*this, u"mine");
    int ready[2], release[2];
    ASSERT_TRUE(::pipe(ready) == 0 && ::pipe(release) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(60);  // never outlives a broken test
        ::close(release[1]);
        platform::SaveLock held;
        char c = held.Acquire(dir / "userConfig.QLNData.lock", {}) ? 'n' : 'y';
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);  // until the test closes its end
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_TRUE(::read(ready[0], &ok, 1) == 1 && ok == 'y');
    w.seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    EXPECT_FALSE(w.doc.DoFileSave());
    ::close(release[1]);
    ::waitpid(child, nullptr, 0);

    ASSERT_EQ(w.seam.MessageTexts().size(), 2);
    EXPECT_TRUE(w.seam.MessageTexts()[0].contains(QStringLiteral("QLNData.lock: still locked by another save")));
    EXPECT_TRUE(w.doc.IsModified());
    EXPECT_EQ(Stored(), Names{u"a"});
    EXPECT_TRUE(w.doc.DoFileSave());  // once the other save is done
}

// The lock another save holds for `busyTries` tries (-1: for good); at each
// busy try `whileBusy` runs, as the window's events would meanwhile.
class ScriptedLock : public platform::SaveLockHolder {
public:
    ScriptedLock(int busyTries, std::function<void()> whileBusy) : m_busy(busyTries), m_whileBusy(std::move(whileBusy))
    {
    }
    platform::FileError TryAcquire(const fs::path&, bool& busy) override
    {
        busy = m_busy != 0;
        if (!busy)
            return {};
        m_busy -= m_busy > 0 ? 1 : 0;
        m_whileBusy();
        return {platform::FileErrorKind::Other, EAGAIN, "still locked by another save"};
    }
    void Release() override {}

private:
    int m_busy;
    std::function<void()> m_whileBusy;
};

TEST_F(ConcurrentSaveTest, ABusyLockIsWaitedForThroughTheSeamWithNoSecondSaveOrCloseMeanwhile)
{
    const struct {
        int busyTries;
        bool saved;
        std::size_t waits;
    } cases[] = {{0, true, 0}, {3, true, 1}, {-1, false, 1}};
    for (const auto& c : cases) {
        SaveFromElsewhere(u"a");
        Window w(*this, u"mine");
        int refused = 0, busyTries = 0;
        w.doc.SetSaveLockMaker([&] {
            return std::make_unique<ScriptedLock>(c.busyTries, [&] {
                ++busyTries;
                refused += w.doc.IsSaving() && !w.doc.DoFileSave() && !w.doc.SaveModified() &&
                           !w.doc.OpenDocumentFile(QString());
            });
        });
        if (!c.saved)
            w.seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
        EXPECT_EQ(w.doc.DoFileSave(), c.saved) << c.busyTries;
        EXPECT_FALSE(w.doc.IsSaving());
        EXPECT_EQ(refused, busyTries) << "every save, open or close in the wait refused";
        EXPECT_EQ(w.doc.IsModified(), !c.saved);
        EXPECT_EQ(Stored(), c.saved ? (Names{u"a", u"mine"}) : Names{u"a"});
        ASSERT_EQ(w.seam.Waits().size(), c.waits);
        if (c.waits) {
            EXPECT_EQ(w.seam.Waits()[0].request.text, QStringLiteral("Waiting for another administrator's save..."));
            EXPECT_EQ(w.seam.Waits()[0].request.limit, std::chrono::seconds(5));
        }
        if (!c.saved) {
            ASSERT_EQ(w.seam.MessageTexts().size(), 2);
            EXPECT_TRUE(w.seam.MessageTexts()[0].endsWith(
                QStringLiteral("QLNData.lock: still locked by another save after 5 seconds; nothing was saved")))
                << w.seam.MessageTexts()[0].toStdString();
            EXPECT_EQ(w.seam.MessageTexts()[1],
                      QStringLiteral("Could not save data configuration file\nPlease retry saving the file later"));
        }
    }
}

} // namespace
