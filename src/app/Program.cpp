#include "app/Program.h"

#include "ui/common/Clock.h"
#include "ui/common/ModalDialogs.h"
#include "app/SingleInstance.h"
#include "ui/mainwindow/frmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <ostream>

namespace vantrel {

namespace {

constexpr const char* kUsage =
    "usage: vantrel [--market N]\n"
    "Starts the stock-trading practice window.\n"
    "  --market N  practise on market number N, 1 to 9999 (default 1, the standard market)\n"
    "  --help      show this help\n";

} // namespace

std::optional<int> readCommandLine(const std::vector<std::string>& args, StartOptions& options,
                                   std::ostream& out, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        std::optional<std::string> value;
        if (arg == "--market" && i + 1 < args.size())
            value = args[++i];
        else if (arg.rfind("--market=", 0) == 0)
            value = arg.substr(9);
        else if (arg != "--market")
            continue;
        const std::optional<int> number = value ? parseMarketNumber(*value) : std::nullopt;
        if (!number) {
            err << "vantrel: --market takes a whole number from 1 to 9999"
                << (value ? ", not '" + *value + "'" : std::string()) << '\n';
            return 2;
        }
        options.marketNumber = *number;
    }
    return std::nullopt;
}

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

int runVantrel(QApplication& app, const std::function<void(QWidget&)>& onShown,
               const StartOptions& options) {
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
    ModalDialogs dialogs;
    frmMain window(clock, dialogs, options.marketNumber);
    // Message boxes and the About dialog share the window's icon, decoded once.
    QApplication::setWindowIcon(window.windowIcon());
    window.show();
    if (onShown)
        onShown(window);
    return app.exec();
}

} // namespace vantrel
