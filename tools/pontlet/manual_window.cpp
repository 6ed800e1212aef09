#include "manual_window.h"

#include "folder_pane.h"
#include "progress_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace pontlet {

namespace {

QString Native(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

} // namespace

ManualWindow::ManualWindow(const TransferOptions& options, Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_prompts(prompts)
{
    const std::filesystem::path& clientFolder = options.client.path;
    setWindowTitle(tr("Pontlet - Manual File Transfer"));
    const QString clientLabel = options.hasClient ? QString::fromStdString(options.client.label) : tr("Home");
    m_server = new FolderPane(options.server.path, this);
    m_client = new FolderPane(clientFolder, this);
    m_toClient = new QPushButton(tr("Copy To Client >>"), this);
    m_toServer = new QPushButton(tr("<< Copy To Server"), this);
    auto* close = new QPushButton(tr("Close"), this);
    connect(m_toClient, &QPushButton::clicked, this, [this] { CopyInto(m_server->Selected(), m_client->Root()); });
    connect(m_toServer, &QPushButton::clicked, this, [this] { CopyInto(m_client->Selected(), m_server->Root()); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (FolderPane* pane : {m_server, m_client})
        connect(pane, &FolderPane::Dropped, this,
                [this](const std::vector<std::filesystem::path>& sources, const std::filesystem::path& folder) {
                    CopyInto(sources, folder);
                });

    auto* serverLabel = new QLabel(tr("Server: %1\n%2").arg(QString::fromStdString(options.server.label),
                                                            Native(options.server.path)),
                                   this);
    auto* clientText = new QLabel(tr("Client: %1\n%2").arg(clientLabel, Native(clientFolder)), this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(serverLabel, 0, 0);
    grid->addWidget(clientText, 0, 1);
    grid->addWidget(m_server, 1, 0);
    grid->addWidget(m_client, 1, 1);
    grid->addWidget(m_toClient, 2, 0, Qt::AlignRight);
    grid->addWidget(m_toServer, 2, 1, Qt::AlignLeft);
    grid->addWidget(close, 3, 1, Qt::AlignRight);
    resize(860, 540);
}

Outcome ManualWindow::CopyInto(const std::vector<std::filesystem::path>& sources, const std::filesystem::path& folder,
                               int showAfterMs)
{
    // One copy at a time: a second button press or drop while one runs is
    // ignored rather than queued.
    if (m_busy || sources.empty())
        return {};
    m_busy = true;
    std::vector<CopyItem> items;
    Outcome refused;
    for (std::filesystem::path source : sources) {
        if (!source.has_filename())
            source = source.parent_path();
        // Never the contents of a whole file system root.
        if (!source.has_filename() || !source.is_absolute())
            refused.failures.push_back({source, "not a file or folder that can be copied"});
        else
            items.push_back({source.parent_path(), source.filename().string(), folder});
    }
    CopySettings settings;
    settings.policy = Overwrite::Ask;
    ProgressWindow progress(std::move(items), std::move(settings), m_prompts, tr("Pontlet - Copying"),
                            tr("To %1").arg(Native(folder)), this);
    Outcome outcome = progress.Run(showAfterMs);
    outcome.failures.insert(outcome.failures.begin(), refused.failures.begin(), refused.failures.end());
    TellOutcome(m_prompts, this, windowTitle(), outcome);
    m_busy = false;
    return outcome;
}

} // namespace pontlet
