#include "pontlet_prompts.h"

#include <QDateTime>
#include <QLocale>
#include <QMessageBox>

namespace pontlet {

namespace {

QString Native(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

QString Describe(const SideFacts& facts)
{
    const QLocale locale;
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(facts.modified.seconds * 1000 +
                                                          facts.modified.nanoseconds / 1000000);
    const QString date = locale.toString(when, QLocale::ShortFormat);
    if (facts.link)
        return QObject::tr("a symbolic link, changed %1").arg(date);
    const QString bytes = QObject::tr("%1 bytes").arg(locale.toString(static_cast<qulonglong>(facts.size)));
    if (facts.size < 1024)
        return QObject::tr("%1, modified %2").arg(bytes, date);
    return QObject::tr("%1 (%2), modified %3")
        .arg(locale.formattedDataSize(static_cast<qint64>(facts.size)), bytes, date);
}

} // namespace

QString ConflictText(const Conflict& c)
{
    return QObject::tr("The folder %1 already holds a file named \"%2\".\n\n"
                       "Replace the existing file\n    %3\n"
                       "with this one from %4?\n    %5")
        .arg(Native(c.target.parent_path()), Native(c.target.filename()), Describe(c.targetFacts),
             Native(c.source.parent_path()), Describe(c.sourceFacts));
}

Answer QtPrompts::AskReplace(QWidget* owner, const Conflict& conflict)
{
    QMessageBox box(QMessageBox::Question, QObject::tr("Confirm File Replace"), ConflictText(conflict),
                    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll |
                        QMessageBox::Cancel,
                    owner);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::YesToAll: return Answer::YesToAll;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::NoToAll: return Answer::NoToAll;
    default: return Answer::Cancel;
    }
}

void QtPrompts::Tell(QWidget* owner, const QString& title, const QString& text, const QStringList& details)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
    // File names are shown as they are; one with '<' must not turn into markup.
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty())
        box.setDetailedText(details.join('\n'));
    box.exec();
}

} // namespace pontlet
