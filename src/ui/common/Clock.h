#pragma once

#include <QDateTime>

namespace vantrel {

// Where the window takes the time of day from; tests supply a fixed one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace vantrel
