#pragma once
#include <QObject>
#include <QString>
#include <filesystem>
#include <vector>

#include "config/config_file.h"
#include "framework/command_target.h"
#include "framework/view.h"

namespace framework {

class ModalSeam;

// A load or save that failed, as ReportSaveLoadException receives it.
struct LoadSaveFailure {
    QString path;
    bool saving = false;
    config::StoreResult result;  // cause, byte offset and detail of the failure
};

// The document strings the framework uses for saving.
struct DocumentStrings {
    QString untitled = QStringLiteral("Untitled");
    QString filterName = QStringLiteral("Quillon Files (*.QLNData)");
    QString filterExtension = QStringLiteral(".QLNData");
    QString saveTitle = QStringLiteral("Save As");
};

// The framework's standard message for a failed load or save, as
// ReportSaveLoadException of the base shows it.
QString StandardSaveLoadText(const LoadSaveFailure& failure);

// The document of a single-document program: its data, the file it came
// from, the modified flag, the views showing it, and the open, save and new
// operations around the subclass's own reading and writing. Message boxes
// and file dialogs go through the modal seam.
//
// Subclasses provide ReadFile/WriteFile and DeleteContents, and override
// the On... operations to add to them, calling the base.
class Document : public QObject, public CommandTarget {
    Q_OBJECT
public:
    explicit Document(ModalSeam& seam, QObject* parent = nullptr);
    ~Document() override;

    ModalSeam& Seam() const { return m_seam; }
    static const DocumentStrings& Strings();

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true);

    const QString& GetPathName() const { return m_pathName; }
    // Sets the path and the title from its file name.
    void SetPathName(const QString& path);
    const QString& GetTitle() const { return m_title; }
    virtual void SetTitle(const QString& title);

    void AddView(View* view);
    void RemoveView(View* view);
    const std::vector<View*>& GetViews() const { return m_views; }
    // Calls OnUpdate of every view but the sender. A view may add or remove
    // views meanwhile; one removed before its turn is not called.
    void UpdateAllViews(View* sender, long hint = 0, HintObject hintObject = {});

    // Empties the document: no contents, no path, not modified.
    virtual bool OnNewDocument();
    // Reads the file. A file that cannot be opened is reported and leaves
    // contents and modified flag alone. A failure after reading began
    // empties the contents, is reported, and leaves the document modified.
    // Success clears the modified flag. The path is not set here.
    virtual bool OnOpenDocument(const QString& path);
    // Writes the file; failure is reported, success clears the modified flag.
    virtual bool OnSaveDocument(const QString& path);
    // Shows StandardSaveLoadText. Overrides add their own messages.
    virtual void ReportSaveLoadException(const LoadSaveFailure& failure);
    // Before the document is closed or replaced: false keeps it open.
    // Asks "Save changes to <name>?" when modified.
    virtual bool SaveModified();
    // Saves to the document's path, or asks for one when there is none.
    bool DoFileSave();
    // Saves to `path`, asking with the save dialog when it is empty; with
    // `replace` the document takes the new path.
    bool DoSave(const QString& path, bool replace = true);

    // What the single-document template does with its one document: once
    // SaveModified agrees, an empty path makes it a new "Untitled" document,
    // any other is read with OnOpenDocument and becomes the document's path.
    // A failed open gives back the earlier modified flag, or starts a new
    // document when the failure left the contents spoilt. False when the
    // document was not (re)made.
    bool OpenDocumentFile(const QString& path);

    // Drops the document's data and everything that points into it.
    virtual void DeleteContents() {}

    static std::filesystem::path ToFilePath(const QString& path);

signals:
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);
    void pathNameChanged(const QString& path);

protected:
    // The subclass's reading and writing of its whole contents.
    virtual config::StoreResult ReadFile(const std::filesystem::path& path) = 0;
    virtual config::StoreResult WriteFile(const std::filesystem::path& path) = 0;
    // The name the save dialog proposes: the title, else "Untitled", with the
    // document's extension.
    virtual QString ProposedSaveName() const;

private:
    ModalSeam& m_seam;
    QString m_pathName;
    QString m_title;
    bool m_modified = false;
    std::vector<View*> m_views;
};

} // namespace framework
