#include "app/recent_file_list.h"

#include <QSettings>

namespace app {

namespace {

const char* const kSection = "Recent File List";

QString Key(int index) { return QStringLiteral("File%1").arg(index + 1); }

} // namespace

void RecentFileList::Load(QSettings& settings)
{
    m_entries.clear();
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < m_size; ++i) {
        const QString path = settings.value(Key(i)).toString();
        if (!path.isEmpty() && !m_entries.contains(path))
            m_entries << path;
    }
    settings.endGroup();
}

void RecentFileList::Save(QSettings& settings) const
{
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < m_size; ++i) {
        if (i < m_entries.size())
            settings.setValue(Key(i), m_entries[i]);
        else
            settings.remove(Key(i));
    }
    settings.endGroup();
}

void RecentFileList::Add(const QString& path)
{
    if (path.isEmpty() || m_size <= 0)
        return;
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > m_size)
        m_entries.removeLast();
}

} // namespace app
