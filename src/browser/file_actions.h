#pragma once
#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

#include "browser/file_transfer.h"
#include "framework/modal_seam.h"

class QWidget;

namespace browser {

class OperationMeter;

// How an operation that may run on a worker reaches the user (each call
// returns once the user has answered) and learns that it should stop.
struct OperationContext {
    std::function<void(const QString& message)> report;
    // A Yes, No or Cancel question.
    std::function<framework::Answer(const QString& question)> ask;
    FileTransfer::AskConflict askConflict;
    std::function<bool()> stopped;  // may be empty
    OperationMeter* meter = nullptr;
};

// Moves a file or folder to the desktop's trash; false when there is none
// for it (or it cannot go there).
using TrashFunction = std::function<bool(const QString& path)>;
TrashFunction systemTrash();

// The file operations of the folder view, with their questions and their
// failure reports, all through the modal seam. Each tells the user what went
// wrong itself and never loses a file.
class Examiner;

class FileActions {
public:
    FileActions(framework::ModalSeam& seam, QWidget* owner, TrashFunction trash);
    ~FileActions();

    // Why a name cannot be given to a file, or empty when it can.
    static QString checkName(const QString& name);

    // Renames within the entry's folder; never replaces another entry.
    bool rename(const QString& path, const QString& newName);
    // To the trash after a confirmation; where the trash cannot take an
    // entry, asks before deleting it for good.
    bool deletePaths(const QStringList& paths);
    // Delete's two halves: the confirmation, then the removal. The removal
    // touches no FileActions, so that it can run on a worker that outlives
    // them; it stops between entries once `stopped` says so.
    bool confirmDelete(const QStringList& paths);
    static bool removeEntries(const QStringList& paths, const TrashFunction& trash, const OperationContext& context);
    const TrashFunction& trash() const { return m_trash; }
    // "New Folder", or the first free "New Folder (n)"; its name, or empty
    // when it could not be made.
    QString newFolder(const QString& folder);
    // Copies or moves into a folder, asking before anything is replaced.
    bool transfer(const QStringList& sources, const QString& targetFolder, bool move);
    void showProperties(const QString& path, const QString& typeText);

    // The question about a taken name and the failure box of a transfer.
    ConflictAnswer askConflict(const QString& target, bool folders);
    void report(const QString& text);
    framework::Answer ask(const QString& question);

private:

    framework::ModalSeam& m_seam;
    QWidget* m_owner;
    TrashFunction m_trash;
    // The one worker that adds up folder sizes for every Properties dialog.
    std::unique_ptr<Examiner> m_sizes;
};

} // namespace browser
