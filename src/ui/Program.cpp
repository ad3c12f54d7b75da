#include "ui/Program.h"

#include "ui/Clock.h"
#include "ui/MessageBoxPrompter.h"
#include "ui/SingleInstance.h"
#include "ui/frmMain.h"

#include <QApplication>

#include <cstdio>

namespace vantrel {

int runVantrel(QApplication& app, const std::function<void(QWidget&)>& onShown) {
    SingleInstance instance;
    switch (instance.tryAcquire()) {
    case SingleInstance::Outcome::Acquired:
        break;
    case SingleInstance::Outcome::HeldByAnotherCopy:
        return 0; // another copy is running; it carries on undisturbed
    case SingleInstance::Outcome::Unavailable:
        // Not knowing about other copies is no reason to refuse to start.
        std::fprintf(stderr,
                     "vantrel: single-instance lock unavailable (%s); starting without it\n",
                     qUtf8Printable(instance.problem()));
        break;
    }
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
