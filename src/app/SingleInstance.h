#pragma once

#include <QLockFile>
#include <QString>

namespace vantrel {

// Keeps a second copy of the program from running: the first one holds a lock
// file in the user's runtime folder for as long as it lives. A lock that does
// not read as a live copy on this machine (left by a copy that was killed,
// empty, garbage, a folder of that name, another machine's name) is stale and
// taken over.
class SingleInstance final {
public:
    enum class Outcome {
        Acquired,          // no other copy runs; this one holds the lock until destroyed
        HeldByAnotherCopy, // another copy runs
        Unavailable,       // the lock cannot be made at all (see problem())
    };

    // The lock file is name.lock in folder; with no folder the lock is
    // Unavailable.
    explicit SingleInstance(const QString& folder = defaultFolder(),
                            const QString& name = QStringLiteral("vantrel"));

    Outcome tryAcquire();
    // After Unavailable: why, in a few words with the lock's path.
    QString problem() const;

    // The user's runtime folder, or empty where there is none.
    static QString defaultFolder();

private:
    bool heldByLiveCopy() const;

    QString m_path;
    QLockFile m_lock;
    QString m_problem; // set when a stale lock could not be removed
};

} // namespace vantrel
