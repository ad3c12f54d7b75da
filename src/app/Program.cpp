#include "app/Program.h"

#include "app/SingleInstance.h"
#include "base/CommandLine.h"
#include "ui/common/Clock.h"
#include "ui/common/ModalDialogs.h"
#include "ui/history/PracticeKeeper.h"
#include "ui/mainwindow/frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <ostream>
#include <string>

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

} // namespace

std::optional<int> readCommandLine(const QStringList& args, StartOptions& options,
                                   std::ostream& out, std::ostream& err, bool qtArgumentsRemoved) {
    QCommandLineParser parser;
    // Qt's own arguments are single-dash words (-platform, -style): each must
    // read as one name, never as a row of one-letter options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption market(QStringLiteral("market"), QString(), QStringLiteral("N"));
    const QCommandLineOption noHistory(QStringLiteral("no-history"));
    parser.addOptions({help, market, noHistory});
    const bool parsed = parser.parse(QStringList{QStringLiteral("vantrel")} + args);
    const auto refuse = [&err](const std::string& problem) {
        err << "vantrel: " << problem << '\n';
        return 2;
    };
    if (parser.isSet(help)) {
        out << kUsage;
        return 0;
    }
    const QStringList unknown = parser.unknownOptionNames();
    if (!parsed && unknown.isEmpty()) // a value missing: only --market takes one
        return refuse("--market needs a market number");
    const QStringList markets = parser.values(market);
    if (markets.size() > 1)
        return refuse(repeatedOptionProblem("--market"));
    if (!markets.isEmpty()) {
        const std::string value = markets.front().toStdString();
        const std::optional<int> number = parseMarketNumber(value);
        if (!number)
            return refuse("--market takes a whole number from 1 to 9999, not '" + value + "'");
        options.marketNumber = *number;
    }
    if (parser.optionNames().count(QStringLiteral("no-history")) > 1)
        return refuse(repeatedOptionProblem("--no-history"));
    if (parser.isSet(noHistory))
        options.keepHistory = false;
    // Before the application has taken Qt's arguments away, what is unknown
    // may be one of them.
    if (qtArgumentsRemoved && !unknown.isEmpty()) {
        // Named as typed: Qt gives the name without its dashes or value.
        const QRegularExpression spelling(QStringLiteral("^--?") +
                                          QRegularExpression::escape(unknown.front()) +
                                          QStringLiteral("(=|$)"));
        const QString typed =
            args.filter(spelling).value(0, QStringLiteral("--") + unknown.front());
        return refuse(unknownArgumentProblem(typed.toStdString()));
    }
    if (qtArgumentsRemoved && !parser.positionalArguments().isEmpty())
        return refuse(unknownArgumentProblem(parser.positionalArguments().front().toStdString()));
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
    window.show();
    if (onShown)
        onShown(window);
    return app.exec();
}

} // namespace vantrel
