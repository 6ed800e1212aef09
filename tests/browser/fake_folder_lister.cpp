#include "fake_folder_lister.h"

#include <cerrno>

namespace browsertest {

void FakeFolderLister::Set(const QString& folder, Script script)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scripts[folder] = std::move(script);
}

void FakeFolderLister::Release()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_permits;
    m_wake.notify_all();
}

bool FakeFolderLister::SawCancel() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sawCancel;
}

int FakeFolderLister::Listings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_listings;
}

bool FakeFolderLister::WaitForPermit(const std::function<bool()>& cancelled)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_permits == 0) {
        if (cancelled()) {
            m_sawCancel = true;
            return false;
        }
        m_wake.wait_for(lock, std::chrono::milliseconds(2));
    }
    --m_permits;
    return true;
}

int FakeFolderLister::list(const QString& folder, const std::function<void(std::vector<FileEntry>&&)>& batch,
                           const std::function<bool()>& cancelled)
{
    Script script;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_listings;
        auto it = m_scripts.find(folder);
        if (it == m_scripts.end())
            return ENOENT;
        script = it->second;
    }
    for (std::size_t i = 0; i < script.batches.size(); ++i) {
        if ((script.gated && i > 0 && !WaitForPermit(cancelled)) || cancelled())
            return ECANCELED;
        batch(std::vector<FileEntry>(script.batches[i]));
    }
    if (script.hang) {
        WaitForPermit(cancelled);
        return ECANCELED;
    }
    return script.error;
}

FileEntry File(const QString& name, qint64 size, qint64 mtimeMs)
{
    return {name, size, mtimeMs, false, false, name.startsWith(QLatin1Char('.'))};
}

FileEntry Dir(const QString& name, qint64 mtimeMs)
{
    return {name, 0, mtimeMs, true, false, name.startsWith(QLatin1Char('.'))};
}

QStringList Names(const browser::FolderModel& model)
{
    QStringList names;
    for (int r = 0; r < model.rowCount(); ++r)
        names << model.index(r, 0).data().toString();
    return names;
}

} // namespace browsertest
