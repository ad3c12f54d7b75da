#pragma once

#include <QString>

class QDateTime;

namespace vantrel {

// The date and time as the log and the trade history write them, in the
// Japanese general form: yyyy/MM/dd H:mm:ss, or the date alone at midnight.
QString timestampText(const QDateTime& when);

} // namespace vantrel
