#pragma once

#include "ui/Clock.h"

namespace vantrel::test {

// A clock that reads whatever the test set.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime now = QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)))
        : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }

private:
    QDateTime m_now;
};

} // namespace vantrel::test
