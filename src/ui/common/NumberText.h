#pragma once

#include "base/NumberText.h"

#include <QString>

namespace vantrel {

// How the window writes every number it shows: the board, the captions and
// the About box's version, with no binary noise past 15 significant digits.
// The one place to change when the display rule changes.
inline QString numberText(double value) {
    return QString::fromStdString(displayNumber(value));
}

} // namespace vantrel
