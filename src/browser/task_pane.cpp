#include "browser/task_pane.h"

#include <iterator>

#include <QLabel>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace browser {

namespace {

struct TaskInfo {
    TaskPane::Task task;
    const char* text;
    QStyle::StandardPixmap icon;
};

const TaskInfo kTasks[] = {
    {TaskPane::Task::Open, QT_TRANSLATE_NOOP("browser::TaskPane", "Open"), QStyle::SP_DialogOpenButton},
    {TaskPane::Task::Rename, QT_TRANSLATE_NOOP("browser::TaskPane", "Rename"), QStyle::SP_FileDialogDetailedView},
    {TaskPane::Task::Delete, QT_TRANSLATE_NOOP("browser::TaskPane", "Delete"), QStyle::SP_TrashIcon},
    {TaskPane::Task::NewFolder, QT_TRANSLATE_NOOP("browser::TaskPane", "New Folder"), QStyle::SP_FileDialogNewFolder},
    {TaskPane::Task::Home, QT_TRANSLATE_NOOP("browser::TaskPane", "Go Home"), QStyle::SP_DirHomeIcon},
    {TaskPane::Task::Refresh, QT_TRANSLATE_NOOP("browser::TaskPane", "Refresh"), QStyle::SP_BrowserReload},
};

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TaskPane::TaskPane(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("taskPane"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::AlternateBase));
    setPalette(pal);
    setFixedWidth(190);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(2);
    m_folder = new QLabel(this);
    m_folder->setObjectName(QStringLiteral("taskPaneFolder"));
    QFont big = m_folder->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_folder->setFont(big);
    m_folder->setWordWrap(true);
    layout->addWidget(m_folder);
    layout->addSpacing(12);
    layout->addWidget(heading(tr("File and Folder Tasks"), this));
    int i = 0;
    for (const TaskInfo& info : kTasks) {
        if (info.task == Task::Home) {
            layout->addSpacing(12);
            layout->addWidget(heading(tr("Other Places"), this));
        }
        auto* button = new QToolButton(this);
        button->setText(tr(info.text));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        const Task task = info.task;
        connect(button, &QToolButton::clicked, this, [this, task] { emit taskChosen(task); });
        layout->addWidget(button);
        m_buttons[i++] = button;
    }
    layout->addStretch(1);
    setSelectionCount(0);
}

void TaskPane::showEvent(QShowEvent* event)
{
    // The style's images are read when the pane is first seen: it starts
    // hidden, and many sessions never show it.
    if (!m_iconsSet) {
        m_iconsSet = true;
        for (int i = 0; i < int(std::size(kTasks)); ++i)
            m_buttons[i]->setIcon(style()->standardIcon(kTasks[i].icon));
    }
    QFrame::showEvent(event);
}

void TaskPane::setFolderName(const QString& name)
{
    m_folder->setText(name);
}

QString TaskPane::folderName() const
{
    return m_folder->text();
}

void TaskPane::setSelectionCount(int count)
{
    button(Task::Open)->setEnabled(count > 0);
    button(Task::Delete)->setEnabled(count > 0);
    button(Task::Rename)->setEnabled(count == 1);
}

QToolButton* TaskPane::button(Task task) const
{
    return m_buttons[static_cast<int>(task)];
}

} // namespace browser
