#pragma once
#include <QString>
#include <functional>

namespace framework {
class Document;
class ModalSeam;
struct FileDialogRequest;
} // namespace framework

// Export and import of the configuration file. Both work on the file as
// stored beside the executable, never on the document in memory.
namespace app {

// Copies a whole file over another; false when it failed.
using FileReplacer = std::function<bool(const QString& from, const QString& to)>;

// The file dialog both commands show.
framework::FileDialogRequest ConfigurationFileDialog(bool exporting);

// Copies the stored file out to a place the administrator chooses.
// Unsaved changes are not part of it; the document is left as it was.
void ExportConfiguration(framework::ModalSeam& seam, framework::Document* document, const QString& storedPath,
                         const FileReplacer& replace);

// Copies a chosen file over the stored one. True when it did, and the
// caller then reopens the configuration.
bool ImportConfiguration(framework::ModalSeam& seam, framework::Document* document, const QString& storedPath,
                         const FileReplacer& replace);

} // namespace app
