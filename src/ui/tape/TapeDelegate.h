#pragma once

#include <QStyledItemDelegate>

namespace vantrel {

// Draws a tape cell as plain text on its background: every visible row moves
// down each second, so the whole list is drawn every second, and the style's
// item drawing (focus frames, icons, eliding by text layout) would cost more
// than the rest of the second together.
class TapeDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace vantrel
