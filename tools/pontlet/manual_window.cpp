#include "manual_window.h"

#include "folder_pane.h"
#include "folder_rules.h"
#include "outcome_journal.h"
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

ManualWindow::ManualWindow(const TransferOptions& options, Prompts& prompts, QWidget* parent,
                           const RunJournal* journal)
    : QWidget(parent), m_prompts(prompts), m_journal(journal)
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
    // Every copy has a folder on each side: without one there is nothing to
    // copy from or to.
    const bool both = m_server->Exists() && m_client->Exists();
    m_toClient->setEnabled(both);
    m_toServer->setEnabled(both);
    m_server->SetTakesDrops(both);
    m_client->SetTakesDrops(both);
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
    // Sources come from one side only and go into the other, whatever a
    // drop from another program holds.
    ConfinedCopy confined = ConfineCopy(sources, folder, m_server->Root(), m_client->Root());
    if (!confined.refused.empty()) {
        Outcome refused;
        QStringList names;
        for (const std::filesystem::path& p : confined.refused) {
            refused.failures.push_back({p, "lies outside the two folders"});
            names << Native(p);
        }
        m_prompts.Tell(this, windowTitle(), tr("This item lies outside your locations."), names);
        return refused;
    }
    m_busy = true;
    CopySettings settings;
    settings.policy = Overwrite::Ask;
    // A link is always copied as a link: taking it for what it leads to
    // (for targets without links) could read from outside both folders.
    settings.holdsLinks = [](const platform::Folder&) { return true; };
    ProgressWindow progress(std::move(confined.items), std::move(settings), m_prompts, tr("Pontlet - Copying"),
                            tr("To %1").arg(Native(folder)), this);
    const auto began = std::chrono::steady_clock::now();
    Outcome outcome = progress.Run(showAfterMs);
    const std::filesystem::path& source = folder == m_client->Root() ? m_server->Root() : m_client->Root();
    JournalCopy(m_journal, source, folder, began, outcome);
    TellOutcome(m_prompts, this, windowTitle(), outcome);
    m_busy = false;
    return outcome;
}

} // namespace pontlet
