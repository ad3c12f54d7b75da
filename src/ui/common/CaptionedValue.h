#pragma once

#include <QString>

class QLabel;

namespace vantrel {

// Marks the label as showing a value under a caption, as the windows show
// their figures (余力（円）, 現値, 純損益…). Assistive technology then reads
// both as the label's name, "余力（円） 3000000", and the caption alone as its
// description (or the description given: what the value means); the name
// follows every new text, and each change is announced as a change of name.
// (A plain accessible name would hide the value.)
void showAsCaptionedValue(QLabel& label, const QString& caption, const QString& description = {});

} // namespace vantrel
