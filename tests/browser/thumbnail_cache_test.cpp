#include "browser/thumbnail_cache.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "support/temp_files.h"
#include "support/test_application.h"

namespace {

using browser::ThumbnailCache;
using Flavor = ThumbnailCache::Flavor;

int Mode(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

TEST(ThumbnailCache, NamesFollowTheSharedRules)
{
    const ThumbnailCache cache("/c/thumbnails");
    // The example of the freedesktop.org thumbnail rules.
    EXPECT_EQ(cache.thumbnailPath("/home/jens/photos/me.png", Flavor::Normal),
              "/c/thumbnails/normal/c6ee772d9e49320e97ec29a7eb5b1697.png");
    EXPECT_TRUE(cache.thumbnailPath("/a", Flavor::Large).startsWith("/c/thumbnails/large/"));
    EXPECT_EQ(ThumbnailCache::fileUri("/tmp/two words/ü.png"), "file:///tmp/two%20words/%C3%BC.png");
    const std::pair<QSize, Flavor> flavors[] = {
        {{128, 128}, Flavor::Normal}, {{96, 48}, Flavor::Normal}, {{129, 20}, Flavor::Large}, {{256, 256}, Flavor::Large}};
    for (const auto& [size, flavor] : flavors)
        EXPECT_EQ(ThumbnailCache::flavorFor(size), flavor) << size.width();
}

TEST(ThumbnailCache, StoredThumbnailIsPrivateAndChecked)
{
    testsupport::TestApplication();
    const QString root = QString::fromStdString(testfiles::ScratchDir("thumbs").string()) + "/cache/thumbnails";
    const ThumbnailCache cache(root);
    QImage thumb(16, 8, QImage::Format_ARGB32);
    thumb.fill(Qt::red);
    ASSERT_TRUE(cache.store("/pics/a.png", 1700000000, 1234, Flavor::Normal, thumb));
    const QString stored = cache.thumbnailPath("/pics/a.png", Flavor::Normal);
    EXPECT_EQ(Mode(stored), 0600);
    EXPECT_EQ(Mode(root + "/normal"), 0700);
    EXPECT_EQ(Mode(root), 0700);
    const struct {
        const char* what;
        QString path;
        qint64 mtime;
        bool valid;
    } cases[] = {
        {"same file and time", "/pics/a.png", 1700000000, true},
        {"file changed since", "/pics/a.png", 1700000001, false},
        {"other file", "/pics/b.png", 1700000000, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!cache.load(c.path, c.mtime, Flavor::Normal).isNull(), c.valid) << c.what;
    // A thumbnail copied under another file's name does not pass for it.
    QFile::copy(stored, cache.thumbnailPath("/pics/b.png", Flavor::Normal));
    EXPECT_TRUE(cache.load("/pics/b.png", 1700000000, Flavor::Normal).isNull());
    EXPECT_EQ(QFileInfo(stored).dir().entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(ThumbnailCache, FilesInsideTheCacheGetNone)
{
    const ThumbnailCache cache("/c/thumbnails");
    QImage thumb(4, 4, QImage::Format_RGB32);
    EXPECT_FALSE(cache.store("/c/thumbnails/normal/x.png", 1, 1, Flavor::Normal, thumb));
}

} // namespace
