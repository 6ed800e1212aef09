#include "app/command_line_words.h"

namespace app {

CommandLineInfo ParseCommandLine(const QStringList& arguments)
{
    CommandLineInfo info;
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('/')) || argument.startsWith(QLatin1Char('-'))) {
            info.switches << argument.mid(1);
            continue;
        }
        if (info.fileName.isEmpty())
            info.fileName = argument;
    }
    return info;
}

bool IsServiceMode(const CommandLineInfo& info)
{
    return info.fileName.compare(QLatin1String("service"), Qt::CaseInsensitive) == 0;
}

} // namespace app
