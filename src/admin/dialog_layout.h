#pragma once
#include <QSize>

class QButtonGroup;
class QDialog;
class QDialogButtonBox;
class QFont;
class QGroupBox;
class QLabel;
class QString;
class QWidget;

// What the three editors share in their look: sizes given in dialog units,
// and OK and Cancel as Enter and Escape answer them.
namespace admin {

// Dialog units: a quarter of the font's average character width across,
// an eighth of its height down.
QSize DialogUnitsToPixels(const QFont& font, int width, int height);
// Gives the dialog its classic size in its own font, or what its layout
// needs where that is more.
void ResizeToDialogUnits(QDialog& dialog, int width, int height);

// "OK" (the default button, id 1) and "Cancel" (id 2), wired to the dialog's
// accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog& dialog);

// Tab enters an exclusive group at its checked button (or its first), as
// in classic dialogs; the arrow keys move within the group.
void TabStopOnChecked(QButtonGroup& group);

// A label whose mnemonic moves the focus to `buddy`.
QLabel* BuddyLabel(const QString& text, QWidget* buddy);

} // namespace admin
