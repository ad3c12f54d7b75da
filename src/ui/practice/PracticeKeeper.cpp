#include "ui/practice/PracticeKeeper.h"

#include "history/PracticeFolder.h"
#include "history/PracticeSummary.h"
#include "practice/PracticeSession.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Clock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

namespace vantrel {

namespace {

// The keeper of the practice under way, for a program that ends inside
// exit() with the window still standing.
PracticeKeeper* g_liveKeeper = nullptr;

void keepBeforeExit() {
    if (g_liveKeeper)
        g_liveKeeper->keepBeforeExit();
}

} // namespace

PracticeKeeper::PracticeKeeper(const PracticeSession& session, const Clock& clock, QString folder,
                               int intervalMs, QObject* parent)
    : QObject(parent), m_session(session), m_clock(clock),
      m_folder(QDir::cleanPath(std::move(folder))) {
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("keepTimer"));
    m_timer->setInterval(intervalMs);
    connect(m_timer, &QTimer::timeout, this, &PracticeKeeper::keep);
    begin();
    m_folderOrder = QtConcurrent::run(nextKeptOrder, m_folder.toStdString());
    static const bool registered = std::atexit(vantrel::keepBeforeExit) == 0;
    (void)registered;
    g_liveKeeper = this;
}

std::uint64_t PracticeKeeper::takeOrder() {
    if (!m_nextOrder)
        m_nextOrder = m_folderOrder.result();
    return (*m_nextOrder)++;
}

PracticeKeeper::~PracticeKeeper() {
    if (g_liveKeeper == this)
        g_liveKeeper = nullptr;
}

void PracticeKeeper::keepBeforeExit() {
    if (!hasOwn())
        return;
    namespace fs = std::filesystem;
    std::error_code error;
    const std::string folder = m_folder.toStdString();
    fs::create_directories(fs::u8path(folder), error);
    std::string path = m_path.toStdString();
    if (!m_created) {
        // Taken exclusively, as at a first write in the running program.
        m_order = nextKeptOrder(folder);
        const std::string stem = m_stem.toStdString();
        path.clear();
        for (int n = 1; n < 10000 && path.empty(); ++n) {
            const std::string name = stem + (n == 1 ? "" : "_" + std::to_string(n)) + ".json";
            if (std::FILE* file = std::fopen(name.c_str(), "wx")) {
                std::fclose(file);
                path = name;
            }
        }
        if (path.empty())
            return;
    }
    PracticeSummary summary = summarisePractice(m_session, m_startedMs);
    summary.keptAs = fs::u8path(path).filename().u8string();
    summary.order = m_order;
    const SessionFileWrite written = writeKeptPractice(m_session.record(), summary);
    if (!written.text)
        return;
    // Whole or not at all: a temporary beside it, renamed over it, which
    // replaces the entry itself and never writes through a link.
    const fs::path target = fs::u8path(path);
    const fs::path temporary = fs::u8path(path + ".exiting");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(written.text->data(), static_cast<std::streamsize>(written.text->size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return;
        }
    }
    fs::rename(temporary, target, error);
    if (error)
        fs::remove(temporary, error);
}

void PracticeKeeper::begin() {
    const QDateTime now = m_clock.now();
    m_startedMs = now.toMSecsSinceEpoch();
    m_stem = QStringLiteral("%1/%2_market%3")
                 .arg(m_folder, now.toString(QStringLiteral("yyyy-MM-dd_HHmmss")))
                 .arg(m_session.marketNumber());
    // The name it will most likely take; fixed when its file is created.
    m_path = m_stem + QStringLiteral(".json");
    m_created = false;
    m_pruned = false;
    m_replayed = 0;
    m_replayedBranches = 0;
    m_timer->start();
}

void PracticeKeeper::handedOver() {
    m_replayed = m_session.actions().size();
    m_replayedBranches = m_session.branches().size();
}

bool PracticeKeeper::hasOwn() const {
    // Going back leaves a branch and fewer presses: the practice changed
    // all the same.
    return !m_session.replaying() && (m_session.actions().size() > m_replayed ||
                                      m_session.branches().size() > m_replayedBranches);
}

void PracticeKeeper::keep() {
    if (!hasOwn())
        return;
    std::optional<QString> problem;
    if (!QDir().mkpath(m_folder))
        problem = QStringLiteral("フォルダーを作れません");
    else if (!m_created || !stillOwn())
        problem = create();
    else if (const SessionFileWrite written = fileText(m_path); written.text)
        problem = writeFileAtomically(m_path, *written.text);
    else
        problem = QString::fromStdString(written.error);
    if (problem) {
        if (!std::exchange(m_complained, true))
            std::fprintf(stderr, "vantrel: practice not kept in %s (%s)\n",
                         qUtf8Printable(m_folder), qUtf8Printable(*problem));
        return;
    }
    // Once per practice, when its file first joins the folder; on a worker,
    // as it reads every kept file's first line. It removes only files
    // written before this one and the one kept before it.
    if (!std::exchange(m_pruned, true))
        (void)QtConcurrent::run(pruneKeptPractices, m_folder.toStdString(), kKeptPracticesLimit,
                                m_path.toStdString());
    emit kept();
}

SessionFileWrite PracticeKeeper::fileText(const QString& path) const {
    PracticeSummary summary = summarisePractice(m_session, m_startedMs);
    summary.keptAs = QFileInfo(path).fileName().toStdString();
    summary.order = m_order;
    return writeKeptPractice(m_session.record(), summary);
}

std::optional<QString> PracticeKeeper::create() {
    if (!m_created)
        m_order = takeOrder();
    // Taken exclusively: a second copy started in the same second on the
    // same market gets the next name rather than overwriting this one. The
    // whole file is written first under a hidden name no list reads, then
    // renamed to the kept name, which the rename refuses if it exists.
    for (int n = 1; n < 10000; ++n) {
        const QString path =
            m_stem + (n == 1 ? QStringLiteral(".json") : QStringLiteral("_%1.json").arg(n));
        const QFileInfo taken(path);
        if (taken.exists() || taken.isSymLink())
            continue;
        const SessionFileWrite written = fileText(path);
        if (!written.text)
            return QString::fromStdString(written.error);
        QTemporaryFile file(m_folder + QStringLiteral("/.vantrel-keeping-XXXXXX"));
        if (!file.open())
            return fileProblemText(file.error(), 0, file.errorString());
        const auto size = static_cast<qint64>(written.text->size());
        if (file.write(written.text->data(), size) != size || !file.flush())
            return fileProblemText(file.error(), 0, file.errorString());
        // As any new file of the user's would be, not the temporary's 0600.
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ReadGroup | QFileDevice::ReadOther);
        if (file.rename(path)) {
            file.setAutoRemove(false);
            m_path = path;
            m_created = true;
            return std::nullopt;
        }
        // Taken in the meantime (a file, a folder or a link): the next.
        const QFileInfo now(path);
        if (!now.exists() && !now.isSymLink())
            return fileProblemText(file.error(), 0, file.errorString());
    }
    return QStringLiteral("空いているファイル名がありません");
}

bool PracticeKeeper::stillOwn() const {
    const ListedPractice listed = readListedPractice(m_path.toStdString());
    return listed.own && listed.summary->order == m_order;
}

std::optional<QString> PracticeKeeper::chosenFolder() {
    const QByteArray bytes = qgetenv("VANTREL_HISTORY_DIR");
    if (bytes.isEmpty())
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString folder = utf8.decode(bytes);
    if (utf8.hasError()) {
        std::fprintf(stderr,
                     "vantrel: VANTREL_HISTORY_DIR が UTF-8 ではないため、練習を記録しません\n");
        return QString();
    }
    return QDir::cleanPath(folder);
}

} // namespace vantrel
