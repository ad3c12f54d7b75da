#include "ui/Program.h"

#include "ui/Clock.h"
#include "ui/MessageBoxPrompter.h"
#include "ui/SingleInstance.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace vantrel {

void setUpApplication(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral("vantrel"));
    // The window speaks Japanese only, so Qt's own texts do too. Without the
    // catalogue (qt6-translations-l10n) they stay in English.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

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
    setUpApplication(app);

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
