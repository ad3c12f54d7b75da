// results-shot: a practice session with fills and the results window open,
// as the README's screenshot shows it (with --tape, the tape window instead:
// the README's second screenshot). It buys, sells and leaves an order
// pending while the market runs, then stays up until it is killed (or for a
// minute), so `import -window root` can take the screen under Xvfb.
//
// With --rewind, the practice then goes back to 0:02:40 with the results
// window's slider and ここからやり直す, and stays paused there, the slider
// then at 1:30 to show what would have happened from there.
//
// With --branches, it goes back twice more after trying other trades, and
// 分岐 lists the three lines.
//
// Given a tab's caption (results-shot 統計, results-shot 運か実力か), the
// session goes on: the pending buy is cancelled, the shares sold and a few
// more round trips made, then that tab is chosen in the results window.
#include "app/Program.h"
#include "ui/common/Clock.h"
#include "ui/common/dialogs/ModalDialogs.h"
#include "ui/mainwindow/frmMain.h"

#include "ShotDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

using namespace vantrel;
using namespace vantrel::shot;

namespace {

// Reads the time as if the session had run in real time from 9:00.
class MarketClock final : public Clock {
public:
    QDateTime now() const override {
        return QDateTime(QDate(2024, 3, 5), QTime(9, 0))
            .addSecs(window ? static_cast<qint64>(window->session().elapsed()) : 0);
    }
    const frmMain* window = nullptr;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);
    MarketClock clock;
    ModalDialogs dialogs;
    frmMain window(clock, dialogs);
    clock.window = &window;
    action(window, "MnuPause")->trigger();
    window.show();

    run(window, 60);
    order(window, "Buy", QStringLiteral("497"), QStringLiteral("3000"));
    run(window, 90);
    order(window, "Sell", QString(), QStringLiteral("1000"));
    run(window, 40);
    order(window, "Buy", QString(), QStringLiteral("2000"));
    run(window, 60);
    order(window, "Sell", QString(), QStringLiteral("2000"));
    run(window, 50);
    // The tape shows the newest lines: there the last buy fills, in sight.
    const bool tape = app.arguments().contains(QStringLiteral("--tape"));
    order(window, "Buy", tape ? QString() : QStringLiteral("490"), QStringLiteral("1000"));
    run(window, tape ? 16 : 30);

    const bool branches = app.arguments().contains(QStringLiteral("--branches"));
    const bool rewind = branches || app.arguments().contains(QStringLiteral("--rewind"));
    const QString tab =
        argc > 1 && !tape && !rewind && !branches ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!tab.isEmpty()) {
        window.findChild<QAbstractButton*>("cmdCancelOldest")->click();
        order(window, "Sell", QString(), QStringLiteral("2000"));
        run(window, 20);
        const int holds[] = {45, 120, 30, 90, 60, 150};
        for (const int hold : holds) {
            order(window, "Buy", QString(), QStringLiteral("1000"));
            run(window, hold);
            order(window, "Sell", QString(), QStringLiteral("1000"));
            run(window, 25);
        }
    }

    // Opened as the user opens it; where it goes is the program's choice.
    action(window, tape ? "MnuTape" : "MnuResults")->trigger();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* tabs = top->findChild<QTabWidget*>(QStringLiteral("tabResults")))
            for (int index = 0; index < tabs->count(); ++index)
                if (tabs->tabText(index) == tab)
                    tabs->setCurrentIndex(index);

    if (rewind) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* slider = top->findChild<QSlider*>(QStringLiteral("sldRewind"))) {
                slider->setValue(160);
                top->findChild<QAbstractButton*>(QStringLiteral("cmdRewind"))->click();
                if (branches) {
                    order(window, "Sell", QString(), QStringLiteral("2000"));
                    run(window, 200);
                    slider->setValue(100);
                    top->findChild<QAbstractButton*>(QStringLiteral("cmdRewind"))->click();
                    order(window, "Buy", QString(), QStringLiteral("3000"));
                    run(window, 150);
                    order(window, "Sell", QString(), QStringLiteral("3000"));
                    run(window, 40);
                }
                // What closing at 1:30 would have done, in sight.
                slider->setValue(90);
            }
        if (branches)
            action(window, "MnuBranches")->trigger();
    } else {
        // The clock runs again, so the caption reads as a practice under way.
        action(window, "MnuPause")->trigger();
    }
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
