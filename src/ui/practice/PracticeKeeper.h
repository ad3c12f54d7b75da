#pragma once

#include "practice/SessionFile.h"
#include <QFuture>

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

class QTimer;

namespace vantrel {

class Clock;
class PracticeSession;

// Keeps every practice as a session file in the history folder, so closing
// the window loses nothing: written when the practice is finalised (a fresh
// start, opening a file, the program's end) and every interval of wall time
// while it runs, each time whole or not at all, so a crash loses at most one
// interval. A practice without any press is not kept. A folder that cannot
// be written costs one line on standard error, once; the practice goes on.
// Its first write is the whole file, written beside under a hidden name and
// then given the first free kept name (the next one when another copy took
// it the same second): the name never holds an empty or partial file, even
// for a program killed at that moment. It is rewritten only while it is
// still the practice's own regular file; otherwise it takes a new name.
class PracticeKeeper final : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultIntervalMs = 30000;

    PracticeKeeper(const PracticeSession& session, const Clock& clock, QString folder,
                   int intervalMs = kDefaultIntervalMs, QObject* parent = nullptr);
    ~PracticeKeeper() override;

    // The folder named by VANTREL_HISTORY_DIR, tidied ("drill/" is "drill");
    // nothing when it is not set. Bytes that are not UTF-8 cannot name it
    // faithfully: refused with one line on standard error, and an empty
    // folder returned, so nothing is kept in this run.
    static std::optional<QString> chosenFolder();

    // A practice starts now: a new file name from the wall clock and market.
    void begin();
    // Writes the practice as it stands, its branches with it: nothing
    // without a press or a branch of its own.
    // A replayed file is not kept again: not while it replays, and after it
    // has handed over only once a press has followed.
    void keep();
    // The same write for a program ended by exit() from below the window
    // (Qt's X11 plugin exits at once when the display goes away, as on a
    // logout): called then for the live keeper, it writes with the standard
    // library alone, since Qt's own global objects may be gone by then, and
    // prunes and announces nothing.
    void keepBeforeExit();
    // The replay has handed over: the presses so far came from its file.
    void handedOver();
    // The file of the practice under way (it may not exist yet).
    const QString& currentPath() const { return m_path; }
    const QString& folder() const { return m_folder; }

signals:
    // A file was written: the list may show it.
    void kept();

private:
    // Writes the practice under the first free name; why not, if it fails.
    std::optional<QString> create();
    // The practice's file as it reads under that name (its summary names it).
    SessionFileWrite fileText(const QString& path) const;
    // A press or a branch of its own, past what a replay handed over.
    bool hasOwn() const;
    // The file at m_path is still the one this keeper wrote.
    bool stillOwn() const;

    const PracticeSession& m_session;
    const Clock& m_clock;
    QString m_folder;
    QString m_path;
    std::int64_t m_startedMs = 0;
    QString m_stem;         // the name without ".json", from the start's time and market
    bool m_created = false; // its file was created in this run, under m_path
    std::uint64_t m_order = 0;
    // The order the next practice takes: the folder's highest plus one,
    // read once on a worker while the first practice starts (a folder of
    // 50,000 files takes about a second), then counted on here.
    std::uint64_t takeOrder();
    QFuture<std::uint64_t> m_folderOrder;
    std::optional<std::uint64_t> m_nextOrder;
    QTimer* m_timer = nullptr;
    bool m_complained = false;
    bool m_pruned = false;
    std::size_t m_replayed = 0;
    std::size_t m_replayedBranches = 0;
};

} // namespace vantrel
