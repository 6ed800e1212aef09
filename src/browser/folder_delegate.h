#pragma once
#include <QStyledItemDelegate>

namespace browser {

// Draws the rows of the list styles. Every style gives all rows one size, so
// that the view never measures row by row in a folder of 100,000 files;
// long names are cut short and shown whole in the tool tip.
class FolderDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum class Mode {
        Plain,      // the icon with the name beside or under it
        Thumbnail,  // a framed preview (or large icon) over the name
        Tile,       // a large icon with name, type and size beside it
    };

    explicit FolderDelegate(QObject* parent = nullptr);

    // `cell` is the size every row gets.
    void setMode(Mode mode, QSize iconSize, QSize cell);
    Mode getMode() const { return m_mode; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QRect textRect(const QStyleOptionViewItem& option) const;

    Mode m_mode = Mode::Plain;
    QSize m_iconSize{16, 16};
    QSize m_cell;
};

} // namespace browser
