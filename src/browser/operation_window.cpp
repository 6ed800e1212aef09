#include "browser/operation_window.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

namespace {

// A file costs about as much time as this many bytes, whatever its size:
// without it a tree of small files would seem to take no time at all.
constexpr double kBytesPerFile = 64 * 1024;

QString Size(std::uint64_t bytes)
{
    return QLocale().formattedDataSize(static_cast<qint64>(bytes));
}

QString Number(std::uint64_t n)
{
    return QLocale().toString(qulonglong(n));
}

} // namespace

OperationWindow::OperationWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OperationWindow"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    m_counts = new QLabel(this);
    m_current = new QLabel(this);
    m_current->setMinimumWidth(420);
    m_bar = new QProgressBar(this);
    m_state = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::rejected, this, &OperationWindow::reject);
    for (QWidget* w : std::initializer_list<QWidget*>{m_counts, m_current, m_bar, m_state, buttons})
        layout->addWidget(w);
    resize(480, sizeHint().height());
}

void OperationWindow::Begin(const QString& title, bool bytes)
{
    setWindowTitle(title);
    m_bytes = bytes;
    m_cancel->setEnabled(true);
    m_state->clear();
    m_counts->setText(tr("Counting files..."));
    m_current->clear();
    m_current->setToolTip(QString());
    m_bar->setRange(0, 0);
}

void OperationWindow::Show(const OperationProgress& p)
{
    if (p.counting)
        return;
    const double work = double(p.bytesTotal) + double(p.filesTotal) * kBytesPerFile;
    const double done = double(p.bytesDone) + double(p.filesDone) * kBytesPerFile;
    m_bar->setRange(0, 1000);
    m_bar->setValue(int((work > 0 ? std::min(1.0, done / work) : 1.0) * 1000));
    m_counts->setText(m_bytes ? tr("%1 of %2 files, %3 of %4")
                                    .arg(Number(p.filesDone), Number(p.filesTotal), Size(p.bytesDone), Size(p.bytesTotal))
                              : tr("%1 of %2 items").arg(Number(p.filesDone), Number(p.filesTotal)));
    m_current->setText(m_current->fontMetrics().elidedText(p.current, Qt::ElideMiddle, m_current->width()));
    m_current->setToolTip(p.current);
}

void OperationWindow::reject()
{
    // The window stays until the operation has stopped.
    if (!m_cancel->isEnabled())
        return;
    m_cancel->setEnabled(false);
    m_state->setText(tr("Cancelling..."));
    emit cancelRequested();
}

QString OperationWindow::CountsText() const
{
    return m_counts->text();
}

QString OperationWindow::CurrentText() const
{
    return m_current->toolTip();
}

} // namespace browser
