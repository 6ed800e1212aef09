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
    void SetMeter(OperationMeter* meter) { m_meter = meter; }

    // False when anything failed or the user cancelled; what was done stays
    // done. A copy into the source's own folder gets a free "(copy)" name; a
    // move there does nothing.
    bool Run(const QStringList& sources, const QString& targetFolder, bool move);

    // "name (copy)", "name (copy 2)", ... before the suffix of a file, the
    // first that `folder` does not hold.
    static QString FreeCopyName(const QString& folder, const QString& name, bool isFolder);

private:
    enum class Outcome { Done, Failed, Skipped, Cancelled };

    Outcome TransferOne(const QString& source, const QString& target, bool move);
    Outcome CopyEntry(const QString& source, const QString& target, bool replace);
    Outcome CopyFileInto(const QString& source, const QString& target, bool replace);
    Outcome CopyLink(const QString& source, const QString& target, bool replace);
    Outcome CopyFolderNew(const QString& source, const QString& target);
    Outcome MergeFolder(const QString& source, const QString& target, bool move);
    Outcome RemoveSource(const QString& source);
    void Fail(const QString& message);
    bool Stopped() const { return m_stopped && m_stopped(); }
    void CountDone(const QString& path);

    AskConflict m_ask;
    Report m_report;
    std::function<bool()> m_stopped;
    OperationMeter* m_meter = nullptr;
    bool m_cancelled = false;
    QList<QPair<QString, QString>> m_shownAs;  // temporary folder -> the folder it becomes
};

} // namespace browser
