#include "ui/tape/TapeDelegate.h"

#include <QPainter>

namespace vantrel {

void TapeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    painter->save();
    if (selected) {
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else if (const QVariant background = index.data(Qt::BackgroundRole); background.isValid()) {
        painter->fillRect(option.rect, background.value<QBrush>());
    }
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter->setPen(selected               ? option.palette.color(group, QPalette::HighlightedText)
                    : foreground.isValid() ? foreground.value<QBrush>().color()
                                           : option.palette.color(group, QPalette::Text));
    if (const QVariant font = index.data(Qt::FontRole); font.isValid())
        painter->setFont(font.value<QFont>().resolve(option.font));
    else
        painter->setFont(option.font);
    const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    painter->drawText(option.rect.adjusted(4, 0, -4, 0), static_cast<int>(alignment),
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

} // namespace vantrel
