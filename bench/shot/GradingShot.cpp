// The README's screenshot of クラスの採点: a class of thirty students beside
// every kind of hand-in the grader refuses, graded and sorted by score.
//   grading-shot              the window, for a minute, to be photographed
//   grading-shot --class DIR  only the class: DIR/card.json and DIR/class/
#include "app/Program.h"
#include "exercise/GradeTable.h"
#include "support/ClassFolder.h"
#include "ui/common/Clock.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/grading/ClassGradeModel.h"
#include "ui/grading/frmGrading.h"
#include "ui/mainwindow/frmMain.h"

#include "ShotDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace vantrel;

namespace {

class DayClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 7), QTime(15, 30)); }
};

// Answers the card file and the folder with the class's.
class Answers final : public Dialogs {
public:
    explicit Answers(QString folder) : m_folder(std::move(folder)) {}
    void ShowMessage(const std::string&, const std::string&) override {}
    bool confirm(const QString&) override { return true; }
    std::optional<QString> askMarketNumber(int) override { return std::nullopt; }
    std::optional<QString> askStudentName() override { return std::nullopt; }
    QString askOpenPath(const QString&, const QString&) override {
        return m_folder + QStringLiteral("/card.json");
    }
    QString askSavePath(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString askFolder(const QString&) override { return m_folder + QStringLiteral("/class"); }

private:
    QString m_folder;
};

bool writeClassFolder(const QString& folder) {
    QDir(folder + QStringLiteral("/class")).removeRecursively();
    if (!QDir().mkpath(folder + QStringLiteral("/class")))
        return false;
    QFile card(folder + QStringLiteral("/card.json"));
    if (!card.open(QIODevice::WriteOnly) || card.write(test::kClassCard) < 0)
        return false;
    test::writeClass((folder + QStringLiteral("/class")).toStdString(), 30);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    // Only files: no display is needed, nor any window.
    if (argc == 3 && std::string(argv[1]) == "--class") {
        if (writeClassFolder(QString::fromLocal8Bit(argv[2])))
            return 0;
        std::fprintf(stderr, "grading-shot: cannot write the class\n");
        return 1;
    }
    QApplication app(argc, argv);
    setUpApplication(app);
    const QString folder = QDir::tempPath() + QStringLiteral("/vantrel-grading-shot");
    if (!writeClassFolder(folder))
        return 1;
    DayClock clock;
    Answers dialogs(folder);
    frmMain window(clock, dialogs);
    window.show();
    shot::action(window, "MnuGradeClass")->trigger();
    frmGrading* grading = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("frmGrading"))
            grading = static_cast<frmGrading*>(widget);
    if (!grading)
        return 1;
    // Best first, scrolled down to where the last scores meet the refused.
    QObject::connect(grading, &frmGrading::graded, grading, [grading] {
        auto* table = grading->findChild<QTableView*>(QStringLiteral("gradeTable"));
        table->horizontalHeader()->setSortIndicator(GradeScore, Qt::DescendingOrder);
        int row = 0;
        while (row < table->model()->rowCount() && grading->table().attemptAt(row).graded())
            ++row;
        // Once the table has laid out its new rows.
        QTimer::singleShot(500, table, [table, row] {
            table->scrollTo(table->model()->index(std::max(0, row - 3), 0),
                            QAbstractItemView::PositionAtTop);
        });
    });
    grading->findChild<QAbstractButton*>(QStringLiteral("cmdCardFile"))->click();
    grading->findChild<QAbstractButton*>(QStringLiteral("cmdFolder"))->click();
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
