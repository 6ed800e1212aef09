#include "browser/folder_delegate.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "browser/folder_model.h"

namespace browser {

namespace {

constexpr int kPad = 4;

QString text(const QModelIndex& index, int column)
{
    return index.sibling(index.row(), column).data(Qt::DisplayRole).toString();
}

} // namespace

FolderDelegate::FolderDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void FolderDelegate::setMode(Mode mode, QSize iconSize, QSize cell)
{
    m_mode = mode;
    m_iconSize = iconSize;
    m_cell = cell;
}

QSize FolderDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (m_cell.isValid())
        return m_cell;
    return QStyledItemDelegate::sizeHint(option, index);
}

QRect FolderDelegate::textRect(const QStyleOptionViewItem& option) const
{
    const QRect r = option.rect.adjusted(kPad, kPad, -kPad, -kPad);
    const int line = option.fontMetrics.height();
    if (m_mode == Mode::Thumbnail)
        return QRect(r.left(), r.top() + m_iconSize.height() + kPad, r.width(), line + 2);
    // Tile: the first of the lines beside the icon.
    const int left = r.left() + m_iconSize.width() + 2 * kPad;
    const int top = r.top() + (r.height() - 3 * line) / 2;
    return QRect(left, top, r.right() - left, line + 2);
}

void FolderDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const
{
    if (m_mode == Mode::Plain) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    editor->setGeometry(textRect(option).adjusted(0, -2, 0, 2));
}

void FolderDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (m_mode == Mode::Plain) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // Selection and hover as the style draws them, without text or icon.
    opt.text.clear();
    opt.icon = QIcon();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QRect r = option.rect.adjusted(kPad, kPad, -kPad, -kPad);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = option.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    const QColor textColour = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const QString name = index.data(Qt::DisplayRole).toString();
    painter->save();
    painter->setPen(textColour);
    if (m_mode == Mode::Thumbnail) {
        const QRect frame(r.left() + (r.width() - m_iconSize.width()) / 2, r.top(), m_iconSize.width(), m_iconSize.height());
        const QImage preview = index.data(FolderModel::PreviewRole).value<QImage>();
        if (!preview.isNull()) {
            const QSize shown = preview.size().scaled(frame.size(), Qt::KeepAspectRatio);
            const QRect target(frame.center() - QPoint(shown.width() / 2, shown.height() / 2), shown);
            painter->drawImage(target, preview);
            painter->setPen(option.palette.color(QPalette::Mid));
            painter->drawRect(target.adjusted(0, 0, -1, -1));
            painter->setPen(textColour);
        } else {
            const QSize iconSize = m_iconSize / 2;
            icon.paint(painter, QRect(frame.center() - QPoint(iconSize.width() / 2, iconSize.height() / 2), iconSize));
        }
        const QRect text = textRect(option);
        painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop, option.fontMetrics.elidedText(name, Qt::ElideMiddle, text.width()));
    } else {
        const QRect iconRect(r.left(), r.top() + (r.height() - m_iconSize.height()) / 2, m_iconSize.width(), m_iconSize.height());
        icon.paint(painter, iconRect);
        QRect line = textRect(option);
        const int step = option.fontMetrics.height();
        painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter, option.fontMetrics.elidedText(name, Qt::ElideMiddle, line.width()));
        QColor dim = textColour;
        if (!selected)
            dim = option.palette.color(group, QPalette::PlaceholderText);
        painter->setPen(dim);
        for (int column : {int(FolderModel::TypeColumn), int(FolderModel::SizeColumn)}) {
            line.translate(0, step);
            painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                              option.fontMetrics.elidedText(text(index, column), Qt::ElideRight, line.width()));
        }
    }
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

} // namespace browser
