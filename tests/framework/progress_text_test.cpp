#include <QLocale>
#include <gtest/gtest.h>

#include "framework/progress_text.h"

using namespace framework;

// The texts both progress windows show, in an English locale.
TEST(ProgressText, CountsSizesSpeedAndTimeLeft)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        QString text, expected;
    } cases[] = {
        {FilesAndBytesText(3, 1234, 1000, 2 * 1024 * 1024), "3 of 1,234 files, 1,000 bytes of 2.00 MiB"},
        {ItemsText(0, 7), "0 of 7 items"},
        {SpeedText(1536), "1.50 KiB/s"},
        {TimeLeftText(0.2), "about 1 second left"},
        {TimeLeftText(59), "about 59 seconds left"},
        {TimeLeftText(90), "about 2 minutes left"},
        {TimeLeftText(3600), "about 1 hour left"},
        {RateText("1 KB/s", "about 1 second left"), "1 KB/s, about 1 second left"},
        {RateText("", "about 1 second left"), "about 1 second left"},
        {RateText("1 KB/s", ""), "1 KB/s"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text.toStdString(), c.expected.toStdString());
}
