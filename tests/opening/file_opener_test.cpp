#include "opening/file_opener.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

namespace {

class FileOpenerTest : public testing::Test {
protected:
    fs::path dir = fs::canonical(testfiles::ScratchDir("opener"));
    fs::path table = dir / "open-with.conf";

    opening::OpenDecision Open(const fs::path& file) const
    {
        return opening::DecideOpen(QUrl::fromLocalFile(QString::fromStdString(file.string())), table);
    }
};

} // namespace

TEST_F(FileOpenerTest, TypeFromNameAndContentPicksTheLine)
{
    testfiles::Put(table, "application/pdf /usr/bin/pdfviewer --page 1\n"
                          "image/* /usr/bin/imageviewer\n"
                          "x-scheme-handler/https /usr/bin/browser --url=%f\n");
    testfiles::Put(dir / "report.pdf", "%PDF-1.4\n");
    testfiles::Put(dir / "scan", "%PDF-1.4\n");  // no name ending: the content tells
    testfiles::Put(dir / "photo.png", std::string("\x89PNG\r\n\x1a\n", 8));
    testfiles::Put(dir / "note.txt", "hello");

    const struct {
        fs::path file;
        Words argv;
    } cases[] = {
        {dir / "report.pdf", {"/usr/bin/pdfviewer", "--page", "1", (dir / "report.pdf").string()}},
        {dir / "scan", {"/usr/bin/pdfviewer", "--page", "1", (dir / "scan").string()}},
        {dir / "photo.png", {"/usr/bin/imageviewer", (dir / "photo.png").string()}},
        {dir / "note.txt", {}},
    };
    for (const auto& c : cases) {
        const auto decision = Open(c.file);
        EXPECT_EQ(decision.argv, c.argv) << c.file;
        if (!c.argv.empty()) {
            EXPECT_EQ(decision.workingDirectory, dir.string());
        }
    }

    const auto web = opening::DecideOpen(QUrl("https://example.org/a b?q=1"), table);
    EXPECT_EQ(web.argv, (Words{"/usr/bin/browser", "--url=https://example.org/a%20b?q=1"}));
    EXPECT_TRUE(web.workingDirectory.empty());
    EXPECT_TRUE(opening::DecideOpen(QUrl("ftp://example.org/"), table).argv.empty());
}

TEST_F(FileOpenerTest, NothingListedOrNoTableTellsTheTypeAndStartsNothing)
{
    testfiles::Put(dir / "note.txt", "hello");
    ::mkfifo((dir / "pipe.txt").c_str(), 0600);
    const struct {
        const char* tableText;  // null: no table at all
        fs::path file;
    } cases[] = {
        {nullptr, dir / "note.txt"},
        {"image/* /usr/bin/imageviewer\n", dir / "note.txt"},
        {"'broken\n", dir / "note.txt"},
        {"image/* /usr/bin/imageviewer\n", dir / "pipe.txt"},  // never waits on the pipe
    };
    for (const auto& c : cases) {
        fs::remove(table);
        if (c.tableText)
            testfiles::Put(table, c.tableText);
        const auto decision = Open(c.file);
        EXPECT_TRUE(decision.argv.empty()) << c.file;
        EXPECT_EQ(decision.refusal,
                  QStringLiteral("No program is set up to open files of type %1. Ask your administrator.")
                      .arg(decision.typeText));
        EXPECT_FALSE(decision.typeText.isEmpty());
    }
    // A table that is a directory or a FIFO is no table either.
    fs::remove(table);
    ::mkfifo(table.c_str(), 0600);
    EXPECT_TRUE(Open(dir / "note.txt").argv.empty());
}

TEST(FileOpener, CannotStartNamesTheProgramAndTheReason)
{
    opening::OpenDecision decision;
    decision.argv = {"/usr/bin/gone", "/srv/a.pdf"};
    decision.typeText = QStringLiteral("PDF document");
    EXPECT_EQ(opening::CannotStartText(decision, ENOENT),
              QStringLiteral("The program /usr/bin/gone, set up to open files of type PDF document, cannot be "
                             "started: No such file or directory. Ask your administrator."));
}
