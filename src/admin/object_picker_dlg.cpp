#include "admin/object_picker_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "accounts/account_directory.h"
#include "admin/qt_text.h"

namespace {

QString RowText(const accounts::PickedObject& object)
{
    std::u16string domain;
    accounts::SplitADsPath(object.adsPath, &domain, nullptr);
    QString text = admin::ToQString(domain) + QLatin1Char('\\') + admin::ToQString(object.name) +
                   QStringLiteral(" (") + admin::ToQString(object.className) + QLatin1Char(')');
    if (object.description && !object.description->empty())
        text += QStringLiteral(" - ") + admin::ToQString(*object.description);
    return text;
}

} // namespace

CObjectPickerDlg::CObjectPickerDlg(platform::AccountServices& services, QWidget* parent)
    : QDialog(parent), m_services(services)
{
    setObjectName(QStringLiteral("CObjectPickerDlg"));
    setWindowTitle(QStringLiteral("Select Users or Groups"));

    m_filter = new QLineEdit(this);
    m_filter->setPlaceholderText(QStringLiteral("Filter"));
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_typed = new QLineEdit(this);

    m_objects = accounts::AccountDirectory(m_services).Enumerate();
    for (const auto& object : m_objects)
        m_list->addItem(RowText(object));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Enter the object name:"), m_typed);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CObjectPickerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CObjectPickerDlg::reject);
    connect(m_filter, &QLineEdit::textChanged, this, &CObjectPickerDlg::ApplyFilter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CObjectPickerDlg::ApplyFilter(const QString& text)
{
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
    }
}

std::vector<accounts::PickedObject> CObjectPickerDlg::ChosenObjects() const
{
    std::vector<accounts::PickedObject> chosen;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->isSelected() && !item->isHidden())
            chosen.push_back(m_objects[static_cast<std::size_t>(row)]);
    }
    for (auto& object : accounts::AccountDirectory(m_services).Lookup(admin::ToU16(m_typed->text())))
        chosen.push_back(std::move(object));
    return chosen;
}

void CObjectPickerDlg::accept()
{
    m_picker.ProcessSelections(ChosenObjects());
    QDialog::accept();
}
