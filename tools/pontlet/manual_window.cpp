#include "manual_window.h"
#include "tree_copy.h"

#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>

namespace pontlet {

namespace {

QTreeView* FolderView(const std::filesystem::path& root, QWidget* parent)
{
    auto* model = new QFileSystemModel(parent);
    model->setReadOnly(true);
    const QString path = QString::fromStdString(root.string());
    model->setRootPath(path);
    auto* view = new QTreeView(parent);
    view->setModel(model);
    view->setRootIndex(model->index(path));
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    return view;
}

} // namespace

ManualWindow::ManualWindow(const TransferOptions& options, QWidget* parent)
    : QWidget(parent),
      m_serverFolder(options.server.path),
      m_clientFolder(options.hasClient ? options.client.path : std::filesystem::path(QDir::homePath().toStdString()))
{
    setWindowTitle(tr("Pontlet - Manual File Transfer"));
    const QString clientLabel = options.hasClient ? QString::fromStdString(options.client.label) : tr("Home");
    m_serverView = FolderView(m_serverFolder, this);
    m_clientView = FolderView(m_clientFolder, this);

    auto* toClient = new QPushButton(tr("Copy To Client >>"), this);
    auto* toServer = new QPushButton(tr("<< Copy To Server"), this);
    auto* close = new QPushButton(tr("Close"), this);
    connect(toClient, &QPushButton::clicked, this, [this] { CopySelected(m_serverView, m_clientFolder); });
    connect(toServer, &QPushButton::clicked, this, [this] { CopySelected(m_clientView, m_serverFolder); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Server: %1").arg(QString::fromStdString(options.server.label)), this), 0, 0);
    grid->addWidget(new QLabel(tr("Client: %1").arg(clientLabel), this), 0, 1);
    grid->addWidget(m_serverView, 1, 0);
    grid->addWidget(m_clientView, 1, 1);
    grid->addWidget(toClient, 2, 0, Qt::AlignRight);
    grid->addWidget(toServer, 2, 1, Qt::AlignLeft);
    grid->addWidget(close, 3, 1, Qt::AlignRight);
    resize(820, 520);
}

void ManualWindow::CopySelected(QTreeView* from, const std::filesystem::path& toFolder)
{
    auto* model = static_cast<QFileSystemModel*>(from->model());
    auto ask = [this](const std::filesystem::path& source, const std::filesystem::path& target) {
        auto answer = QMessageBox::question(
            this, windowTitle(),
            tr("%1 already exists.\nReplace it with %2?")
                .arg(QString::fromStdString(target.string()), QString::fromStdString(source.string())),
            QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll | QMessageBox::Cancel,
            QMessageBox::No);
        switch (answer) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::YesToAll: return Answer::YesToAll;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::NoToAll: return Answer::NoToAll;
        default: return Answer::Cancel;
        }
    };
    QStringList errors;
    for (const QModelIndex& index : from->selectionModel()->selectedRows()) {
        const std::filesystem::path source = model->filePath(index).toStdString();
        const std::filesystem::path target = toFolder / source.filename();
        if (model->isDir(index)) {
            TreeCopy copy(source, target, Overwrite::Ask);
            copy.RunToEnd(ask);
            for (const auto& e : copy.Summary().errors)
                errors << QString::fromStdString(e);
            if (copy.Summary().cancelled)
                break;
            continue;
        }
        if (std::filesystem::exists(target)) {
            Answer a = ask(source, target);
            if (a == Answer::Cancel)
                break;
            if (a == Answer::No || a == Answer::NoToAll)
                continue;
        }
        std::string error;
        if (!CopyFileSafely(source, target, error))
            errors << QString::fromStdString(error);
    }
    if (!errors.isEmpty())
        QMessageBox::warning(this, windowTitle(), errors.mid(0, 20).join('\n'));
}

} // namespace pontlet
