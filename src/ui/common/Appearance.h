#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>
#include <QWidget>

class QLineEdit;

namespace vantrel {

// The Gothic face the window is drawn in, falling back to the Japanese Gothic
// fonts a Linux desktop has, so every Japanese caption finds its glyphs.
QFont gothicFont(qreal pointSize);

// A serif face for titles.
QFont serifFont(qreal pointSize, bool bold);

// Number boxes still take any text (the order checks judge it), but the input
// method should offer Latin digits first.
void preferLatinDigits(QLineEdit& box);

// A loss is written with its minus sign and drawn in this colour as well.
inline QColor lossColour() {
    return {0xc0, 0x10, 0x10};
}

// The program's icon in all its sizes.
QIcon programIcon();

// The windows are of fixed size, so each control has a fixed place; its
// objectName is the control's name.
template <class Widget>
Widget* placeWidget(QWidget* parent, const QString& name, const QRect& rect) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

} // namespace vantrel
