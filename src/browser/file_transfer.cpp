#include "browser/file_transfer.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include "browser/operation_meter.h"
#include "platform/path_entries.h"
#include "platform/system_error.h"
#include "platform/tree_files.h"

namespace browser {

namespace {

struct Entry {
    bool exists = false;
    bool isLink = false;
    bool isDir = false;   // a real folder, not a link to one
    bool isFile = false;  // a regular file, not a link to one
};

Entry Examine(const QString& path)
{
    const QFileInfo info(path);
    Entry e;
    e.isLink = info.isSymLink();
    e.exists = e.isLink || info.exists();
    e.isDir = !e.isLink && info.isDir();
    e.isFile = !e.isLink && info.isFile();
    return e;
}

QString Join(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

std::string Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString SystemText(int error)
{
    return QString::fromStdString(platform::GetSystemErrorText(error));
}

// By the exact text: another letter case is another folder here.
bool IsSameOrBelow(const QString& folder, const QString& path)
{
    const QString outer = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString inner = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return inner == outer || inner.startsWith(outer.endsWith(QLatin1Char('/')) ? outer : outer + QLatin1Char('/'));
}

QString ErrorText(const platform::FileError& e)
{
    return e.message.empty() ? SystemText(e.code) : QString::fromStdString(e.message);
}

QString Tr(const char* text)
{
    return QCoreApplication::translate("browser::FileTransfer", text);
}

struct Tally {
    std::uint64_t files = 0;  // anything but a folder
    std::uint64_t bytes = 0;
};

// What an entry holds, links not followed.
Tally Count(const QString& path, const std::function<bool()>& stopped)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir())
        return {1, !info.isSymLink() && info.isFile() ? std::uint64_t(info.size()) : 0};
    Tally tally;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext() && !(stopped && stopped())) {
        const QFileInfo entry = it.nextFileInfo();
        if (entry.isDir() && !entry.isSymLink())
            continue;
        ++tally.files;
        if (entry.isFile() && !entry.isSymLink())
            tally.bytes += std::uint64_t(entry.size());
    }
    return tally;
}

} // namespace

FileTransfer::FileTransfer(AskConflict ask, Report report, std::function<bool()> stopped)
    : m_ask(std::move(ask)), m_report(std::move(report)), m_stopped(std::move(stopped))
{
}

QString FileTransfer::FreeCopyName(const QString& folder, const QString& name, bool isFolder)
{
    QString base = name;
    QString suffix;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (!isFolder && dot > 0) {
        base = name.left(dot);
        suffix = name.mid(dot);
    }
    for (int n = 1;; ++n) {
        const QString candidate = n == 1 ? Tr("%1 (copy)%2").arg(base, suffix)
                                         : Tr("%1 (copy %2)%3").arg(base, QString::number(n), suffix);
        if (!Examine(Join(folder, candidate)).exists)
            return candidate;
    }
}

bool FileTransfer::Run(const QStringList& sources, const QString& targetFolder, bool move)
{
    m_cancelled = false;
    if (m_meter) {
        Tally total;
        for (const QString& source : sources) {
            const Tally one = Count(source, m_stopped);
            total.files += one.files;
            total.bytes += one.bytes;
        }
        m_meter->SetTotals(total.files, total.bytes);
    }
    bool ok = true;
    for (const QString& source : sources) {
        if (m_cancelled)
            break;
        const QFileInfo info(source);
        const QString name = info.fileName();
        if (name.isEmpty()) {
            Fail(Tr("Cannot copy \"%1\": %2").arg(source, SystemText(EINVAL)));
            ok = false;
            continue;
        }
        const bool sameFolder = QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(targetFolder);
        if (sameFolder && move)
            continue;
        const QString target = sameFolder ? Join(targetFolder, FreeCopyName(targetFolder, name, Examine(source).isDir))
                                          : Join(targetFolder, name);
        const Outcome outcome = TransferOne(source, target, move);
        if (outcome == Outcome::Failed || outcome == Outcome::Cancelled)
            ok = false;
    }
    return ok && !m_cancelled;
}

FileTransfer::Outcome FileTransfer::TransferOne(const QString& source, const QString& target, bool move)
{
    if (Stopped()) {
        m_cancelled = true;
        return Outcome::Cancelled;
    }
    const char* cannot = move ? "Cannot move \"%1\": %2" : "Cannot copy \"%1\": %2";
    const Entry from = Examine(source);
    if (!from.exists) {
        Fail(Tr(cannot).arg(source, SystemText(ENOENT)));
        return Outcome::Failed;
    }
    if (from.isDir && IsSameOrBelow(source, target)) {
        Fail(Tr("Cannot put the folder \"%1\" into itself.").arg(source));
        return Outcome::Failed;
    }
    bool replace = false;
    if (const Entry to = Examine(target); to.exists) {
        const bool folders = from.isDir && to.isDir;
        if (!folders && (from.isDir || to.isDir)) {
            Fail(Tr("Cannot replace \"%1\": one of the two is a folder and the other is not.").arg(target));
            return Outcome::Failed;
        }
        switch (m_ask(target, folders)) {
        case ConflictAnswer::Skip:
            return Outcome::Skipped;
        case ConflictAnswer::Cancel:
            m_cancelled = true;
            return Outcome::Cancelled;
        case ConflictAnswer::Replace:
            break;
        }
        if (folders)
            return MergeFolder(source, target, move);
        replace = true;
    }
    if (move) {
        const int error = platform::RenamePath(Native(source), Native(target), replace);
        if (error == 0) {
            CountDone(target);
            return Outcome::Done;
        }
        if (error != EXDEV) {
            Fail(Tr(cannot).arg(source, SystemText(error)));
            return Outcome::Failed;
        }
    }
    const Outcome copied = CopyEntry(source, target, replace);
    if (copied != Outcome::Done || !move)
        return copied;
    return RemoveSource(source);
}

FileTransfer::Outcome FileTransfer::CopyEntry(const QString& source, const QString& target, bool replace)
{
    const Entry from = Examine(source);
    if (from.isLink)
        return CopyLink(source, target, replace);
    if (from.isDir)
        return CopyFolderNew(source, target);
    if (from.isFile)
        return CopyFileInto(source, target, replace);
    // Pipes and devices: reading one could block for ever.
    Fail(Tr("Cannot copy \"%1\": it is not a regular file.").arg(source));
    return Outcome::Failed;
}

FileTransfer::Outcome FileTransfer::CopyFileInto(const QString& source, const QString& target, bool replace)
{
    const QFileInfo sourceInfo(source);
    const QFileInfo targetInfo(target);
    platform::Folder from;
    platform::OpenFile in;
    platform::EntryInfo info;
    // Never through a link: one swapped in for the source since is refused.
    platform::FileError e = platform::Folder::Open(Native(sourceInfo.path()), from);
    if (!e)
        e = in.OpenForReading(from, Native(sourceInfo.fileName()), false, info);
    if (e) {
        Fail(Tr("Cannot copy \"%1\": %2").arg(source, ErrorText(e)));
        return Outcome::Failed;
    }
    // Written beside the target and renamed over its name, so that a link at
    // the name is replaced, never written through.
    platform::Folder into;
    e = platform::Folder::Open(Native(targetInfo.path()), into);
    if (!e) {
        if (m_meter)
            m_meter->Begin(source);
        // Asked between chunks, so that Cancel does not wait for a big file.
        auto progress = [this](std::uint64_t copied) {
            if (m_meter)
                m_meter->SetFileBytes(copied);
            return !Stopped();
        };
        const std::string hidden = Native(QLatin1Char('.') + targetInfo.fileName()) + ".part-";
        e = platform::CopyFileInto(in, info, into, Native(targetInfo.fileName()), replace,
                                   [&hidden] { return hidden + platform::RandomHex(6); }, progress);
    }
    if (e.kind == platform::FileErrorKind::Cancelled) {
        m_cancelled = true;
        return Outcome::Cancelled;
    }
    if (e) {
        Fail(Tr("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, ErrorText(e)));
        return Outcome::Failed;
    }
    if (m_meter)
        m_meter->Done(1, info.size);
    return Outcome::Done;
}

FileTransfer::Outcome FileTransfer::CopyLink(const QString& source, const QString& target, bool replace)
{
    std::error_code ec;
    const std::filesystem::path pointsTo = std::filesystem::read_symlink(Native(source), ec);
    if (ec) {
        Fail(Tr("Cannot copy \"%1\": %2").arg(source, SystemText(ec.value())));
        return Outcome::Failed;
    }
    const QFileInfo targetInfo(target);
    const QString made = replace ? Join(targetInfo.path(), QLatin1Char('.') + targetInfo.fileName() + QStringLiteral(".link"))
                                 : target;
    std::filesystem::create_symlink(pointsTo, Native(made), ec);
    int error = ec ? ec.value() : 0;
    if (!error && replace && (error = platform::RenamePath(Native(made), Native(target), true)) != 0)
        QFile::remove(made);
    if (error) {
        Fail(Tr("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, SystemText(error)));
        return Outcome::Failed;
    }
    if (m_meter)
        m_meter->Done(1, 0);
    return Outcome::Done;
}

FileTransfer::Outcome FileTransfer::CopyFolderNew(const QString& source, const QString& target)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isReadable() || !sourceInfo.isExecutable()) {
        Fail(Tr("Cannot copy \"%1\": %2").arg(source, SystemText(EACCES)));
        return Outcome::Failed;
    }
    const QFileInfo targetInfo(target);
    QTemporaryDir temporary(Join(targetInfo.path(), QLatin1Char('.') + targetInfo.fileName() + QStringLiteral(".part-XXXXXX")));
    if (!temporary.isValid()) {
        Fail(Tr("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, temporary.errorString()));
        return Outcome::Failed;
    }
    const QFileInfoList children =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    // Reports name the folder being made, never its temporary name.
    m_shownAs.append({temporary.path(), target});
    for (const QFileInfo& child : children) {
        if (Stopped()) {
            m_shownAs.removeLast();
            m_cancelled = true;
            return Outcome::Cancelled;
        }
        const Outcome outcome = CopyEntry(child.filePath(), Join(temporary.path(), child.fileName()), false);
        if (outcome != Outcome::Done) {
            m_shownAs.removeLast();
            return outcome;
        }
    }
    m_shownAs.removeLast();
    QFile::setPermissions(temporary.path(), sourceInfo.permissions());
    if (const int error = platform::RenamePath(Native(temporary.path()), Native(target), false); error != 0) {
        Fail(Tr("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, SystemText(error)));
        return Outcome::Failed;
    }
    temporary.setAutoRemove(false);
    return Outcome::Done;
}

FileTransfer::Outcome FileTransfer::MergeFolder(const QString& source, const QString& target, bool move)
{
    bool whole = true;
    bool failed = false;
    const QFileInfoList children =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& child : children) {
        const Outcome outcome = TransferOne(child.filePath(), Join(target, child.fileName()), move);
        if (outcome == Outcome::Cancelled)
            return outcome;
        whole = whole && outcome == Outcome::Done;
        failed = failed || outcome == Outcome::Failed;
    }
    // A moved folder goes once it is empty; what stayed behind keeps it.
    if (move && whole)
        QDir().rmdir(source);
    return failed ? Outcome::Failed : whole ? Outcome::Done : Outcome::Skipped;
}

FileTransfer::Outcome FileTransfer::RemoveSource(const QString& source)
{
    const Entry from = Examine(source);
    const bool removed = from.isDir ? QDir(source).removeRecursively() : QFile::remove(source);
    if (removed)
        return Outcome::Done;
    Fail(Tr("\"%1\" was copied, but the original could not be removed.").arg(source));
    return Outcome::Failed;
}

void FileTransfer::CountDone(const QString& path)
{
    if (!m_meter)
        return;
    m_meter->Begin(path);
    const Tally moved = Count(path, {});
    m_meter->Done(moved.files, moved.bytes);
}

void FileTransfer::Fail(const QString& message)
{
    QString shown = message;
    for (qsizetype i = m_shownAs.size() - 1; i >= 0; --i)
        shown.replace(m_shownAs[i].first, m_shownAs[i].second);
    if (m_report)
        m_report(shown);
}

} // namespace browser
