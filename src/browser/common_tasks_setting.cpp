#include "browser/common_tasks_setting.h"

#include <QSettings>

namespace browser {

namespace {

const char kKey[] = "ShellState/ShowCommonTasks";


} // namespace

bool readShowCommonTasks()
{
    return QSettings(QStringLiteral("Varnel Software"), QStringLiteral("Quillon")).value(QLatin1String(kKey), false).toBool();
}

void writeShowCommonTasks(bool show)
{
    QSettings settings(QStringLiteral("Varnel Software"), QStringLiteral("Quillon"));
    settings.setValue(QLatin1String(kKey), show);
}

} // namespace browser
