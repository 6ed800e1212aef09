#include "transfer_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace pontlet {

namespace {

TreeCopy MakeCopy(const TransferOptions& o)
{
    return o.serverToClient ? TreeCopy(o.serverPath, o.clientPath, o.overwrite)
                            : TreeCopy(o.clientPath, o.serverPath, o.overwrite);
}

QString Native(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

} // namespace

TransferWindow::TransferWindow(const TransferOptions& options, QWidget* parent)
    : QDialog(parent), m_copy(MakeCopy(options))
{
    setWindowTitle(options.serverToClient ? tr("Pontlet - Sending Files To Client")
                                          : tr("Pontlet - Sending Files To Server"));
    auto* layout = new QVBoxLayout(this);
    auto* route = new QLabel(tr("From %1\nto %2")
                                 .arg(Native(options.serverToClient ? options.serverPath : options.clientPath),
                                      Native(options.serverToClient ? options.clientPath : options.serverPath)),
                             this);
    route->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_file = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0);  // the number of files is not known up front
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { m_cancelRequested = true; });
    layout->addWidget(route);
    layout->addWidget(m_file);
    layout->addWidget(m_progress);
    layout->addWidget(buttons);
    resize(460, sizeHint().height());

    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &TransferWindow::Tick);
    m_timer.start();
}

void TransferWindow::Tick()
{
    if (m_cancelRequested) {
        m_timer.stop();
        reject();
        return;
    }
    auto ask = [this](const auto& s, const auto& t) { return AskReplace(s, t); };
    // A few files per tick keeps the window lively without crawling.
    for (int i = 0; i < 16; ++i) {
        if (!m_copy.Step(ask)) {
            m_timer.stop();
            const auto& sum = m_copy.Summary();
            if (sum.failed > 0) {
                QStringList lines;
                for (const auto& e : sum.errors)
                    lines << QString::fromStdString(e);
                QMessageBox::warning(this, windowTitle(),
                                     tr("%n file(s) could not be copied:", nullptr, int(sum.failed)) + "\n\n"
                                         + lines.mid(0, 20).join('\n'));
            }
            sum.cancelled ? reject() : accept();
            return;
        }
    }
    m_file->setText(Native(m_copy.Current()));
}

Answer TransferWindow::AskReplace(const std::filesystem::path& source, const std::filesystem::path& target)
{
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    tr("%1 already exists.\nReplace it with %2?").arg(Native(target), Native(source)),
                    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll
                        | QMessageBox::Cancel,
                    this);
    box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::YesToAll: return Answer::YesToAll;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::NoToAll: return Answer::NoToAll;
    default: return Answer::Cancel;
    }
}

} // namespace pontlet
