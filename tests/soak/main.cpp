// vantrel-soak: runs the real window (offscreen) for --steps seconds, each
// stepped with 1秒進める, with random user actions through its widgets, holds
// the account against the books kept from the log after every event, and
// fails if memory grows from the first report to the end by more than the
// log's own lines explain.
#include "support/Session.h"
#include "ui/ScriptedDialogs.h"
#include "ui/common/Clock.h"
#include "ui/mainwindow/MessageLog.h"
#include "ui/mainwindow/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include <cstdio>
#include <fstream>
#include <tuple>

#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {
using namespace vantrel;

// The memory that must stay flat, in MiB. Under AddressSanitizer the resident
// size is mostly the sanitizer's own (freed blocks held back to catch late
// use), so there the bytes the program holds allocated are followed instead.
double memoryMiB() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
#ifdef __SANITIZE_ADDRESS__
    return __sanitizer_get_current_allocated_bytes() / 1048576.0;
#else
    double total = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> total >> resident;
    return resident * sysconf(_SC_PAGESIZE) / 1048576.0;
#endif
}

int logLines(const QPlainTextEdit& box) {
    const QTextDocument& log = *box.document();
    return log.isEmpty() ? 0 : log.blockCount();
}

// The log's messages from line `from` on, without their time stamps.
Lines messages(const QPlainTextEdit& box, int from) {
    Lines lines;
    for (QTextBlock line = box.document()->findBlockByNumber(from);
         line.isValid() && !line.text().isEmpty(); line = line.next())
        lines.push_back(
            line.text().mid(line.text().indexOf(QStringLiteral("  ")) + 2).toStdString());
    return lines;
}

// Chooses an option, enters a text as an input method commits it, or clicks
// a buy, sell or cancel button.
void userAction(const frmMain& window, test::RandomUser& user) {
    const QString side = user.below(2) ? "Buy" : "Sell";
    const auto named = [&window](const QString& name) { return window.findChild<QWidget*>(name); };
    const int kind = user.below(100);
    if (kind < 20) {
        const bool price = user.below(2);
        const int index = user.below(price ? 2 : 3);
        QTest::mouseClick(named("opt" + side + (price ? "Opt" : "Amount") + QString::number(index)),
                          Qt::LeftButton);
    } else if (kind < 55) {
        const int box = user.below(3);
        const char* const boxes[] = {"Price", "Amount", "Power"}; // price, shares, yen
        auto* edit = static_cast<QLineEdit*>(named("txt" + side + boxes[box]));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QInputMethodEvent typed;
        typed.setCommitString(QString::fromStdString(user.text(box)));
        QCoreApplication::sendEvent(edit, &typed);
        // A line edit keeps every keystroke for Ctrl+Z until its text is set;
        // without this the memory check would measure the typing.
        edit->setText(edit->text());
    } else {
        QTest::mouseClick(named(kind < 92 ? "cmd" + side + "Now" : "cmdCancelOldest"),
                          Qt::LeftButton);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"steps", "Seconds to run.", "N", "1000000"},
                       {"seed", "Seed of the user's actions.", "S", "1"}});
    parser.process(app);
    const int steps = parser.value("steps").toInt();
    // A report every 100000 steps, or every tenth of a shorter run; the first is the baseline.
    const int every = steps >= 200000 ? 100000 : std::max(1, steps / 10);
    SystemClock clock;
    test::ScriptedDialogs boxes;
    frmMain window(clock, boxes), fresh(clock, boxes);
    for (frmMain* w : {&window, &fresh}) {
        w->findChild<QAction*>("MnuPause")->trigger(); // time moves by steps only
        w->show();
    }
    QAction& second = *window.findChild<QAction*>("MnuStep");
    const QPlainTextEdit& logBox = *window.findChild<QPlainTextEdit*>("txtResponse");
    test::TradingBooks books;
    test::RandomUser user(parser.value("seed").toUInt());
    const auto run = [&](int step, const std::function<void()>& event) {
        const Account before = window.session().trader().account();
        const int lines = logLines(logBox), shown = boxes.boxes;
        event();
        if (const auto problem = books.afterAction(before, window.session().trader().account(),
                                                   messages(logBox, lines), boxes.boxes > shown)) {
            std::fprintf(stderr, "vantrel-soak: step %d: %s\n", step, problem->c_str());
            std::exit(1);
        }
    };
    double baseline = 0;
    std::size_t baselineLines = 0;
    for (int step = 1; step <= steps; ++step) {
        run(step, [&] { second.trigger(); });
        if (user.below(10) < 3)
            run(step, [&] { userAction(window, user); });
        if (step % 64 == 0)
            QCoreApplication::processEvents();
        if (step % every == 0) {
            const double memory = memoryMiB();
            const std::size_t lines = logLines(logBox);
            std::printf("step %8d  log lines %7zu  memory %6.1f MiB\n", step, lines, memory);
            if (step == every)
                std::tie(baseline, baselineLines) = std::make_pair(memory, lines);
        }
    }
    // What the log's lines since the baseline cost with nothing else going
    // on: a fresh window's log box takes the same lines, memory read at the
    // same line.
    const double grown = memoryMiB() - baseline;
    const Lines log = messages(logBox, 0);
    MessageLog freshLog(*fresh.findChild<QPlainTextEdit*>("txtResponse"), clock);
    double cost = -memoryMiB();
    for (std::size_t line = 0; line < log.size(); ++line) {
        cost = line == baselineLines ? -memoryMiB() : cost;
        freshLog.AddLog(log[line]);
        if (line % 16 == 0)
            QCoreApplication::processEvents();
    }
    cost += memoryMiB();
    const double slack = 4; // allocator pools and caches settle at their own pace
    std::printf("memory grew %.1f MiB after step %d; the log explains %.1f MiB, slack %.0f: %s\n",
                grown, every, cost, slack, grown <= cost + slack ? "flat" : "GROWING");
    return grown <= cost + slack ? 0 : 1;
}
