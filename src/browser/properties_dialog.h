#pragma once
#include <atomic>
#include <memory>

#include <QDialog>
#include <QFileDevice>

class QLabel;

namespace browser {

class Examiner;
class GuiPost;

// Name, type, place, size, dates and permissions of one file or folder. A
// folder's size is added up on `sizes`, a worker shared by every dialog, so
// that dialogs on a share that hangs leave no thread each.
class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    PropertiesDialog(const QString& path, const QString& typeText, Examiner& sizes, QWidget* parent = nullptr);
    ~PropertiesDialog() override;

    // The text shown for a field: "name", "type", "location", "size",
    // "modified", "accessed", "owner", "permissions".
    QString field(const QString& name) const;

    // "rwxr-x---" from the permission bits of the owner, group and others.
    static QString permissionText(QFileDevice::Permissions permissions);

signals:
    void sizeKnown();

private:
    QLabel* addField(const QString& name, const QString& label, const QString& text);

    std::shared_ptr<GuiPost> m_post;
    std::shared_ptr<std::atomic<bool>> m_cancel;
};

} // namespace browser
