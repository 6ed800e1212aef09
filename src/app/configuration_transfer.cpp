#include "app/configuration_transfer.h"

#include "framework/document.h"
#include "framework/modal_seam.h"

namespace app {

using framework::Answer;
using framework::MessageButtons;

framework::FileDialogRequest ConfigurationFileDialog(bool exporting)
{
    framework::FileDialogRequest request;
    // Exporting names a file that may not exist yet.
    request.kind = exporting ? framework::FileDialogRequest::Kind::Save : framework::FileDialogRequest::Kind::Open;
    request.title = exporting ? QStringLiteral("Export Configuration File") : QStringLiteral("Import Configuration File");
    request.initialName = QStringLiteral("userConfig.QLNData");
    request.defaultSuffix = QStringLiteral("QLNData");
    request.filter = QStringLiteral("User Permission Files (*.QLNData);;All Files (*)");
    request.overwritePrompt = true;
    return request;
}

void ExportConfiguration(framework::ModalSeam& seam, framework::Document* document, const QString& storedPath,
                         const FileReplacer& replace)
{
    if (document && document->IsModified()
        && seam.Message(QStringLiteral("You have unsaved changes\nExporting will only export your last saved "
                                       "copy\nDo you want to export your last saved copy ?"),
                        MessageButtons::YesNo)
               != Answer::Yes)
        return;
    const std::optional<QString> chosen = seam.ChooseFile(ConfigurationFileDialog(true));
    if (!chosen)
        return;
    if (chosen->isEmpty()) {
        seam.Message(QStringLiteral("Error: Please Choose a File to Export"));
        return;
    }
    seam.Message(replace(storedPath, *chosen) ? QStringLiteral("Success Exporting File")
                                              : QStringLiteral("Error Exporting File"));
}

bool ImportConfiguration(framework::ModalSeam& seam, framework::Document* document, const QString& storedPath,
                         const FileReplacer& replace)
{
    if (document && document->IsModified()) {
        if (seam.Message(QStringLiteral("You have unsaved changes\nImporting will overwrite your changes\nDo you "
                                        "want to import ?"),
                         MessageButtons::YesNo)
            != Answer::Yes)
            return false;
        // The changes are given up here, whatever happens next.
        document->SetModifiedFlag(false);
    }
    const std::optional<QString> chosen = seam.ChooseFile(ConfigurationFileDialog(false));
    if (!chosen)
        return false;
    if (chosen->isEmpty()) {
        seam.Message(QStringLiteral("Error: Please Choose a File to Import"));
        return false;
    }
    if (!replace(*chosen, storedPath)) {
        seam.Message(QStringLiteral("Error Importing File"));
        return false;
    }
    seam.Message(QStringLiteral("Success Importing File"));
    return true;
}

} // namespace app
