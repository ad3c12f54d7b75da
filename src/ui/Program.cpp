#include "ui/Program.h"

#include "ui/Clock.h"
#include "ui/MessageBoxPrompter.h"
#include "ui/SingleInstance.h"
#include "ui/frmMain.h"

#include <QApplication>

namespace vantrel {

int runVantrel(QApplication& app, const std::function<void(QWidget&)>& onShown) {
    SingleInstance instance;
    if (!instance.tryAcquire())
        return 0; // another copy is running; it carries on undisturbed
    QGuiApplication::setDesktopFileName(QStringLiteral("vantrel"));

    SystemClock clock;
    MessageBoxPrompter prompter;
    frmMain window(clock, prompter);
    prompter.setParentWindow(&window);
    // Message boxes and the About dialog share the window's icon, decoded once.
    QApplication::setWindowIcon(window.windowIcon());
    window.show();
    if (onShown)
        onShown(window);
    return app.exec();
}

} // namespace vantrel
