#pragma once
#include <memory>

#include <QIcon>
#include <QImage>
#include <QWidget>

namespace browser {

class GuiPost;
class PreviewLoader;

// The large picture of the "Thumbstrip" style: the selected image, read on
// the previews' pool at a size that fits; the icon and name for anything else.
class ThumbstripPreview : public QWidget {
    Q_OBJECT
public:
    // `loader` outlives this widget.
    explicit ThumbstripPreview(PreviewLoader& loader, QWidget* parent = nullptr);
    ~ThumbstripPreview() override;

    void ShowItem(const QString& path, const QString& name, const QIcon& icon, bool isImage);
    void Clear();
    const QString& ShownPath() const { return m_path; }
    bool HasImage() const { return !m_image.isNull(); }

signals:
    void imageShown();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewLoader& m_loader;
    std::shared_ptr<GuiPost> m_post;
    quint64 m_ticket = 0;
    QString m_path;
    QString m_name;
    QIcon m_icon;
    QImage m_image;
};

} // namespace browser
