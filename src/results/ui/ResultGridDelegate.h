#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

namespace vantrel {

// The 16 x 16 picture in front of a marked row's name: drawn in code on a
// purple (128, 0, 128) ground, and purple is transparent.
QPixmap markPicture();

// Draws one result-grid cell: text clipped to the cell, its top 2 pixels below
// the cell's top; left-aligned texts start `leftMargin` pixels in, right-
// aligned ones (the model's TextAlignmentRole) end `rightMargin` pixels inside
// the right edge. A cell whose MarkedRole is true shows the mark picture at
// (left + 2, top + 2) and its text from left + 18.
//
// A text wider than its room is shortened in the middle with "…", so that
// both the start and the end of a long folder or name stay in sight; the
// cell's tool tip then shows the whole text. Over a text that fits, the
// view's own tool tip (the grid's hint) shows.
class ResultGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ResultGridDelegate(QObject* parent = nullptr);

    void setMargins(int left, int right);
    int leftMargin() const { return m_left; }
    int rightMargin() const { return m_right; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // The room for a cell's text within the cell's rectangle `cell`.
    QRect textRect(const QRect& cell, const QModelIndex& index) const;
    // The text as the cell shows it with the font metrics `fm` in `cell`.
    QString shownText(const QFontMetrics& fm, const QRect& cell, const QModelIndex& index) const;

private:
    QPixmap m_mark;
    int m_left = 2;
    int m_right = 2;
};

}  // namespace vantrel
