#include "admin/object_picker_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "admin/account_list_model.h"
#include "admin/account_queries.h"

using accounts::PickedObject;

namespace {

constexpr int kStatusNameWidth = 300;  // pixels of a typed name the status line shows

} // namespace

CObjectPickerDlg::CObjectPickerDlg(platform::AccountServices& services, QWidget* parent)
    : QDialog(parent),
      m_queries(new admin::AccountQueries(services, this)),
      m_model(new admin::AccountListModel(this))
{
    setObjectName(QStringLiteral("CObjectPickerDlg"));
    setWindowTitle(QStringLiteral("Select Users or Groups"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("A name or part of one"));
    m_search->installEventFilter(this);
    auto* label = new QLabel(QStringLiteral("&Name:"), this);
    label->setBuddy(m_search);

    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->resizeSection(admin::AccountListModel::kName, 160);
    m_list->header()->resizeSection(admin::AccountListModel::kType, 60);
    m_list->header()->resizeSection(admin::AccountListModel::kDescription, 170);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CObjectPickerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CObjectPickerDlg::reject);
    connect(m_list, &QTreeView::doubleClicked, this, &CObjectPickerDlg::accept);
    connect(m_search, &QLineEdit::textChanged, this, &CObjectPickerDlg::OnTextChanged);
    connect(m_queries, &admin::AccountQueries::listed, this, &CObjectPickerDlg::OnListed);
    connect(m_queries, &admin::AccountQueries::resolved, this, &CObjectPickerDlg::OnResolved);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateStatus(); });

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(label);
    searchRow->addWidget(m_search, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(600, 420);
    UpdateStatus();
}

CObjectPickerDlg::~CObjectPickerDlg() = default;

void CObjectPickerDlg::showEvent(QShowEvent* event)
{
    // Listing starts only when somebody will look at it.
    m_queries->StartListing();
    UpdateStatus();
    QDialog::showEvent(event);
}

QString CObjectPickerDlg::Typed() const { return m_search->text().trimmed(); }

void CObjectPickerDlg::OnTextChanged(const QString&)
{
    m_bAcceptPending = false;
    m_bAcceptRefused = false;
    m_bFoundCurrent = false;
    m_found.clear();
    KeepingSelection([this] {
        m_model->SetResolved({});
        m_model->SetFilter(Typed());
    });
    if (!Typed().isEmpty())
        m_queries->Resolve(Typed());
    UpdateStatus();
}

void CObjectPickerDlg::OnListed(const admin::AccountRows& rows)
{
    KeepingSelection([&] { m_model->SetListed(rows); });
    UpdateStatus();
    emit listingShown();
}

void CObjectPickerDlg::OnResolved(const QString& typed, const std::vector<PickedObject>& objects)
{
    // An answer to text since changed is stale; the newer one follows.
    if (typed != Typed())
        return;
    m_found = objects;
    m_bFoundCurrent = true;
    KeepingSelection([&] { m_model->SetResolved(objects); });
    UpdateStatus();
    emit lookupShown();
    if (m_bAcceptPending)
        accept();
}

template <class Change>
void CObjectPickerDlg::KeepingSelection(Change change)
{
    QSet<QString> keys;
    for (const PickedObject& object : SelectedObjects())
        keys.insert(admin::AccountListModel::KeyOf(object));
    change();
    if (keys.isEmpty())
        return;
    QItemSelection selection;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (keys.contains(admin::AccountListModel::KeyOf(m_model->ObjectAt(row))))
            selection.select(m_model->index(row, 0), m_model->index(row, admin::AccountListModel::kColumnCount - 1));
    }
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

std::vector<PickedObject> CObjectPickerDlg::SelectedObjects() const
{
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<PickedObject> objects;
    objects.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& index : rows)
        objects.push_back(m_model->ObjectAt(index.row()));
    return objects;
}

void CObjectPickerDlg::accept()
{
    std::vector<PickedObject> chosen = SelectedObjects();
    if (chosen.empty() && Typed().isEmpty())
        return;  // nothing chosen is no answer; Cancel is the way out
    if (chosen.empty()) {
        // Nothing selected: the name typed decides, once it has been looked
        // up. A user's own group shares their name; the user comes first.
        m_bAcceptPending = !m_bFoundCurrent;
        m_bAcceptRefused = m_bFoundCurrent && m_found.empty();
        if (m_bAcceptPending || m_bAcceptRefused) {
            UpdateStatus();
            m_search->setFocus();
            return;
        }
        chosen.push_back(m_found.front());
    }
    m_bAcceptPending = false;
    m_picker.ProcessSelections(chosen);
    QDialog::accept();
}

void CObjectPickerDlg::UpdateStatus()
{
    // A pasted novel must not stretch the dialog.
    const QString typed = m_status->fontMetrics().elidedText(Typed(), Qt::ElideMiddle, kStatusNameWidth);
    const int rows = m_model->rowCount();
    const auto selected = m_list->selectionModel()->selectedRows().size();
    const bool notFound = !typed.isEmpty() && m_bFoundCurrent && m_found.empty();
    QString text;
    if (m_bAcceptPending || (!typed.isEmpty() && !m_bFoundCurrent && rows == 0))
        text = QStringLiteral("Looking for \"%1\"...").arg(typed);
    else if (notFound && (rows == 0 || m_bAcceptRefused))
        text = QStringLiteral("No user or group named \"%1\" was found.").arg(typed);
    else if (m_queries->IsListing())
        text = QStringLiteral("Listing users and groups... %1 shown.").arg(rows);
    else if (m_queries->HasListed() && rows == 0)
        text = QStringLiteral("No users or groups are listed here; type a name in full to find it.");
    else if (selected > 0)
        text = QStringLiteral("%1 of %2 selected.").arg(selected).arg(rows);
    else
        text = rows == 1 ? QStringLiteral("1 user or group.") : QStringLiteral("%1 users and groups.").arg(rows);
    m_status->setText(text);
    m_ok->setEnabled(selected > 0 || !typed.isEmpty());
}

bool CObjectPickerDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Down from the name box goes on into the list, as in a search field.
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_PageDown) && m_model->rowCount() > 0) {
            m_list->setFocus(Qt::TabFocusReason);
            if (!m_list->currentIndex().isValid())
                m_list->setCurrentIndex(m_model->index(0, 0));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
