#pragma once
#include <QFrame>

class QLabel;
class QToolButton;

namespace browser {

// "Show Common Tasks in Folders": a pane beside the folder with the name of
// the folder shown and the tasks for what is selected.
class TaskPane : public QFrame {
    Q_OBJECT
public:
    enum class Task { Open, Rename, Delete, NewFolder, Home, Refresh };

    explicit TaskPane(QWidget* parent = nullptr);

    void setFolderName(const QString& name);
    QString folderName() const;
    // Open and Delete need a selection, Rename exactly one entry.
    void setSelectionCount(int count);
    QToolButton* button(Task task) const;

signals:
    void taskChosen(browser::TaskPane::Task task);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_folder;
    QToolButton* m_buttons[6] = {};
    bool m_iconsSet = false;
};

} // namespace browser
