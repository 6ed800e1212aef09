#include "admin/visual_options_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

#include "admin/dialog_layout.h"
#include "admin/qt_text.h"
#include "framework/modal_seam.h"

const std::array<CVisualOptionsDlg::Style, 3> CVisualOptionsDlg::kImageStyles = {{
    {"Normal", 0},
    {"Tile", 16},
    {"Center", 1},
}};

const std::array<CVisualOptionsDlg::Style, 7> CVisualOptionsDlg::kViewStyles = {{
    {"Icon", 1},
    {"Small Icon", 2},
    {"List", 3},
    {"Details", 4},
    {"Thumbnail", 5},
    {"Tile", 6},
    {"Thumbstrip", 7},
}};

namespace {

template <std::size_t N>
void Fill(QComboBox* combo, const std::array<CVisualOptionsDlg::Style, N>& styles, int value)
{
    const QSignalBlocker quiet(combo);
    combo->clear();
    int selected = -1;
    for (std::size_t row = 0; row < N; ++row) {
        combo->insertItem(static_cast<int>(row), QLatin1String(styles[row].text));
        if (styles[row].value == value)
            selected = static_cast<int>(row);
    }
    combo->setCurrentIndex(selected);
}

template <std::size_t N>
int ValueOf(const QComboBox* combo, const std::array<CVisualOptionsDlg::Style, N>& styles)
{
    const int row = combo->currentIndex();
    return row >= 0 && row < static_cast<int>(N) ? styles[static_cast<std::size_t>(row)].value : -1;
}

} // namespace

CVisualOptionsDlg::CVisualOptionsDlg(framework::ModalSeam& seam, QWidget* parent) : QDialog(parent), m_seam(seam)
{
    setObjectName(QStringLiteral("CVisualOptionsDlg"));
    setWindowTitle(QStringLiteral("Visual Options"));

    // Made in the order Tab visits them.
    auto* general = new QGroupBox(QStringLiteral("General"), this);
    m_showCommonTasks = new QCheckBox(QStringLiteral("Show Common &Tasks in Folders"), general);
    auto* background = new QGroupBox(QStringLiteral("Background Image"), this);
    m_imagePath = new QLineEdit(background);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), background);
    m_imageStyleCombo = new QComboBox(background);
    auto* fileList = new QGroupBox(QStringLiteral("File List"), this);
    m_viewStyleCombo = new QComboBox(fileList);

    m_showCommonTasks->setObjectName(QStringLiteral("1041"));
    m_imagePath->setObjectName(QStringLiteral("1045"));
    browse->setObjectName(QStringLiteral("1002"));
    m_viewStyleCombo->setObjectName(QStringLiteral("1044"));
    m_imageStyleCombo->setObjectName(QStringLiteral("1046"));

    auto* imagePathLabel = admin::BuddyLabel(QStringLiteral("&Image Path:"), m_imagePath);
    auto* imageStyleLabel = admin::BuddyLabel(QStringLiteral("Image St&yle:"), m_imageStyleCombo);
    auto* viewStyleLabel = admin::BuddyLabel(QStringLiteral("&View Style:"), m_viewStyleCombo);
    // The two lists line up although they sit in different frames.
    int labelWidth = 0;
    for (QLabel* label : {imagePathLabel, imageStyleLabel, viewStyleLabel})
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QLabel* label : {imagePathLabel, imageStyleLabel, viewStyleLabel})
        label->setMinimumWidth(labelWidth);
    FillStyleCombos();
    const int comboWidth = std::max(m_imageStyleCombo->sizeHint().width(), m_viewStyleCombo->sizeHint().width());
    for (QComboBox* combo : {m_imageStyleCombo, m_viewStyleCombo})
        combo->setMinimumWidth(comboWidth);

    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(m_showCommonTasks);

    auto* backgroundLayout = new QGridLayout(background);
    backgroundLayout->addWidget(imagePathLabel, 0, 0);
    backgroundLayout->addWidget(m_imagePath, 0, 1, 1, 2);
    backgroundLayout->addWidget(browse, 0, 3);
    backgroundLayout->addWidget(imageStyleLabel, 1, 0);
    backgroundLayout->addWidget(m_imageStyleCombo, 1, 1);
    backgroundLayout->setColumnStretch(2, 1);

    auto* fileListLayout = new QGridLayout(fileList);
    fileListLayout->addWidget(viewStyleLabel, 0, 0);
    fileListLayout->addWidget(m_viewStyleCombo, 0, 1);
    fileListLayout->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(background);
    layout->addWidget(fileList);
    layout->addStretch(1);
    layout->addWidget(admin::OkCancelButtons(*this));

    connect(browse, &QPushButton::clicked, this, &CVisualOptionsDlg::OnBrowse);
    connect(m_imageStyleCombo, &QComboBox::currentIndexChanged, this, &CVisualOptionsDlg::OnImageStyleChanged);
    connect(m_viewStyleCombo, &QComboBox::currentIndexChanged, this, &CVisualOptionsDlg::OnViewStyleChanged);
    // Only the administrator's own edits: filling the box must not pick a style.
    connect(m_imagePath, &QLineEdit::textEdited, this, &CVisualOptionsDlg::OnImagePathChanged);

    InitDialog();
    admin::ResizeToDialogUnits(*this, 235, 161);
}

bool CVisualOptionsDlg::LoadFromItem(const CTSAppDataItem& item)
{
    const CLocationVisualOptions& options = item.m_visualOptions;
    m_bShowCommonTasks = options.m_bShowCommonTasks;
    m_strImagePath = admin::ToQString(options.m_strImagePath);
    m_nImageStyle = options.m_nImageStyle;
    m_nViewStyle = options.m_nViewStyle;
    InitDialog();
    return true;
}

bool CVisualOptionsDlg::StoreToItem(CTSAppDataItem& item) const
{
    CLocationVisualOptions& options = item.m_visualOptions;
    options.m_bShowCommonTasks = m_bShowCommonTasks;
    options.m_strImagePath = admin::ToU16(m_strImagePath);
    options.m_nImageStyle = m_nImageStyle;
    options.m_nViewStyle = m_nViewStyle;
    return true;
}

void CVisualOptionsDlg::InitDialog()
{
    UpdateData(false);
    FillStyleCombos();
}

void CVisualOptionsDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strImagePath = m_imagePath->text();
        m_bShowCommonTasks = m_showCommonTasks->isChecked();
        return;
    }
    m_imagePath->setText(m_strImagePath);
    m_showCommonTasks->setChecked(m_bShowCommonTasks);
}

void CVisualOptionsDlg::FillStyleCombos()
{
    Fill(m_imageStyleCombo, kImageStyles, m_nImageStyle);
    Fill(m_viewStyleCombo, kViewStyles, m_nViewStyle);
}

void CVisualOptionsDlg::OnImageStyleChanged() { m_nImageStyle = ValueOf(m_imageStyleCombo, kImageStyles); }

void CVisualOptionsDlg::OnViewStyleChanged() { m_nViewStyle = ValueOf(m_viewStyleCombo, kViewStyles); }

void CVisualOptionsDlg::OnImagePathChanged()
{
    // An image needs a style; "Normal" unless one was chosen.
    if (m_imageStyleCombo->currentIndex() < 0) {
        m_imageStyleCombo->setCurrentIndex(0);
        OnImageStyleChanged();
    }
}

void CVisualOptionsDlg::OnBrowse()
{
    framework::FileDialogRequest request;
    request.kind = framework::FileDialogRequest::Kind::Open;
    request.title = QStringLiteral("Open");
    request.filter = QStringLiteral("Image Files (*.bmp *.gif *.jpg);;All Files (*)");
    request.owner = this;
    const std::optional<QString> chosen = m_seam.ChooseFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    UpdateData(true);
    m_strImagePath = *chosen;
    UpdateData(false);
    OnImagePathChanged();
}

void CVisualOptionsDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}
