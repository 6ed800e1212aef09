#pragma once
#include <functional>

#include <QString>
#include <QStringList>

#include "browser/file_transfer.h"

class QWidget;

namespace framework {
class ModalSeam;
}

namespace browser {

// Moves a file or folder to the desktop's trash; false when there is none
// for it (or it cannot go there).
using TrashFunction = std::function<bool(const QString& path)>;
TrashFunction SystemTrash();

// The file operations of the folder view, with their questions and their
// failure reports, all through the modal seam. Each tells the user what went
// wrong itself and never loses a file.
class FileActions {
public:
    FileActions(framework::ModalSeam& seam, QWidget* owner, TrashFunction trash);

    // Why a name cannot be given to a file, or empty when it can.
    static QString CheckName(const QString& name);

    // Renames within the entry's folder; never replaces another entry.
    bool Rename(const QString& path, const QString& newName);
    // To the trash after a confirmation; where the trash cannot take an
    // entry, asks before deleting it for good.
    bool Delete(const QStringList& paths);
    // "New Folder", or the first free "New Folder (n)"; its name, or empty
    // when it could not be made.
    QString NewFolder(const QString& folder);
    // Copies or moves into a folder, asking before anything is replaced.
    bool Transfer(const QStringList& sources, const QString& targetFolder, bool move);
    void ShowProperties(const QString& path, const QString& typeText);

    // The question about a taken name and the failure box of a transfer.
    ConflictAnswer AskConflict(const QString& target, bool folders);
    void Report(const QString& text);

private:
    bool DeleteForGood(const QString& path);

    framework::ModalSeam& m_seam;
    QWidget* m_owner;
    TrashFunction m_trash;
};

} // namespace browser
