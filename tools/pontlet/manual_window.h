#pragma once
#include <QWidget>

#include "transfer_options.h"

class QFileSystemModel;
class QTreeView;

namespace pontlet {

// Two folders side by side, the server's and the client's, and buttons that
// copy what is selected on one side into the folder shown on the other.
class ManualWindow : public QWidget {
    Q_OBJECT
public:
    explicit ManualWindow(const TransferOptions& options, QWidget* parent = nullptr);

private:
    void CopySelected(QTreeView* from, const std::filesystem::path& toFolder);

    std::filesystem::path m_serverFolder;
    std::filesystem::path m_clientFolder;
    QTreeView* m_serverView = nullptr;
    QTreeView* m_clientView = nullptr;
};

} // namespace pontlet
