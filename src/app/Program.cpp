#include "app/Program.h"

#include "app/SingleInstance.h"
#include "base/CommandLine.h"
#include "ui/common/Clock.h"
#include "ui/common/ModalDialogs.h"
#include "ui/mainwindow/frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

#include <cstdio>
#include <ostream>
#include <string>

namespace vantrel {

namespace {

constexpr const char* kUsage =
    "usage: vantrel [--market N]\n"
    "Starts the stock-trading practice window.\n"
    "  --market N  practise on market number N, 1 to 9999 (default 1, the standard market)\n"
    "  --help      show this help\n";

} // namespace

std::optional<int> readCommandLine(const QStringList& args, StartOptions& options,
                                   std::ostream& out, std::ostream& err, bool qtArgumentsRemoved) {
    QCommandLineParser parser;
    // Qt's own arguments are single-dash words (-platform, -style): each must
    // read as one name, never as a row of one-letter options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption market(QStringLiteral("market"), QString(), QStringLiteral("N"));
    parser.addOptions({help, market});
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
