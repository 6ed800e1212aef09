#include "browser/file_actions.h"

#include <cerrno>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "browser/operation_meter.h"
#include "browser/properties_dialog.h"
#include "framework/modal_seam.h"
#include "platform/files.h"
#include "platform/path_entries.h"
#include "platform/system_error.h"

namespace browser {

using framework::Answer;
using framework::MessageButtons;
using framework::MessageIcon;

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("browser::FileActions", text);
}

QString SystemText(int error)
{
    return QString::fromStdString(platform::GetSystemErrorText(error));
}

std::string Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool Exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

TrashFunction SystemTrash()
{
    return [](const QString& path) {
        // Qt makes the trash folder, but not the data folder that holds it,
        // which a new account does not have yet.
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        return QFile::moveToTrash(path);
    };
}

FileActions::FileActions(framework::ModalSeam& seam, QWidget* owner, TrashFunction trash)
    : m_seam(seam), m_owner(owner), m_trash(std::move(trash))
{
}

QString FileActions::CheckName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return Tr("A file name cannot be empty.");
    if (name.contains(QLatin1Char('/')))
        return Tr("A file name cannot contain the character /.");
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QChar(0)))
        return Tr("\"%1\" cannot be used as a name.").arg(name);
    return {};
}

void FileActions::Report(const QString& text)
{
    m_seam.Message(text, MessageButtons::Ok, MessageIcon::Warning, m_owner);
}

Answer FileActions::Ask(const QString& question)
{
    return m_seam.Message(question, MessageButtons::YesNoCancel, MessageIcon::Warning, m_owner);
}

bool FileActions::Rename(const QString& path, const QString& newName)
{
    const QFileInfo info(path);
    if (newName == info.fileName())
        return true;
    if (const QString why = CheckName(newName); !why.isEmpty()) {
        Report(Tr("Cannot rename \"%1\": %2").arg(info.fileName(), why));
        return false;
    }
    const QString target = QDir(info.path()).filePath(newName);
    int error = Exists(target) ? EEXIST : platform::RenamePath(Native(path), Native(target), false);
    if (error == EEXIST) {
        Report(Tr("Cannot rename \"%1\": a file or folder named \"%2\" already exists.").arg(info.fileName(), newName));
        return false;
    }
    if (error != 0) {
        Report(Tr("Cannot rename \"%1\": %2").arg(info.fileName(), SystemText(error)));
        return false;
    }
    return true;
}

bool FileActions::Delete(const QStringList& paths)
{
    if (paths.isEmpty())
        return true;
    if (!ConfirmDelete(paths))
        return false;
    return RemoveEntries(paths, m_trash,
                         {[this](const QString& text) { Report(text); },
                          [this](const QString& question) { return Ask(question); }, {}, {}, nullptr});
}

bool FileActions::ConfirmDelete(const QStringList& paths)
{
    if (paths.isEmpty())
        return false;
    const QString question = paths.size() == 1
        ? Tr("Are you sure you want to move \"%1\" to the Trash?").arg(QFileInfo(paths.first()).fileName())
        : Tr("Are you sure you want to move these %1 items to the Trash?").arg(paths.size());
    return m_seam.Message(question, MessageButtons::YesNo, MessageIcon::Question, m_owner) == Answer::Yes;
}

namespace {

// Entry by entry, so that a stop comes between two; a link goes, never
// what it points to. False when anything is left.
bool RemoveTree(const QString& path, const OperationContext& context)
{
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink())
        return QFile::remove(path);
    bool whole = true;
    const QFileInfoList children =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& child : children) {
        if (context.stopped && context.stopped())
            return false;
        whole = RemoveTree(child.filePath(), context) && whole;
    }
    return whole && QDir().rmdir(path);
}

bool DeleteForGood(const QString& path, const OperationContext& context)
{
    if (RemoveTree(path, context))
        return true;
    if (context.stopped && context.stopped())
        return false;
    const QString name = QFileInfo(path).fileName();
    context.report(Exists(path) ? Tr("Cannot delete \"%1\" completely; what could not be deleted is still there.").arg(name)
                                : Tr("Cannot delete \"%1\".").arg(name));
    return false;
}

} // namespace

bool FileActions::RemoveEntries(const QStringList& paths, const TrashFunction& trash, const OperationContext& context)
{
    if (context.meter)
        context.meter->SetTotals(std::uint64_t(paths.size()), 0);
    bool ok = true;
    for (const QString& path : paths) {
        if (context.stopped && context.stopped())
            return false;
        const QFileInfo info(path);
        if (context.meter)
            context.meter->Begin(path);
        if (!Exists(path)) {
            context.report(Tr("Cannot delete \"%1\": %2").arg(info.fileName(), SystemText(ENOENT)));
            ok = false;
            continue;
        }
        // Without write access to the folder neither the trash nor a delete
        // can take it; say so instead of offering to delete for good.
        if (!QFileInfo(info.path()).isWritable()) {
            context.report(Tr("Cannot delete \"%1\": %2").arg(info.fileName(), SystemText(EACCES)));
            ok = false;
            continue;
        }
        if (!(trash && trash(path))) {
            const Answer answer = context.ask(
                Tr("\"%1\" cannot be moved to the Trash.\nDo you want to delete it permanently?").arg(info.fileName()));
            if (answer == Answer::Cancel)
                return false;
            if (answer != Answer::Yes || !DeleteForGood(path, context)) {
                ok = false;
                continue;
            }
        }
        if (context.meter)
            context.meter->Done(1, 0);
    }
    return ok;
}

QString FileActions::NewFolder(const QString& folder)
{
    const QString base = Tr("New Folder");
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? base : Tr("%1 (%2)").arg(base).arg(n);
        const platform::FileError error = platform::CreateDirectory(Native(QDir(folder).filePath(name)));
        if (!error)
            return name;
        if (error.code != EEXIST) {
            Report(Tr("Cannot create a new folder in \"%1\": %2").arg(folder, QString::fromStdString(error.message)));
            return {};
        }
    }
    Report(Tr("Cannot create a new folder in \"%1\": %2").arg(folder, SystemText(EEXIST)));
    return {};
}

ConflictAnswer FileActions::AskConflict(const QString& target, bool folders)
{
    const QString name = QFileInfo(target).fileName();
    const QString question = folders
        ? Tr("A folder named \"%1\" already exists in this folder.\nDo you want to merge the two folders? "
             "You will be asked about each file that has the same name in both.")
              .arg(name)
        : Tr("\"%1\" already exists in this folder.\nDo you want to replace it?").arg(name);
    switch (m_seam.Message(question, MessageButtons::YesNoCancel, MessageIcon::Question, m_owner)) {
    case Answer::Yes:
        return ConflictAnswer::Replace;
    case Answer::No:
        return ConflictAnswer::Skip;
    default:
        return ConflictAnswer::Cancel;
    }
}

bool FileActions::Transfer(const QStringList& sources, const QString& targetFolder, bool move)
{
    FileTransfer transfer([this](const QString& target, bool folders) { return AskConflict(target, folders); },
                          [this](const QString& message) { Report(message); });
    return transfer.Run(sources, targetFolder, move);
}

void FileActions::ShowProperties(const QString& path, const QString& typeText)
{
    PropertiesDialog dialog(path, typeText, m_owner);
    m_seam.RunDialog(dialog);
}

} // namespace browser
