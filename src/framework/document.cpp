#include "framework/document.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "framework/command_ids.h"
#include "framework/modal_seam.h"
#include "platform/files.h"

namespace framework {

namespace {

QString DisplayName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

QString FirstLine(const LoadSaveFailure& failure)
{
    const QString name = DisplayName(failure.path);
    using config::ArchiveCause;
    switch (failure.result.cause) {
    case ArchiveCause::FileNotFound:
        return QStringLiteral("%1\nCannot find this file.\nPlease verify that the correct path and file name are given.")
            .arg(name);
    case ArchiveCause::AccessDenied:
        return failure.saving ? QStringLiteral("Unable to write to %1, it is read-only or access is denied.").arg(name)
                              : QStringLiteral("Unable to read from %1, access is denied.").arg(name);
    case ArchiveCause::DiskFull: return QStringLiteral("Destination disk drive is full.");
    case ArchiveCause::OutOfMemory: return QStringLiteral("Out of memory.");
    case ArchiveCause::EndOfFile:
    case ArchiveCause::InvalidArgument:
    case ArchiveCause::Generic:
        if (!failure.saving)
            return QStringLiteral("Unexpected file format.");
        break;
    case ArchiveCause::FileError: break;
    }
    return failure.saving ? QStringLiteral("An unexpected error occurred while writing %1.").arg(name)
                          : QStringLiteral("An unexpected error occurred while reading %1.").arg(name);
}

} // namespace

QString StandardSaveLoadText(const LoadSaveFailure& failure)
{
    QString text = FirstLine(failure);
    const QString detail = QString::fromStdString(failure.result.message);
    if (!detail.isEmpty())
        text += QStringLiteral("\n\n") + detail;
    return text;
}

Document::Document(ModalSeam& seam, QObject* parent) : QObject(parent), m_seam(seam)
{
    Commands().On(ID_FILE_SAVE, [this] { DoFileSave(); });
}

Document::~Document()
{
    for (View* view : m_views)
        view->m_document = nullptr;
}

const DocumentStrings& Document::Strings()
{
    static const DocumentStrings strings;
    return strings;
}

std::filesystem::path Document::ToFilePath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

void Document::SetModifiedFlag(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

void Document::SetPathName(const QString& path)
{
    m_pathName = path;
    emit pathNameChanged(path);
    SetTitle(QFileInfo(path).fileName());
}

void Document::SetTitle(const QString& title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(title);
}

void Document::AddView(View* view)
{
    if (view->m_document == this)
        return;
    if (view->m_document)
        view->m_document->RemoveView(view);
    m_views.push_back(view);
    view->m_document = this;
}

void Document::RemoveView(View* view)
{
    const auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    view->m_document = nullptr;
}

void Document::UpdateAllViews(View* sender, long hint, HintObject hintObject)
{
    const std::vector<View*> snapshot = m_views;
    for (View* view : snapshot) {
        if (view == sender || std::find(m_views.begin(), m_views.end(), view) == m_views.end())
            continue;
        view->OnUpdate(sender, hint, hintObject);
    }
}

bool Document::OnNewDocument()
{
    DeleteContents();
    m_pathName.clear();
    emit pathNameChanged(m_pathName);
    SetModifiedFlag(false);
    return true;
}

bool Document::OnOpenDocument(const QString& path)
{
    const std::filesystem::path file = ToFilePath(path);
    {
        // Whether the file opens at all decides what a failure leaves behind.
        platform::FileReader probe;
        if (platform::FileError e = probe.Open(file)) {
            LoadSaveFailure failure{path, false, {}};
            failure.result = config::FileFailure(e, file);
            ReportSaveLoadException(failure);
            return false;
        }
    }
    DeleteContents();
    SetModifiedFlag(true);  // modified while reading: a failed read stays so
    const config::StoreResult result = ReadFile(file);
    if (!result) {
        DeleteContents();
        ReportSaveLoadException({path, false, result});
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool Document::OpenDocumentFile(const QString& path)
{
    if (!SaveModified())
        return false;
    const bool wasModified = IsModified();
    SetModifiedFlag(false);
    if (path.isEmpty()) {
        SetTitle(Strings().untitled);
        if (!OnNewDocument()) {
            SetModifiedFlag(wasModified);
            return false;
        }
        return true;
    }
    if (!OnOpenDocument(path)) {
        if (!IsModified()) {
            SetModifiedFlag(wasModified);  // the old contents are untouched
        } else {
            SetTitle(Strings().untitled);
            OnNewDocument();
        }
        return false;
    }
    SetPathName(path);
    return true;
}

bool Document::OnSaveDocument(const QString& path)
{
    const config::StoreResult result = WriteFile(ToFilePath(path));
    if (!result) {
        ReportSaveLoadException({path, true, result});
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void Document::ReportSaveLoadException(const LoadSaveFailure& failure)
{
    m_seam.Message(StandardSaveLoadText(failure), MessageButtons::Ok, MessageIcon::Warning);
}

bool Document::SaveModified()
{
    if (!IsModified())
        return true;
    QString name = m_pathName.isEmpty() ? m_title : DisplayName(m_pathName);
    if (name.isEmpty())
        name = Strings().untitled;
    switch (m_seam.Message(QStringLiteral("Save changes to %1?").arg(name), MessageButtons::YesNoCancel,
                           MessageIcon::Question)) {
    case Answer::Cancel: return false;
    case Answer::Yes: return DoFileSave();
    default: return true;
    }
}

bool Document::DoFileSave() { return DoSave(m_pathName); }

QString Document::ProposedSaveName() const
{
    QString name = m_title;
    // A title is no path: cut it at the first separator.
    const qsizetype bad = name.indexOf(QRegularExpression(QStringLiteral("[:/\\\\]")));
    if (bad >= 0)
        name.truncate(bad);
    if (name.isEmpty())
        name = Strings().untitled;
    if (!name.endsWith(Strings().filterExtension, Qt::CaseInsensitive))
        name += Strings().filterExtension;
    return name;
}

bool Document::DoSave(const QString& path, bool replace)
{
    QString target = path;
    if (target.isEmpty()) {
        FileDialogRequest request;
        request.kind = FileDialogRequest::Kind::Save;
        request.title = Strings().saveTitle;
        request.initialName = ProposedSaveName();
        request.defaultSuffix = Strings().filterExtension.mid(1);
        request.filter = Strings().filterName + QStringLiteral(";;All Files (*)");
        request.overwritePrompt = true;
        const std::optional<QString> chosen = m_seam.ChooseFile(request);
        if (!chosen || chosen->isEmpty())
            return false;
        target = *chosen;
    }
    if (!OnSaveDocument(target))
        return false;
    if (replace)
        SetPathName(target);
    return true;
}

} // namespace framework
