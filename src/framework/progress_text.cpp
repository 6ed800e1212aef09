#include "framework/progress_text.h"

#include <algorithm>

#include <QCoreApplication>
#include <QLocale>

namespace framework {

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("ProgressText", text);
}

QString Counted(int n, const char* one, const char* many)
{
    return Tr(n == 1 ? one : many).arg(n);
}

} // namespace

QString SizeText(std::uint64_t bytes)
{
    return QLocale().formattedDataSize(static_cast<qint64>(bytes));
}

QString CountText(std::uint64_t n)
{
    return QLocale().toString(qulonglong(n));
}

QString FilesAndBytesText(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                          std::uint64_t bytesTotal)
{
    return Tr("%1 of %2 files, %3 of %4")
        .arg(CountText(filesDone), CountText(filesTotal), SizeText(bytesDone), SizeText(bytesTotal));
}

QString ItemsText(std::uint64_t done, std::uint64_t total)
{
    return Tr("%1 of %2 items").arg(CountText(done), CountText(total));
}

QString SpeedText(std::uint64_t bytesPerSecond)
{
    return Tr("%1/s").arg(SizeText(bytesPerSecond));
}

QString TimeLeftText(double seconds)
{
    if (seconds < 60)
        return Counted(std::max(1, int(seconds + 0.5)), "about %1 second left", "about %1 seconds left");
    if (seconds < 3600)
        return Counted(int(seconds / 60 + 0.5), "about %1 minute left", "about %1 minutes left");
    return Counted(int(seconds / 3600 + 0.5), "about %1 hour left", "about %1 hours left");
}

QString RateText(const QString& speed, const QString& timeLeft)
{
    if (speed.isEmpty() || timeLeft.isEmpty())
        return speed + timeLeft;
    return Tr("%1, %2").arg(speed, timeLeft);
}

} // namespace framework
