#include "ui/Appearance.h"
#include "ui/Clock.h"
#include "ui/MessageBoxPrompter.h"
#include "ui/SingleInstance.h"
#include "ui/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    vantrel::SingleInstance instance;
    if (!instance.tryAcquire())
        return 0; // another copy is running; it carries on undisturbed
    QGuiApplication::setDesktopFileName(QStringLiteral("vantrel"));
    QApplication::setWindowIcon(vantrel::programIcon());

    vantrel::SystemClock clock;
    vantrel::MessageBoxPrompter prompter;
    vantrel::frmMain window(clock, prompter);
    prompter.setParentWindow(&window);
    window.show();
    return app.exec();
}
