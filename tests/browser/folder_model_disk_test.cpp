#include "browser/folder_model.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "browser/thumbnail_cache.h"
#include "browser/thumbstrip_preview.h"
#include "fake_folder_lister.h"
#include "support/temp_files.h"
#include "support/test_application.h"

namespace {

using browser::FolderModel;
using browsertest::Names;
using browsertest::WaitFor;

// Empty on every run, also when the tests are repeated.
QString Scratch(const std::string& name)
{
    std::filesystem::remove_all(testfiles::ScratchDir(name));
    return QString::fromStdString(testfiles::ScratchDir(name).string());
}

TEST(FolderModelDisk, ChangesOnDiskShowUp)
{
    testsupport::TestApplication();
    const QString dir = Scratch("watched");
    testfiles::Put((dir + "/a.txt").toStdString(), "a");
    testfiles::Put((dir + "/c.txt").toStdString(), "c");
    FolderModel model;
    model.setFolder(dir);
    ASSERT_TRUE(WaitFor([&] { return Names(model) == QStringList({"a.txt", "c.txt"}); }));
    const QPersistentModelIndex selected = model.indexOfName("c.txt");
    testfiles::Put((dir + "/b.txt").toStdString(), "b");
    QFile::remove(dir + "/a.txt");
    ASSERT_TRUE(WaitFor([&] { return Names(model) == QStringList({"b.txt", "c.txt"}); }));
    EXPECT_EQ(selected.data().toString(), "c.txt");
}

TEST(FolderModelDisk, ASystemListingReportsAMissingFolder)
{
    testsupport::TestApplication();
    FolderModel model;
    int error = 0;
    QObject::connect(&model, &FolderModel::loadFailed, [&](int e, const QString&) { error = e; });
    model.setFolder(Scratch("parent") + "/missing");
    ASSERT_TRUE(WaitFor([&] { return error != 0; }));
    EXPECT_EQ(error, ENOENT);
}

TEST(FolderModelDisk, PreviewComesLaterAndIsShared)
{
    testsupport::TestApplication();
    const QString cacheHome = Scratch("cache-home");
    qputenv("XDG_CACHE_HOME", cacheHome.toUtf8());
    const QString dir = Scratch("pictures");
    QImage picture(400, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(dir + "/wide.png"));
    testfiles::Put((dir + "/notes.txt").toStdString(), "x");
    // A reader of either would wait for a writer for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "/x.png").constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "/y.png").constData(), 0600), 0);
    FolderModel model;
    model.setPreviewSize({64, 64});
    model.setFolder(dir);
    ASSERT_TRUE(WaitFor([&] { return model.rowCount() == 4 && !model.isLoading(); }));
    const QModelIndex wide = model.indexOfName("wide.png");
    EXPECT_TRUE(model.data(model.indexOfName("notes.txt"), FolderModel::PreviewRole).isNull());
    EXPECT_TRUE(model.data(model.indexOfName("x.png"), FolderModel::PreviewRole).isNull());
    EXPECT_TRUE(model.data(model.indexOfName("y.png"), FolderModel::PreviewRole).isNull());
    EXPECT_TRUE(model.data(wide, FolderModel::PreviewRole).isNull());
    ASSERT_TRUE(WaitFor([&] { return !model.data(wide, FolderModel::PreviewRole).isNull(); }));
    EXPECT_EQ(model.data(wide, FolderModel::PreviewRole).value<QImage>().size(), QSize(64, 32));
    const QString shared = browser::ThumbnailCache(cacheHome + "/thumbnails")
                               .ThumbnailPath(dir + "/wide.png", browser::ThumbnailCache::Flavor::Normal);
    EXPECT_EQ(QImage(shared).size(), QSize(128, 64));
    // The large picture reads on the same pool, and the pipe blocks it no more.
    browser::ThumbstripPreview strip(model.previews());
    bool shown = false;
    QObject::connect(&strip, &browser::ThumbstripPreview::imageShown, [&] { shown = true; });
    strip.ShowItem(dir + "/x.png", "x.png", {}, true);
    strip.ShowItem(dir + "/wide.png", "wide.png", {}, true);
    ASSERT_TRUE(WaitFor([&] { return shown; }));
    EXPECT_EQ(strip.ShownPath(), dir + "/wide.png");
    qunsetenv("XDG_CACHE_HOME");
}

} // namespace
