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

Entry examine(const QString& path)
{
    const QFileInfo info(path);
    Entry e;
    e.isLink = info.isSymLink();
    e.exists = e.isLink || info.exists();
    e.isDir = !e.isLink && info.isDir();
    e.isFile = !e.isLink && info.isFile();
    return e;
}

QString join(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString systemText(int error)
{
    return QString::fromStdString(platform::GetSystemErrorText(error));
}

// By the exact text: another letter case is another folder here.
bool isSameOrBelow(const QString& folder, const QString& path)
{
    const QString outer = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString inner = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return inner == outer || inner.startsWith(outer.endsWith(QLatin1Char('/')) ? outer : outer + QLatin1Char('/'));
}

QString errorText(const platform::FileError& e)
{
    return e.message.empty() ? systemText(e.code) : QString::fromStdString(e.message);
}

QString translated(const char* text)
{
    return QCoreApplication::translate("browser::FileTransfer", text);
}

struct Tally {
    std::uint64_t files = 0;  // anything but a folder
    std::uint64_t bytes = 0;
};

// What an entry holds, links not followed.
Tally count(const QString& path, const std::function<bool()>& stopped)
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

QString FileTransfer::freeCopyName(const QString& folder, const QString& name, bool isFolder)
{
    QString base = name;
    QString suffix;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (!isFolder && dot > 0) {
        base = name.left(dot);
        suffix = name.mid(dot);
    }
    for (int n = 1;; ++n) {
        const QString candidate = n == 1 ? translated("%1 (copy)%2").arg(base, suffix)
                                         : translated("%1 (copy %2)%3").arg(base, QString::number(n), suffix);
        if (!examine(join(folder, candidate)).exists)
            return candidate;
    }
}

bool FileTransfer::run(const QStringList& sources, const QString& targetFolder, bool move)
{
    m_cancelled = false;
    if (m_meter) {
        Tally total;
        for (const QString& source : sources) {
            const Tally one = count(source, m_stopped);
            total.files += one.files;
            total.bytes += one.bytes;
        }
        m_meter->setTotals(total.files, total.bytes);
    }
    bool ok = true;
    for (const QString& source : sources) {
        if (m_cancelled)
            break;
        const QFileInfo info(source);
        const QString name = info.fileName();
        if (name.isEmpty()) {
            fail(translated("Cannot copy \"%1\": %2").arg(source, systemText(EINVAL)));
            ok = false;
            continue;
        }
        const bool sameFolder = QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(targetFolder);
        if (sameFolder && move)
            continue;
        const QString target = sameFolder ? join(targetFolder, freeCopyName(targetFolder, name, examine(source).isDir))
                                          : join(targetFolder, name);
        const Outcome outcome = transferOne(source, target, move);
        if (outcome == Outcome::Failed || outcome == Outcome::Cancelled)
            ok = false;
    }
    return ok && !m_cancelled;
}

FileTransfer::Outcome FileTransfer::transferOne(const QString& source, const QString& target, bool move)
{
    if (stopped()) {
        m_cancelled = true;
        return Outcome::Cancelled;
    }
    const char* cannot = move ? "Cannot move \"%1\": %2" : "Cannot copy \"%1\": %2";
    const Entry from = examine(source);
    if (!from.exists) {
        fail(translated(cannot).arg(source, systemText(ENOENT)));
        return Outcome::Failed;
    }
    if (from.isDir && isSameOrBelow(source, target)) {
        fail(translated("Cannot put the folder \"%1\" into itself.").arg(source));
        return Outcome::Failed;
    }
    bool replace = false;
    if (const Entry to = examine(target); to.exists) {
        const bool folders = from.isDir && to.isDir;
        if (!folders && (from.isDir || to.isDir)) {
            fail(translated("Cannot replace \"%1\": one of the two is a folder and the other is not.").arg(target));
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
            return mergeFolder(source, target, move);
        replace = true;
    }
    if (move) {
        const int error = platform::RenamePath(native(source), native(target), replace);
        if (error == 0) {
            countDone(target);
            return Outcome::Done;
        }
        if (error != EXDEV) {
            fail(translated(cannot).arg(source, systemText(error)));
            return Outcome::Failed;
        }
    }
    const Outcome copied = copyEntry(source, target, replace);
    if (copied != Outcome::Done || !move)
        return copied;
    return removeSource(source);
}

FileTransfer::Outcome FileTransfer::copyEntry(const QString& source, const QString& target, bool replace)
{
    const Entry from = examine(source);
    if (from.isLink)
        return copyLink(source, target, replace);
    if (from.isDir)
        return copyFolderNew(source, target);
    if (from.isFile)
        return copyFileInto(source, target, replace);
    // Pipes and devices: reading one could block for ever.
    fail(translated("Cannot copy \"%1\": it is not a regular file.").arg(source));
    return Outcome::Failed;
}

FileTransfer::Outcome FileTransfer::copyFileInto(const QString& source, const QString& target, bool replace)
{
    const QFileInfo sourceInfo(source);
    const QFileInfo targetInfo(target);
    platform::Folder from;
    platform::OpenFile in;
    platform::EntryInfo info;
    // Never through a link: one swapped in for the source since is refused.
    platform::FileError e = platform::Folder::Open(native(sourceInfo.path()), from);
    if (!e)
        e = in.OpenForReading(from, native(sourceInfo.fileName()), false, info);
    if (e) {
        fail(translated("Cannot copy \"%1\": %2").arg(source, errorText(e)));
        return Outcome::Failed;
    }
    // Written beside the target and renamed over its name, so that a link at
    // the name is replaced, never written through.
    platform::Folder into;
    e = platform::Folder::Open(native(targetInfo.path()), into);
    if (!e) {
        if (m_meter)
            m_meter->begin(source);
        // Asked between chunks, so that Cancel does not wait for a big file.
        auto progress = [this](std::uint64_t copied) {
            if (m_meter)
                m_meter->setFileBytes(copied);
            return !stopped();
        };
        const std::string hidden = native(QLatin1Char('.') + targetInfo.fileName()) + ".part-";
        e = platform::CopyFileInto(in, info, into, native(targetInfo.fileName()), replace,
                                   [&hidden] { return hidden + platform::RandomHex(6); }, progress);
    }
    if (e.kind == platform::FileErrorKind::Cancelled) {
        m_cancelled = true;
        return Outcome::Cancelled;
    }
    if (e) {
        fail(translated("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, errorText(e)));
        return Outcome::Failed;
    }
    if (m_meter)
        m_meter->done(1, info.size);
    return Outcome::Done;
}

FileTransfer::Outcome FileTransfer::copyLink(const QString& source, const QString& target, bool replace)
{
    std::error_code ec;
    const std::filesystem::path pointsTo = std::filesystem::read_symlink(native(source), ec);
    if (ec) {
        fail(translated("Cannot copy \"%1\": %2").arg(source, systemText(ec.value())));
        return Outcome::Failed;
    }
    const QFileInfo targetInfo(target);
    const QString made = replace ? join(targetInfo.path(), QLatin1Char('.') + targetInfo.fileName() + QStringLiteral(".link"))
                                 : target;
    std::filesystem::create_symlink(pointsTo, native(made), ec);
    int error = ec ? ec.value() : 0;
    if (!error && replace && (error = platform::RenamePath(native(made), native(target), true)) != 0)
        QFile::remove(made);
    if (error) {
        fail(translated("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, systemText(error)));
        return Outcome::Failed;
    }
    if (m_meter)
        m_meter->done(1, 0);
    return Outcome::Done;
}

FileTransfer::Outcome FileTransfer::copyFolderNew(const QString& source, const QString& target)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isReadable() || !sourceInfo.isExecutable()) {
        fail(translated("Cannot copy \"%1\": %2").arg(source, systemText(EACCES)));
        return Outcome::Failed;
    }
    const QFileInfo targetInfo(target);
    QTemporaryDir temporary(join(targetInfo.path(), QLatin1Char('.') + targetInfo.fileName() + QStringLiteral(".part-XXXXXX")));
    if (!temporary.isValid()) {
        fail(translated("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, temporary.errorString()));
        return Outcome::Failed;
    }
    const QFileInfoList children =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    // Reports name the folder being made, never its temporary name.
    m_shownAs.append({temporary.path(), target});
    for (const QFileInfo& child : children) {
        if (stopped()) {
            m_shownAs.removeLast();
            m_cancelled = true;
            return Outcome::Cancelled;
        }
        const Outcome outcome = copyEntry(child.filePath(), join(temporary.path(), child.fileName()), false);
        if (outcome != Outcome::Done) {
            m_shownAs.removeLast();
            return outcome;
        }
    }
    m_shownAs.removeLast();
    QFile::setPermissions(temporary.path(), sourceInfo.permissions());
    if (const int error = platform::RenamePath(native(temporary.path()), native(target), false); error != 0) {
        fail(translated("Cannot copy \"%1\" to \"%2\": %3").arg(source, target, systemText(error)));
        return Outcome::Failed;
    }
    temporary.setAutoRemove(false);
    return Outcome::Done;
}

FileTransfer::Outcome FileTransfer::mergeFolder(const QString& source, const QString& target, bool move)
{
    bool whole = true;
    bool failed = false;
    const QFileInfoList children =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& child : children) {
        const Outcome outcome = transferOne(child.filePath(), join(target, child.fileName()), move);
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

FileTransfer::Outcome FileTransfer::removeSource(const QString& source)
{
    const Entry from = examine(source);
    const bool removed = from.isDir ? QDir(source).removeRecursively() : QFile::remove(source);
    if (removed)
        return Outcome::Done;
    fail(translated("\"%1\" was copied, but the original could not be removed.").arg(source));
    return Outcome::Failed;
}

void FileTransfer::countDone(const QString& path)
{
    if (!m_meter)
        return;
    m_meter->begin(path);
    const Tally moved = count(path, {});
    m_meter->done(moved.files, moved.bytes);
}

void FileTransfer::fail(const QString& message)
{
    QString shown = message;
    for (qsizetype i = m_shownAs.size() - 1; i >= 0; --i)
        shown.replace(m_shownAs[i].first, m_shownAs[i].second);
    if (m_report)
        m_report(shown);
}

} // namespace browser
