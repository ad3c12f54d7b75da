#pragma once

#include <QLockFile>
#include <QString>

namespace vantrel {

// Keeps a second copy of the program from running: the first one holds a lock
// file in the user's runtime folder for as long as it lives. A lock left by a
// copy that was killed is recognised as stale and taken over.
class SingleInstance final {
public:
    explicit SingleInstance(const QString& name = QStringLiteral("vantrel"));

    // True when no other copy runs; this one then holds the lock until it is
    // destroyed.
    bool tryAcquire();

private:
    QLockFile m_lock;
};

} // namespace vantrel
