#pragma once
#include <functional>

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace browser {

class OperationMeter;

// What to do about an entry whose name is already taken in the target.
enum class ConflictAnswer { Replace, Skip, Cancel };

// Copies or moves files and folders into a folder without ever losing one:
// a copy is written under a hidden temporary name and renamed into place
// once whole, a replaced file is swapped atomically, a move across file
// systems removes the source only after its copy is complete, and nothing
// is replaced unless the conflict question says so.
class FileTransfer {
public:
    // Asked for each taken name; `folders` when both are folders (a yes
    // merges them).
    using AskConflict = std::function<ConflictAnswer(const QString& targetPath, bool folders)>;
    // Told every failure, in words for the user.
    using Report = std::function<void(const QString& message)>;

    // `stopped`, when given, ends the transfer before the next entry once it
    // returns true.
    FileTransfer(AskConflict ask, Report report, std::function<bool()> stopped = {});

    // Counts the sources before the first entry and keeps `meter` up to
    // date; `stopped` is then also asked between the chunks of a file.
    void setMeter(OperationMeter* meter) { m_meter = meter; }

    // False when anything failed or the user cancelled; what was done stays
    // done. A copy into the source's own folder gets a free "(copy)" name; a
    // move there does nothing.
    bool run(const QStringList& sources, const QString& targetFolder, bool move);

    // "name (copy)", "name (copy 2)", ... before the suffix of a file, the
    // first that `folder` does not hold.
    static QString freeCopyName(const QString& folder, const QString& name, bool isFolder);

private:
    enum class Outcome { Done, Failed, Skipped, Cancelled };

    Outcome transferOne(const QString& source, const QString& target, bool move);
    Outcome copyEntry(const QString& source, const QString& target, bool replace);
    Outcome copyFileInto(const QString& source, const QString& target, bool replace);
    Outcome copyLink(const QString& source, const QString& target, bool replace);
    Outcome copyFolderNew(const QString& source, const QString& target);
    Outcome mergeFolder(const QString& source, const QString& target, bool move);
    Outcome removeSource(const QString& source);
    void fail(const QString& message);
    bool stopped() const { return m_stopped && m_stopped(); }
    void countDone(const QString& path);

    AskConflict m_ask;
    Report m_report;
    std::function<bool()> m_stopped;
    OperationMeter* m_meter = nullptr;
    bool m_cancelled = false;
    QList<QPair<QString, QString>> m_shownAs;  // temporary folder -> the folder it becomes
};

} // namespace browser
