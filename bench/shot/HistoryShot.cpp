// history-shot: eight practices on eight days kept in a fresh folder, then
// 練習の記録 opened through its menu item, as the README's screenshot shows
// it. It stays up until it is killed (or for a minute), so `import -window
// root` can take the screen under Xvfb once 上位 has been computed. With
// --attempts, はじめての買い集め is then played on six more days, each bought
// at a different moment, and the window shows that card's attempts alone.
#include "app/Program.h"
#include "ui/common/Clock.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/mainwindow/frmMain.h"

#include "ShotDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QTimer>

using namespace vantrel;
using namespace vantrel::shot;

namespace {

class DayClock final : public Clock {
public:
    QDateTime now() const override { return day; }
    QDateTime day{QDate(2026, 11, 30), QTime(20, 15)};
};

// Answers every question yes and every market number with the next one.
class Answers final : public Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool confirm(const QString&) override { return true; }
    std::optional<QString> askMarketNumber(int) override { return QString::number(++market); }
    std::optional<QString> askStudentName() override { return std::nullopt; }
    QString askOpenPath(const QString&, const QString&) override { return {}; }
    QString askSavePath(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString askFolder(const QString&) override { return {}; }
    int market = 1;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);
    DayClock clock;
    Answers dialogs;
    frmMain window(clock, dialogs);
    const QString folder = QDir::tempPath() + QStringLiteral("/vantrel-history-shot");
    QDir(folder).removeRecursively();
    window.useHistory(folder, true, 30000);
    window.show();
    for (int day = 0; day < 8; ++day) {
        action(window, "MnuPause")->trigger();
        for (int trip = 0; trip < 2 + day % 3; ++trip) {
            order(window, "Buy", QString(),
                  QStringLiteral("%1").arg(1000 * (1 + (day + trip) % 3)));
            run(window, 40 + 23 * ((day * 7 + trip * 3) % 5));
            order(window, "Sell", QString(),
                  QStringLiteral("%1").arg(1000 * (1 + (day + trip) % 3)));
            run(window, 30 + 17 * ((day + trip) % 4));
        }
        clock.day = clock.day.addDays(1);
        action(window, "MnuNewPractice")->trigger(); // keeps the day's practice
    }
    const bool attempts = argc > 1 && QString::fromLatin1(argv[1]) == QStringLiteral("--attempts");
    const auto topLevel = [](const char* name) -> QWidget* {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QString::fromLatin1(name) && widget->isVisible())
                return widget;
        return nullptr;
    };
    for (int day = 0; attempts && day < 6; ++day) {
        action(window, "MnuExercise1")->trigger();
        window.findChild<QAbstractButton*>(QStringLiteral("cmdStart"))->click();
        action(window, "MnuPause")->trigger();
        // Bought at a different moment each day, for different scores.
        run(window, 5 + 47 * ((day * 5) % 6));
        order(window, "Buy", QString(), QStringLiteral("1000"));
        while (!topLevel("frmScore"))
            run(window, 1);
        // Scored off the window's thread: kept once it is.
        while (topLevel("frmScore")
                   ->findChild<QLabel*>(QStringLiteral("lblScore"))
                   ->text()
                   .startsWith(QStringLiteral("採点中"))) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        topLevel("frmScore")->close();
        clock.day = clock.day.addDays(1);
        action(window, "MnuNewPractice")->trigger();
    }
    action(window, "MnuHistory")->trigger();
    if (attempts)
        QTimer::singleShot(3000, [&topLevel] {
            auto* cards = topLevel("frmHistory")->findChild<QComboBox*>("cardFilter");
            cards->setCurrentIndex(1);
        });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
