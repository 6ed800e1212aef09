#pragma once
#include <QString>
#include <QStringList>

namespace app {

// What the program reads from its command line: the arguments after the
// program name, as Qt leaves them once it has taken its own options. A word
// starting with "/" or "-" is a switch; the first word that is not lands in
// the file name. No file name is ever opened: the configuration is always
// the one beside the executable.
struct CommandLineInfo {
    QString fileName;
    QStringList switches;  // without their "/" or "-"
};

CommandLineInfo ParseCommandLine(const QStringList& arguments);

// Whether the session start duties are on: the file name is "service" in
// any mix of capitals and small letters.
bool IsServiceMode(const CommandLineInfo& info);

} // namespace app
