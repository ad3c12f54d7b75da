#include "ui/common/TimestampText.h"

#include <QDateTime>

namespace vantrel {

QString timestampText(const QDateTime& when) {
    const QTime time = when.time();
    const bool midnight = time.hour() == 0 && time.minute() == 0 && time.second() == 0;
    return when.toString(midnight ? QStringLiteral("yyyy/MM/dd")
                                  : QStringLiteral("yyyy/MM/dd H:mm:ss"));
}

} // namespace vantrel
