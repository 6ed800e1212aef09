#pragma once
#include <condition_variable>
#include <map>
#include <mutex>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>

#include "browser/folder_lister.h"
#include "browser/folder_model.h"

namespace browsertest {

using browser::FileEntry;

// A lister that hands over scripted batches. A gated script waits for
// Release() before each batch after the first; a hanging one blocks until
// cancelled, like a dead share.
class FakeFolderLister : public browser::FolderLister {
public:
    struct Script {
        std::vector<std::vector<FileEntry>> batches;
        int error = 0;
        bool gated = false;
        bool hang = false;
    };

    void Set(const QString& folder, Script script);
    void Release();
    bool SawCancel() const;
    int Listings() const;

    int list(const QString& folder, const std::function<void(std::vector<FileEntry>&&)>& batch,
             const std::function<bool()>& cancelled) override;

private:
    bool WaitForPermit(const std::function<bool()>& cancelled);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<QString, Script> m_scripts;
    int m_permits = 0;
    int m_listings = 0;
    bool m_sawCancel = false;
};

FileEntry File(const QString& name, qint64 size = 0, qint64 mtimeMs = 0);
FileEntry Dir(const QString& name, qint64 mtimeMs = 0);

// Runs the event loop until `done` holds; false after ten seconds.
template <typename Pred>
bool WaitFor(Pred done)
{
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

QStringList Names(const browser::FolderModel& model);

} // namespace browsertest
