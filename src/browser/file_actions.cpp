#include "browser/file_actions.h"

#include <cerrno>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "browser/examiner.h"
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

QString translated(const char* text)
{
    return QCoreApplication::translate("browser::FileActions", text);
}

QString systemText(int error)
{
    return QString::fromStdString(platform::GetSystemErrorText(error));
}

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

TrashFunction systemTrash()
{
    return [](const QString& path) {
        // Qt makes the trash folder, but not the data folder that holds it,
        // which a new account does not have yet.
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        return QFile::moveToTrash(path);
    };
}

FileActions::FileActions(framework::ModalSeam& seam, QWidget* owner, TrashFunction trash)
    : m_seam(seam), m_owner(owner), m_trash(std::move(trash)), m_sizes(std::make_unique<Examiner>(ExaminerOptions{}))
{
}

FileActions::~FileActions() = default;

QString FileActions::checkName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return translated("A file name cannot be empty.");
    if (name.contains(QLatin1Char('/')))
        return translated("A file name cannot contain the character /.");
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QChar(0)))
        return translated("\"%1\" cannot be used as a name.").arg(name);
    return {};
}

void FileActions::report(const QString& text)
{
    m_seam.Message(text, MessageButtons::Ok, MessageIcon::Warning, m_owner);
}

Answer FileActions::ask(const QString& question)
{
    return m_seam.Message(question, MessageButtons::YesNoCancel, MessageIcon::Warning, m_owner);
}

bool FileActions::rename(const QString& path, const QString& newName)
{
    const QFileInfo info(path);
    if (newName == info.fileName())
        return true;
    if (const QString why = checkName(newName); !why.isEmpty()) {
        report(translated("Cannot rename \"%1\": %2").arg(info.fileName(), why));
        return false;
    }
    const QString target = QDir(info.path()).filePath(newName);
    int error = exists(target) ? EEXIST : platform::RenamePath(native(path), native(target), false);
    if (error == EEXIST) {
        report(translated("Cannot rename \"%1\": a file or folder named \"%2\" already exists.").arg(info.fileName(), newName));
        return false;
    }
    if (error != 0) {
        report(translated("Cannot rename \"%1\": %2").arg(info.fileName(), systemText(error)));
        return false;
    }
    return true;
}

bool FileActions::deletePaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return true;
    if (!confirmDelete(paths))
        return false;
    return removeEntries(paths, m_trash,
                         {[this](const QString& text) { report(text); },
                          [this](const QString& question) { return ask(question); }, {}, {}, nullptr});
}

bool FileActions::confirmDelete(const QStringList& paths)
{
    if (paths.isEmpty())
        return false;
    const QString question = paths.size() == 1
        ? translated("Are you sure you want to move \"%1\" to the Trash?").arg(QFileInfo(paths.first()).fileName())
        : translated("Are you sure you want to move these %1 items to the Trash?").arg(paths.size());
    return m_seam.Message(question, MessageButtons::YesNo, MessageIcon::Question, m_owner) == Answer::Yes;
}

namespace {

// Entry by entry, so that a stop comes between two; a link goes, never
// what it points to. False when anything is left.
bool removeTree(const QString& path, const OperationContext& context)
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
        whole = removeTree(child.filePath(), context) && whole;
    }
    return whole && QDir().rmdir(path);
}

bool deleteForGood(const QString& path, const OperationContext& context)
{
    if (removeTree(path, context))
        return true;
    if (context.stopped && context.stopped())
        return false;
    const QString name = QFileInfo(path).fileName();
    context.report(exists(path) ? translated("Cannot delete \"%1\" completely; what could not be deleted is still there.").arg(name)
                                : translated("Cannot delete \"%1\".").arg(name));
    return false;
}

} // namespace

bool FileActions::removeEntries(const QStringList& paths, const TrashFunction& trash, const OperationContext& context)
{
    if (context.meter)
        context.meter->setTotals(std::uint64_t(paths.size()), 0);
    bool ok = true;
    for (const QString& path : paths) {
        if (context.stopped && context.stopped())
            return false;
        const QFileInfo info(path);
        if (context.meter)
            context.meter->begin(path);
        if (!exists(path)) {
            context.report(translated("Cannot delete \"%1\": %2").arg(info.fileName(), systemText(ENOENT)));
            ok = false;
            continue;
        }
        // Without write access to the folder neither the trash nor a delete
        // can take it; say so instead of offering to delete for good.
        if (!QFileInfo(info.path()).isWritable()) {
            context.report(translated("Cannot delete \"%1\": %2").arg(info.fileName(), systemText(EACCES)));
            ok = false;
            continue;
        }
        if (!(trash && trash(path))) {
            const Answer answer = context.ask(
                translated("\"%1\" cannot be moved to the Trash.\nDo you want to delete it permanently?").arg(info.fileName()));
            if (answer == Answer::Cancel)
                return false;
            if (answer != Answer::Yes || !deleteForGood(path, context)) {
                ok = false;
                continue;
            }
        }
        if (context.meter)
            context.meter->done(1, 0);
    }
    return ok;
}

QString FileActions::newFolder(const QString& folder)
{
    const QString base = translated("New Folder");
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? base : translated("%1 (%2)").arg(base).arg(n);
        const platform::FileError error = platform::CreateDirectory(native(QDir(folder).filePath(name)));
        if (!error)
            return name;
        if (error.code != EEXIST) {
            report(translated("Cannot create a new folder in \"%1\": %2").arg(folder, QString::fromStdString(error.message)));
            return {};
        }
    }
    report(translated("Cannot create a new folder in \"%1\": %2").arg(folder, systemText(EEXIST)));
    return {};
}

ConflictAnswer FileActions::askConflict(const QString& target, bool folders)
{
    const QString name = QFileInfo(target).fileName();
    const QString question = folders
        ? translated("A folder named \"%1\" already exists in this folder.\nDo you want to merge the two folders? "
             "You will be asked about each file that has the same name in both.")
              .arg(name)
        : translated("\"%1\" already exists in this folder.\nDo you want to replace it?").arg(name);
    switch (m_seam.Message(question, MessageButtons::YesNoCancel, MessageIcon::Question, m_owner)) {
    case Answer::Yes:
        return ConflictAnswer::Replace;
    case Answer::No:
        return ConflictAnswer::Skip;
    default:
        return ConflictAnswer::Cancel;
    }
}

bool FileActions::transfer(const QStringList& sources, const QString& targetFolder, bool move)
{
    FileTransfer transfer([this](const QString& target, bool folders) { return askConflict(target, folders); },
                          [this](const QString& message) { report(message); });
    return transfer.run(sources, targetFolder, move);
}

void FileActions::showProperties(const QString& path, const QString& typeText)
{
    PropertiesDialog dialog(path, typeText, *m_sizes, m_owner);
    m_seam.RunDialog(dialog);
}

} // namespace browser
