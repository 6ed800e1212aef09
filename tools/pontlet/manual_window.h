#pragma once
#include <QWidget>

#include <filesystem>
#include <vector>

#include "transfer_options.h"
#include "tree_copy.h"

class QPushButton;

namespace pontlet {

class FolderPane;
class Prompts;
struct RunJournal;

// The server's folder and the client's side by side. Selected files and
// folders are copied into the other side with the buttons or by dragging
// them over; existing files are asked about, and "Yes to All" and "No to
// All" hold for the rest of that copy. Nothing is copied from or into
// anywhere else, and nothing at all while either folder does not exist.
class ManualWindow : public QWidget {
    Q_OBJECT
public:
    // Both folders as SettleFolders left them.
    // Each copy is recorded in `journal` when one is given.
    ManualWindow(const TransferOptions& options, Prompts& prompts, QWidget* parent = nullptr,
                 const RunJournal* journal = nullptr);

    // Copies each source into `folder`; the progress window shows when the
    // copy takes longer than `showAfterMs`. When any source does not lie in
    // one folder and `folder` in the other, the user is told and nothing is
    // copied.
    Outcome CopyInto(const std::vector<std::filesystem::path>& sources, const std::filesystem::path& folder,
                     int showAfterMs = 400);

    FolderPane* ServerPane() const { return m_server; }
    FolderPane* ClientPane() const { return m_client; }
    QPushButton* ToClientButton() const { return m_toClient; }
    QPushButton* ToServerButton() const { return m_toServer; }

private:
    Prompts& m_prompts;
    const RunJournal* m_journal;
    FolderPane* m_server = nullptr;
    FolderPane* m_client = nullptr;
    QPushButton* m_toClient = nullptr;
    QPushButton* m_toServer = nullptr;
    bool m_busy = false;
};

} // namespace pontlet
