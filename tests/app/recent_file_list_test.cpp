#include <QSettings>
#include <gtest/gtest.h>

#include "app/recent_file_list.h"
#include "support/temp_files.h"

namespace {

TEST(RecentFileListTest, NewestFirstWithoutDuplicatesAndAtMostFour)
{
    app::RecentFileList list(4);
    for (const char* path : {"/a", "/b", "/c", "/b", "/d", "/e"})
        list.Add(path);
    EXPECT_EQ(list.Entries(), (QStringList{"/e", "/d", "/b", "/c"}));
    list.Add(QString());
    EXPECT_EQ(list.Entries().size(), 4);
}

TEST(RecentFileListTest, KeptInTheSettingsAsFileOneToFour)
{
    const QString file = QString::fromStdString((testfiles::ScratchDir("mru") / "settings.ini").string());
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("Recent File List/File4", "/stale");
        app::RecentFileList list(4);
        list.Add("/one");
        list.Add("/two");
        list.Save(settings);
    }
    QSettings settings(file, QSettings::IniFormat);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/two");
    EXPECT_EQ(settings.value("Recent File List/File2").toString(), "/one");
    EXPECT_FALSE(settings.contains("Recent File List/File4"));
    app::RecentFileList loaded(4);
    loaded.Load(settings);
    EXPECT_EQ(loaded.Entries(), (QStringList{"/two", "/one"}));
}

} // namespace
