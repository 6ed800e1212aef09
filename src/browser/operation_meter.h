#pragma once
#include <cstdint>
#include <mutex>

#include <QString>

namespace browser {

// How far a file operation is, as the progress window shows it.
struct OperationProgress {
    bool counting = true;  // the totals are not known yet
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    QString current;  // the entry at hand
};

// Written by the worker doing the operation, read by the window showing it.
class OperationMeter {
public:
    void SetTotals(std::uint64_t files, std::uint64_t bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress.counting = false;
        m_progress.filesTotal = files;
        m_progress.bytesTotal = bytes;
    }
    void Begin(const QString& current)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress.current = current;
        m_fileBytes = 0;
    }
    // The bytes of the entry at hand so far.
    void SetFileBytes(std::uint64_t bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fileBytes = bytes;
    }
    // Entries finished (a folder moved whole counts all it holds).
    void Done(std::uint64_t files, std::uint64_t bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress.filesDone += files;
        m_progress.bytesDone += bytes;
        m_fileBytes = 0;
    }
    OperationProgress Snapshot() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        OperationProgress p = m_progress;
        p.bytesDone += m_fileBytes;
        return p;
    }

private:
    mutable std::mutex m_mutex;
    OperationProgress m_progress;
    std::uint64_t m_fileBytes = 0;
};

} // namespace browser
