#include "browser/properties_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "browser/examiner.h"
#include "browser/gui_post.h"
#include "platform/mounts.h"

namespace browser {

namespace {

QString sizeText(qint64 bytes)
{
    const QLocale locale;
    const QString exact = PropertiesDialog::tr("%1 bytes").arg(locale.toString(bytes));
    if (bytes < 1024)
        return exact;
    return PropertiesDialog::tr("%1 (%2)")
        .arg(locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat), exact);
}

QString dateText(const QDateTime& time)
{
    return time.isValid() ? QLocale().toString(time, QLocale::LongFormat) : PropertiesDialog::tr("unknown");
}

QString shareOf(const QString& path)
{
    return QFile::decodeName(QByteArray::fromStdString(platform::MountPointOf(QFile::encodeName(path).toStdString())));
}

// Adds up a folder's files without following links, so a link to a parent
// cannot make it run for ever.
qint64 FolderSize(const QString& path, const std::atomic<bool>& cancel, const Examiner::Alive& alive, qint64& files)
{
    qint64 total = 0;
    QDirIterator it(path, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext() && !cancel) {
        it.next();
        alive();
        const QFileInfo info = it.fileInfo();
        if (info.isFile()) {
            total += info.size();
            ++files;
        }
    }
    return total;
}

} // namespace

PropertiesDialog::PropertiesDialog(const QString& path, const QString& typeText, Examiner& sizes, QWidget* parent)
    : QDialog(parent), m_post(std::make_shared<GuiPost>(this)), m_cancel(std::make_shared<std::atomic<bool>>(false))
{
    const QFileInfo info(path);
    setWindowTitle(tr("%1 Properties").arg(info.fileName()));
    auto* form = new QFormLayout;
    addField(QStringLiteral("name"), tr("Name:"), info.fileName());
    addField(QStringLiteral("type"), tr("Type:"), typeText);
    addField(QStringLiteral("location"), tr("Location:"), info.path());
    const bool folder = info.isDir() && !info.isSymLink();
    QLabel* size = addField(QStringLiteral("size"), tr("Size:"), folder ? tr("Counting...") : sizeText(info.size()));
    addField(QStringLiteral("modified"), tr("Modified:"), dateText(info.lastModified()));
    addField(QStringLiteral("accessed"), tr("Accessed:"), dateText(info.lastRead()));
    addField(QStringLiteral("owner"), tr("Owner:"), tr("%1, group %2").arg(info.owner(), info.group()));
    addField(QStringLiteral("permissions"), tr("Permissions:"), permissionText(info.permissions()));
    for (QLabel* label : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        if (!label->objectName().isEmpty())
            form->addRow(label->property("caption").toString(), label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (folder) {
        auto post = m_post;
        auto cancel = m_cancel;
        // The post reaches the dialog only while it lives.
        auto count = [this, post, cancel, path, size](const Examiner::Alive& alive) {
            qint64 files = 0;
            const qint64 total = FolderSize(path, *cancel, alive, files);
            post->post([this, total, files, size] {
                size->setText(tr("%1, in %n file(s)", nullptr, int(qMin<qint64>(files, INT_MAX))).arg(sizeText(total)));
                emit sizeKnown();
            });
        };
        sizes.run(shareOf(path), std::move(count), [this, post, size] {
            post->post([this, size] {
                size->setText(tr("The size could not be read: the share does not answer."));
                emit sizeKnown();
            });
        });
    }
}

PropertiesDialog::~PropertiesDialog()
{
    *m_cancel = true;
    m_post->detach();
}

QLabel* PropertiesDialog::addField(const QString& name, const QString& label, const QString& text)
{
    auto* field = new QLabel(text, this);
    field->setObjectName(name);
    field->setProperty("caption", label);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return field;
}

QString PropertiesDialog::field(const QString& name) const
{
    const auto* label = findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
    return label ? label->text() : QString();
}

QString PropertiesDialog::permissionText(QFileDevice::Permissions p)
{
    const QFileDevice::Permission bits[] = {QFileDevice::ReadOwner, QFileDevice::WriteOwner, QFileDevice::ExeOwner,
                                            QFileDevice::ReadGroup, QFileDevice::WriteGroup, QFileDevice::ExeGroup,
                                            QFileDevice::ReadOther, QFileDevice::WriteOther, QFileDevice::ExeOther};
    const char letters[] = "rwxrwxrwx";
    QString text;
    for (int i = 0; i < 9; ++i)
        text += p.testFlag(bits[i]) ? QLatin1Char(letters[i]) : QLatin1Char('-');
    return text;
}

} // namespace browser
