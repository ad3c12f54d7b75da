#pragma once

#include "results/Measure.h"

namespace vantrel {

// The object name of the label that shows the number in 取引成績 (the names
// the window's design gives them); nullptr for a number the window does not
// show.
const char* resultLabelName(Measure measure);

} // namespace vantrel
