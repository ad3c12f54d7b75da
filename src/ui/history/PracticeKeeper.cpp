#include "ui/history/PracticeKeeper.h"

#include "history/PracticeFolder.h"
#include "history/PracticeSummary.h"
#include "practice/PracticeSession.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Clock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace vantrel {

PracticeKeeper::PracticeKeeper(const PracticeSession& session, const Clock& clock, QString folder,
                               int intervalMs, QObject* parent)
    : QObject(parent), m_session(session), m_clock(clock), m_folder(std::move(folder)) {
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tmrKeep"));
    m_timer->setInterval(intervalMs);
    connect(m_timer, &QTimer::timeout, this, &PracticeKeeper::keep);
    begin();
}

void PracticeKeeper::begin() {
    const QDateTime now = m_clock.now();
    m_startedMs = now.toMSecsSinceEpoch();
    const QString stem = QStringLiteral("%1/%2_market%3")
                             .arg(m_folder, now.toString(QStringLiteral("yyyy-MM-dd_HHmmss")))
                             .arg(m_session.marketNumber());
    m_path = stem + QStringLiteral(".json");
    for (int n = 2; QFileInfo::exists(m_path); ++n)
        m_path = stem + QStringLiteral("_%1.json").arg(n);
    m_pruned = false;
    m_replayed = 0;
    m_timer->start();
}

void PracticeKeeper::handedOver() {
    m_replayed = m_session.actions().size();
}

void PracticeKeeper::keep() {
    if (m_session.replaying() || m_session.actions().size() <= m_replayed)
        return;
    const SessionFileWrite written =
        writeKeptPractice(m_session.record(), summarisePractice(m_session, m_startedMs));
    std::optional<QString> problem;
    if (!written.text)
        problem = QString::fromStdString(written.error);
    else if (!QDir().mkpath(m_folder))
        problem = QStringLiteral("フォルダーを作れません");
    else
        problem = writeFileAtomically(m_path, *written.text);
    if (problem) {
        if (!std::exchange(m_complained, true))
            std::fprintf(stderr, "vantrel: practice not kept in %s (%s)\n",
                         qUtf8Printable(m_folder), qUtf8Printable(*problem));
        return;
    }
    // Once per practice: when its file first joins the folder.
    if (!std::exchange(m_pruned, true))
        pruneKeptPractices(m_folder.toStdString(), kKeptPracticesLimit, m_path.toStdString());
    emit kept();
}

} // namespace vantrel
