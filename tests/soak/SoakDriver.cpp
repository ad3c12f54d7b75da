#include "SoakDriver.h"

#include "ui/frmMain.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>
#include <stdexcept>

namespace vantrel::soak {

namespace {

constexpr double kActionChance = 0.3;
constexpr std::size_t kRecentActions = 12;

// Control characters, non-ASCII and long texts made readable for a report.
QString describe(const QString& text) {
    QString shown;
    for (const QChar c : text.left(24)) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('\\'))
            shown += c;
        else
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    if (text.size() > 24)
        shown += QStringLiteral("...(%1 chars)").arg(text.size());
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

const QStringList& knownTitles() {
    static const QStringList titles = {QStringLiteral("Vantrel"), QStringLiteral("必須項目"),
                                       QStringLiteral("指定金額エラー"),
                                       QStringLiteral("指定数エラー")};
    return titles;
}

// Texts no order form should choke on: empty and blank, out of range, other
// notations, full-width digits, control characters, a decoder's leftovers of
// invalid UTF-8 and a lone surrogate.
const QStringList& hostileTexts() {
    static const QStringList texts = {
        QString(),
        QStringLiteral("   "),
        QStringLiteral("1e999"),
        QStringLiteral("-1e999"),
        QStringLiteral("-0"),
        QStringLiteral("&HFFFFFFFF"),
        QString(400, QLatin1Char('9')),
        QStringLiteral("５００"),
        QStringLiteral("１０００"),
        QStringLiteral("\t500\r\n"),
        QStringLiteral("\u0001500\u007f"),
        QString(QChar(0)) + QStringLiteral("1000"),
        QString::fromUtf8(QByteArray::fromHex("fffe353030c080")),
        QString(QChar(0xD800)) + QStringLiteral("600"),
        QStringLiteral("\u3000500"),
        QStringLiteral("1,000"),
        QStringLiteral("0500"),
        QStringLiteral("500.5"),
        QStringLiteral("&O777"),
        QStringLiteral("&H1F4"),
        QStringLiteral("&H"),
        QStringLiteral("1e-999"),
        QStringLiteral("4.9e-324"),
        QStringLiteral("1e308"),
        QStringLiteral("nan"),
        QStringLiteral("inf"),
        QStringLiteral("+600"),
        QStringLiteral("6e2"),
        QStringLiteral("1d3"),
        QStringLiteral("2147483648000"),
        QStringLiteral("-2147483649"),
        QStringLiteral("-1000"),
        QStringLiteral("1000株"),
        QStringLiteral("-"),
        QStringLiteral("."),
    };
    return texts;
}

} // namespace

void CountingPrompter::ShowMessage(const std::string& prompt, const std::string& title) {
    ++m_count;
    m_last = {prompt, title};
}

// What the checks compare: the six account labels, the log's length and the
// number of boxes shown so far.
struct SoakDriver::State {
    QStringList labels;
    int logLines = 0;
    std::uint64_t boxes = 0;
};

SoakDriver::SoakDriver(frmMain& window, const CountingPrompter& prompter, std::uint64_t seed,
                       bool trace)
    : m_window(window), m_prompter(prompter), m_seed(seed), m_trace(trace), m_random(seed) {}

void SoakDriver::step(std::uint64_t index) {
    m_step = index;
    runPart(QStringLiteral("Timer1"), false, [this] { m_window.Timer1_Timer(); });
    if (chance(kActionChance))
        userAction();
    runPart(QStringLiteral("Timer2"), false, [this] { m_window.Timer2_Timer(); });
}

int SoakDriver::logLines() const {
    const QTextDocument& log = *m_window.controls().txtResponse->document();
    return log.isEmpty() ? 0 : log.blockCount();
}

SoakDriver::State SoakDriver::observe() const {
    const MainWindowUi& ui = m_window.controls();
    return {{ui.lblPower->text(), ui.lblAmount->text(), ui.lblOrderType->text(),
             ui.lblOrderPrice->text(), ui.lblOrderPriceView->text(), ui.lblOrderAmount->text()},
            logLines(),
            m_prompter.count()};
}

void SoakDriver::runPart(const QString& part, bool mayShowBox,
                         const std::function<void()>& action) {
    const State before = observe();
    const Account accountBefore = m_window.trader().account();
    action();
    const State after = observe();
    check(part, before, after, mayShowBox);
    // The books kept from the log must agree with the account after each part.
    if (const auto problem = m_books.afterAction(accountBefore, m_window.trader().account(),
                                                 logMessages(before.logLines, after.logLines),
                                                 after.boxes > before.boxes))
        fail(part, QString::fromStdString(*problem), before, after);
}

// The messages of log lines [from, to), without their time stamps.
std::vector<std::string> SoakDriver::logMessages(int from, int to) const {
    const QTextDocument& log = *m_window.controls().txtResponse->document();
    std::vector<std::string> messages;
    for (int line = from; line < to; ++line) {
        const QString text = log.findBlockByNumber(line).text();
        const int stampEnd = text.indexOf(QStringLiteral("  "));
        messages.push_back(text.mid(stampEnd < 0 ? 0 : stampEnd + 2).toStdString());
    }
    return messages;
}

void SoakDriver::check(const QString& part, const State& before, const State& after,
                       bool mayShowBox) {
    const Account& account = m_window.trader().account();
    const QStringList core = {QString::fromStdString(account.powerText()),
                              QString::fromStdString(account.amountText()),
                              QString::fromStdString(account.orderTypeText()),
                              QString::fromStdString(account.orderPriceText()),
                              QString::fromStdString(account.orderPriceViewText()),
                              QString::fromStdString(account.orderAmountText())};
    if (after.labels != core)
        fail(part, QStringLiteral("the labels differ from the account: ") + core.join(u'|'), before,
             after);

    const std::uint64_t boxes = after.boxes - before.boxes;
    if (boxes > 1 || (boxes == 1 && !mayShowBox))
        fail(part,
             QStringLiteral("%1 message boxes where at most %2 may show")
                 .arg(boxes)
                 .arg(mayShowBox ? 1 : 0),
             before, after);
    if (boxes == 1) {
        const MessageBoxText& box = m_prompter.last();
        if (box.prompt.empty() || !knownTitles().contains(QString::fromStdString(box.title)))
            fail(part, QStringLiteral("an unexpected box: ") + QString::fromStdString(box.prompt),
                 before, after);
    }
    if (after.labels != before.labels && after.logLines <= before.logLines)
        fail(part, QStringLiteral("the account changed without a log line"), before, after);
}

void SoakDriver::fail(const QString& part, const QString& what, const State& before,
                      const State& after) const {
    QString report =
        QStringLiteral("step %1 (seed %2), %3: %4\n").arg(m_step).arg(m_seed).arg(part, what);
    report += QStringLiteral("  labels before: %1, log lines %2\n")
                  .arg(before.labels.join(u'|'))
                  .arg(before.logLines);
    report += QStringLiteral("  labels after:  %1, log lines %2\n")
                  .arg(after.labels.join(u'|'))
                  .arg(after.logLines);
    report += QStringLiteral("  recent actions, oldest first:\n");
    for (const QString& action : m_recent)
        report += QStringLiteral("    ") + action + u'\n';
    throw std::runtime_error(report.toStdString());
}

void SoakDriver::userAction() {
    ++m_actions;
    const MainWindowUi& ui = m_window.controls();
    const OrderPane& pane = chance(0.5) ? ui.buy : ui.sell;
    const int kind = below(100);
    const bool placing = kind >= 55 && kind < 92; // only these may show a box
    runPart(QStringLiteral("user action"), placing, [&] {
        if (kind < 20) {
            QButtonGroup* group = chance(0.5) ? pane.priceKind : pane.quantityKind;
            QAbstractButton* option =
                group->button(below(static_cast<int>(group->buttons().size())));
            announce(QStringLiteral("choose ") + option->objectName());
            click(*option);
        } else if (kind < 55) {
            QLineEdit* boxes[] = {pane.priceBox, pane.sharesBox, pane.yenBox};
            enterText(*boxes[below(3)]);
        } else {
            QPushButton* button = placing ? pane.placeButton : ui.cmdCancelOldest;
            announce(QStringLiteral("click ") + button->objectName());
            click(*button);
        }
    });
}

void SoakDriver::announce(const QString& action) {
    const QString line = QStringLiteral("step %1: ").arg(m_step) + action;
    if (m_trace)
        std::fprintf(stderr, "%s\n", qPrintable(line));
    m_recent.push_back(line);
    if (m_recent.size() > kRecentActions)
        m_recent.pop_front();
}

void SoakDriver::enterText(QLineEdit& box) {
    const QString text = randomText(box);
    enum { Keys, InputMethod, Paste } const how = static_cast<decltype(Keys)>(below(3));
    const char* const verbs[] = {"type", "commit", "paste"};
    announce(QStringLiteral("%1 %2 into %3")
                 .arg(QLatin1String(verbs[how]), describe(text), box.objectName()));
    // A user replacing the contents selects everything and deletes it first.
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Delete);
    switch (how) {
    case Keys:
        // Key by key; any character beyond printable ASCII comes as a key
        // event carrying just its text, as from a keyboard layout that has it.
        for (const QChar c : text) {
            if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
                QTest::keyClick(&box, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
        break;
    case InputMethod: {
        // Japanese input arrives committed by the input method, all at once.
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(&box, &event);
        break;
    }
    case Paste:
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        break;
    }
    // A line edit keeps every keystroke for Ctrl+Z until its text is set, so
    // its memory grows with what is typed, however long the program runs.
    // Setting the box to its own text empties that history and nothing else;
    // without it the memory check would measure the typing, not the program.
    box.setText(box.text());
}

QString SoakDriver::randomText(QLineEdit& box) {
    const MainWindowUi& ui = m_window.controls();
    const bool priceBox = &box == ui.buy.priceBox || &box == ui.sell.priceBox;
    const bool sharesBox = &box == ui.buy.sharesBox || &box == ui.sell.sharesBox;
    int kind = below(10);
    if (kind < 5) // mostly what the box asks for, so orders get placed and filled
        kind = priceBox ? 0 : sharesBox ? 1 : 2;
    else
        kind = below(5);
    switch (kind) {
    case 0: {
        QString price = QString::number(380 + below(241));
        if (chance(0.05))
            price += QStringLiteral(".5");
        return price;
    }
    case 1:
        return QString::number(chance(0.8) ? 1000 * below(8) : below(10000));
    case 2:
        return QString::number(below(3500001));
    case 3:
        return hostileTexts()[below(static_cast<int>(hostileTexts().size()))];
    default: {
        static const QString pool = QStringLiteral("0123456789+-.,eEdD&HhOo \t\n"
                                                   "０１２３４５６７８９\u3000あx");
        QString text;
        for (int length = below(13); length > 0; --length)
            text += pool[below(static_cast<int>(pool.size()))];
        return text;
    }
    }
}

void SoakDriver::click(QAbstractButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton);
}

int SoakDriver::below(int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(m_random);
}

bool SoakDriver::chance(double probability) {
    return std::uniform_real_distribution<double>(0, 1)(m_random) < probability;
}

} // namespace vantrel::soak
