#include "browser/file_actions.h"

#include <cerrno>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    return [](const QString& path) { return QFile::moveToTrash(path); };
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
    const QString question = paths.size() == 1
        ? Tr("Are you sure you want to move \"%1\" to the Trash?").arg(QFileInfo(paths.first()).fileName())
        : Tr("Are you sure you want to move these %1 items to the Trash?").arg(paths.size());
    if (m_seam.Message(question, MessageButtons::YesNo, MessageIcon::Question, m_owner) != Answer::Yes)
        return false;
    bool ok = true;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!Exists(path)) {
            Report(Tr("Cannot delete \"%1\": %2").arg(info.fileName(), SystemText(ENOENT)));
            ok = false;
            continue;
        }
        // Without write access to the folder neither the trash nor a delete
        // can take it; say so instead of offering to delete for good.
        if (!QFileInfo(info.path()).isWritable()) {
            Report(Tr("Cannot delete \"%1\": %2").arg(info.fileName(), SystemText(EACCES)));
            ok = false;
            continue;
        }
        if (m_trash && m_trash(path))
            continue;
        const Answer answer = m_seam.Message(
            Tr("\"%1\" cannot be moved to the Trash.\nDo you want to delete it permanently?").arg(info.fileName()),
            MessageButtons::YesNoCancel, MessageIcon::Warning, m_owner);
        if (answer == Answer::Cancel)
            return false;
        if (answer != Answer::Yes) {
            ok = false;
            continue;
        }
        ok = DeleteForGood(path) && ok;
    }
    return ok;
}

bool FileActions::DeleteForGood(const QString& path)
{
    const QFileInfo info(path);
    // A link goes, never what it points to.
    const bool removed = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
    if (!removed) {
        Report(Exists(path) ? Tr("Cannot delete \"%1\" completely; what could not be deleted is still there.")
                                  .arg(info.fileName())
                            : Tr("Cannot delete \"%1\".").arg(info.fileName()));
        return false;
    }
    return true;
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
