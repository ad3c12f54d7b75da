#pragma once

#include "trading/NumberReading.h"

#include <QString>

namespace vantrel {

// How the window writes every number it shows: the board, the captions and
// the About box's version. The one place to change when the display rule
// changes.
inline QString numberText(double value) {
    return QString::fromStdString(plainDecimal(value));
}

} // namespace vantrel
