#pragma once
#include <cstdint>

#include <QString>

// The texts both progress windows (the browser's file operations and the
// transfer tool's copies) show, so that they read alike. Qt Core only.
namespace framework {

// "1.5 MB", as the locale writes sizes.
QString SizeText(std::uint64_t bytes);
// "1,234", as the locale writes counts.
QString CountText(std::uint64_t n);
// "3 of 10 files, 1.0 MB of 2.0 MB".
QString FilesAndBytesText(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                          std::uint64_t bytesTotal);
// "3 of 10 items".
QString ItemsText(std::uint64_t done, std::uint64_t total);
// "1.0 MB/s".
QString SpeedText(std::uint64_t bytesPerSecond);
// "about 5 seconds left", in seconds, minutes or hours.
QString TimeLeftText(double seconds);
// The speed and the time left, either of which may be empty: "1.0 MB/s,
// about 5 seconds left".
QString RateText(const QString& speed, const QString& timeLeft);

} // namespace framework
