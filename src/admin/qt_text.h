#pragma once
#include <QString>
#include <string>

// The records keep UTF-16 texts; the dialogs show QStrings.
namespace admin {

inline QString ToQString(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::u16string ToU16(const QString& s) { return s.toStdU16String(); }

} // namespace admin
