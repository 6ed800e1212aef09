#include "admin/dialog_layout.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>

namespace admin {

QSize DialogUnitsToPixels(const QFont& font, int width, int height)
{
    const QFontMetricsF metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const qreal baseX = metrics.horizontalAdvance(letters) / letters.size();
    const qreal baseY = metrics.height();
    return {qRound(width * baseX / 4), qRound(height * baseY / 8)};
}

void ResizeToDialogUnits(QDialog& dialog, int width, int height)
{
    dialog.resize(DialogUnitsToPixels(dialog.font(), width, height).expandedTo(dialog.sizeHint()));
}

QDialogButtonBox* OkCancelButtons(QDialog& dialog)
{
    // Own buttons, so that the captions are exactly "OK" and "Cancel" under
    // every platform theme and take no mnemonic a label needs.
    auto* box = new QDialogButtonBox(&dialog);
    auto* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    auto* cancel = box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    ok->setDefault(true);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return box;
}

void TabStopOnChecked(QButtonGroup& group)
{
    QAbstractButton* stop = group.checkedButton() ? group.checkedButton() : group.buttons().value(0);
    for (QAbstractButton* button : group.buttons())
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

} // namespace admin
