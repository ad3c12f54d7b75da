#include "app/Program.h"

#include "app/SingleInstance.h"
#include "base/CommandLine.h"
#include "ui/common/Clock.h"
#include "ui/common/dialogs/ModalDialogs.h"
#include "ui/mainwindow/frmMain.h"
#include "ui/practice/PracticeKeeper.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vantrel {

namespace {

constexpr const char* kUsage =
    "usage: vantrel [--market N] [--no-history]\n"
    "Starts the stock-trading practice window.\n"
    "  --market N    practise on market number N, 1 to 9999 (default 1, the standard market)\n"
    "  --no-history  keep no practice in the history folder (practices/ in the user's data\n"
    "                folder, or $VANTREL_HISTORY_DIR); the history window still lists it\n"
    "  --help        show this help\n";

// Where practices are kept: VANTREL_HISTORY_DIR when set (tests, or a
// folder of one's own), else practices/ in the user's data folder.
QString historyFolder() {
    if (const std::optional<QString> chosen = PracticeKeeper::chosenFolder())
        return *chosen;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/practices");
}

// The regular save's interval; VANTREL_KEEP_INTERVAL_MS shortens it for tests.
int keepIntervalMs() {
    bool read = false;
    const int chosen = qEnvironmentVariableIntValue("VANTREL_KEEP_INTERVAL_MS", &read);
    return read && chosen > 0 ? chosen : PracticeKeeper::kDefaultIntervalMs;
}

#ifdef Q_OS_UNIX
// The ending signals reach the event loop through a socket pair: a handler
// may do nothing but write a byte, and the loop then closes the window as a
// person would, so the practice is kept (the same write as on closing)
// before the program exits normally.
int g_endSignalSocket[2] = {-1, -1};

void onEndSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_endSignalSocket[0], &byte, 1);
    errno = savedErrno;
}

void endOnSignals(QApplication& app, QWidget& window) {
    if (g_endSignalSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_endSignalSocket) != 0)
        return; // the signals keep their default: ending without the last keep
    for (const int fd : g_endSignalSocket) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    auto* notifier = new QSocketNotifier(g_endSignalSocket[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char bytes[16];
        while (::read(g_endSignalSocket[1], bytes, sizeof bytes) > 0) {
        }
        window.close();
    });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}
#endif

} // namespace

namespace {

// Qt's own arguments, which the application takes away once it exists:
// 1 for a flag, 2 for one followed by its value, 0 for any other. Qt reads
// them with one dash or two, and -style and -stylesheet also as -style=X.
int qtArgumentWords(const std::string& arg) {
    static const char* const flags[] = {"reverse", "widgetcount", "nograb",
                                        "dograb",  "sync",        "testability"};
    static const char* const withValue[] = {"platform",
                                            "platformpluginpath",
                                            "platformtheme",
                                            "plugin",
                                            "qwindowgeometry",
                                            "geometry",
                                            "qwindowicon",
                                            "icon",
                                            "qwindowtitle",
                                            "title",
                                            "display",
                                            "style",
                                            "stylesheet",
                                            "session",
                                            "name"};
    if (arg.size() < 2 || arg[0] != '-')
        return 0;
    const std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
    for (const char* flag : flags)
        if (name == flag)
            return 1;
    for (const char* option : withValue)
        if (name == option)
            return 2;
    if (name.rfind("style=", 0) == 0 || name.rfind("stylesheet=", 0) == 0 ||
        name.rfind("qmljsdebugger=", 0) == 0)
        return 1;
    return 0;
}

} // namespace

std::optional<int> readCommandLine(const QStringList& args, StartOptions& options,
                                   std::ostream& out, std::ostream& err, bool qtArgumentsRemoved) {
    // Read whole before the application exists, so that nothing is refused
    // by a display that is missing: Qt's own arguments are set aside here and
    // left for Qt, everything else is the program's.
    std::vector<std::string> own;
    for (int i = 0; i < args.size(); ++i) {
        const std::string arg = args[i].toStdString();
        const int words = qtArgumentsRemoved ? 0 : qtArgumentWords(arg);
        if (words == 0)
            own.push_back(arg);
        else
            i += words - 1;
    }
    const CommandLineRead read =
        readCommandLineOptions(own, {{{"--help", "-help", "-h"}, ""},
                                     {{"--market", "-market"}, "a market number"},
                                     {{"--no-history", "-no-history"}, ""}});
    const auto refuse = [&err](const std::string& problem) {
        err << "vantrel: " << problem << '\n';
        return 2;
    };
    if (read.given.count("--help")) {
        out << kUsage;
        return 0;
    }
    if (!read.problem.empty())
        return refuse(read.problem);
    const auto market = read.given.find("--market");
    if (market != read.given.end()) {
        const std::optional<int> number = parseMarketNumber(market->second);
        if (!number)
            return refuse("--market takes a whole number from 1 to 9999, not '" +
                          shownArgument(market->second) + "'");
        options.marketNumber = *number;
    }
    if (read.given.count("--no-history"))
        options.keepHistory = false;
    return std::nullopt;
}

void setUpApplication(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral("vantrel"));
    // The data folder (~/.local/share/vantrel) whatever the program file is called.
    QCoreApplication::setApplicationName(QStringLiteral("vantrel"));
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
    window.useHistory(historyFolder(), options.keepHistory, keepIntervalMs());
    // Message boxes and the About dialog share the window's icon, decoded once.
    QApplication::setWindowIcon(window.windowIcon());
#ifdef Q_OS_UNIX
    endOnSignals(app, window);
#endif
    // Logging out: the session manager asks for the data first, and the
    // display may be gone before the window could close.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window] { window.close(); });
    window.show();
    if (onShown)
        onShown(window);
    return app.exec();
}

} // namespace vantrel
