// Drives the trading core with arbitrary order forms and sequences of button
// presses and timer events, and checks the account after every single step:
//
//  - the holdings never go negative and always equal the shares bought minus
//    the shares sold, as read from the fill lines of the log;
//  - an independent cash ledger, kept from the log alone (start 3000000, plus
//    sale proceeds, minus buy fill costs, minus 2100 per commission line),
//    equals the buying power plus what a pending buy has set aside
//    (price × remaining);
//  - the buying power and the holdings move only on a step that logged a fill
//    or a commission, placed a buy (its reservation) or cancelled a buy (its
//    refund), and each such step moves them by exactly the amount it reports;
//  - a step that shows a message box changes nothing in the account and logs
//    nothing, and the box is one the form checks can show for that form;
//  - every log line has one of the forms the trading rules write, and each
//    action writes only the sequences it can write (a fill is followed by at
//    most one commission line, which the running traded value must call for);
//  - a pending order is for more than 0 shares, a sell for no more than are
//    held, at a price inside the day's band; a buy never fills above its
//    price and a sell never below; fills come only once the wait has run out.
//
// A violation prints what broke and aborts, so libFuzzer keeps the input. To
// follow an input step by step, run it with TRADINGFUZZ_TRACE set in the
// environment.
//
// Input format. Every input starts from a fresh account and a freshly started
// market, so a saved input replays exactly. The bytes are read as a sequence
// of actions until they run out (a missing byte reads as 0):
//
//   action byte a, a % 6 selects:
//     0  buy button   followed by a form (below)
//     1  sell button  followed by a form
//     2  cancel button
//     3  one Timer1 event (a market tick)
//     4  one Timer2 event (an execution attempt once the wait has run out)
//     5  wait: one more byte n, then n + 1 rounds of Timer1 and Timer2, each
//        event checked on its own (reaches deep market states in few bytes)
//   form: a flags byte f, then three texts (price, shares, yen) and, when
//     bit 4 of f is set, a fourth one for the stock code (else "9999"):
//     f & 3         price kind:    0 limit, 1 market, 2 and 3 none chosen
//     (f >> 2) & 3  quantity kind: 0 shares, 1 yen, 2 everything, 3 none
//   text: a length byte l, then l & 31 bytes taken as they are (so blanks,
//     commas, signs, exponents, &H prefixes and invalid UTF-8 all turn up).
//
// At most kMaxEvents actions and timer events are run per input, so that one
// input stays fast whatever its length.
//
// The seed corpus in fuzz/corpus/trading reaches placement, refusals, fills,
// partial fills, a fill at the last price, cancellation, commission, hostile
// price, share and yen texts quickly. It was written by this bash snippet, run
// inside that folder:
//
//   export LC_ALL=C
//   t() { printf "\\x$(printf %02x ${#1})%s" "$1"; }
//   buy() { printf "\\x00\\x$1"; t "$2"; t "$3"; t "$4"; }
//   sell() { printf "\\x01\\x$1"; t "$2"; t "$3"; t "$4"; }
//   cancel() { printf '\x02'; }
//   timer2() { printf '\x04'; }
//   rounds() { printf "\\x05\\x$1"; }
//   { buy 00 600 1000 ''; rounds 0a; } > buy-fill
//   { rounds 0a; buy 00 590 5000 ''; rounds 07; cancel; } > buy-partial
//   { buy 00 400 1000 ''; rounds 03; cancel; } > buy-cancel
//   { rounds 01; buy 00 497.5 1000 ''; rounds 0c; } > buy-through-last
//   { buy 09 '' '' ''; rounds 0f; sell 09 '' '' ''; rounds 1e; } > round-trip-commission
//   { buy 10 500 1000 ''; t ''; buy 00 500 1500 ''; buy 00 500 6000 ''; buy 04 600 '' 100
//     sell 00 500 1000 ''; } > refusals
//   { buy 00 600 2000 ''; rounds 0a; sell 00 400 1000 ''; timer2; cancel
//     rounds 0a; } > sell-cancel
//   { buy 00 600 1000 ''; rounds 0a; sell 04 500 '' 2000000; sell 04 500 '' 500000
//     rounds 0a; } > sell-by-yen
//   { for p in 0500 '&H1F4' '500円' ' 4e2 ' '5 00' 600.0; do buy 00 "$p" 1000 ''; cancel; done
//     buy 00 400.1 1000 ''; rounds 3c; } > hostile-prices
//   { buy 01 '' '1000,0e-3' ''; rounds 0a; sell 09 '' '' ''; rounds 0a
//     buy 01 '' '1000,0e-5' ''; rounds 0a; sell 09 '' '' ''; rounds 0a; } > strict-shares
//   { for y in 1e9 '&H7FFFFFFF' 2147483647 -1 1,000,000 599999.5; do
//       buy 04 600 '' "$y"; cancel; done; } > yen-amounts
//
// Run for a bounded time from the source folder, new inputs going to a scratch
// folder so that the committed corpus stays small (scripts/vantrel.sh fuzz
// does the same for every target):
//   mkdir -p /tmp/tradingcorpus && ./build-fuzz2/fuzz/TradingFuzz \
//     -max_total_time=60 -max_len=4096 /tmp/tradingcorpus fuzz/corpus/trading
#include "market/Market.h"
#include "trading/Account.h"
#include "trading/MessagePrompter.h"
#include "trading/NumberReading.h"
#include "trading/OrderForm.h"
#include "trading/TradeLog.h"
#include "trading/Trader.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vantrel::OrderSide;

constexpr double kStartCash = 3000000;
constexpr double kCommission = 2100;
constexpr double kCommissionStep = 3000000;
constexpr double kLowerLimit = 400;
constexpr double kUpperLimit = 600;
constexpr double kWaitThreshold = 5;
constexpr double kWaitAfterFill = 2;
constexpr int kMaxEvents = 20000;

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "TradingFuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

void require(bool holds, const char* what, const std::string& detail = {}) {
    if (!holds)
        fail(what, detail);
}

std::string num(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

class RecordingLog final : public vantrel::TradeLog {
public:
    void AddLog(const std::string& message) override { lines.push_back(message); }
    std::vector<std::string> lines;
};

class RecordingPrompter final : public vantrel::MessagePrompter {
public:
    void ShowMessage(const std::string& prompt, const std::string& title) override {
        boxes.push_back({prompt, title});
    }
    std::vector<vantrel::MessageBoxText> boxes;
};

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    std::string text() {
        std::size_t length = byte() & 31u;
        if (length > m_size - m_pos)
            length = m_size - m_pos;
        std::string result(reinterpret_cast<const char*>(m_data + m_pos), length);
        m_pos += length;
        return result;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

vantrel::OrderForm readForm(ByteReader& in, std::string& code) {
    const std::uint8_t flags = in.byte();
    vantrel::OrderForm form;
    static const vantrel::PriceKind prices[] = {vantrel::PriceKind::Limit,
                                                vantrel::PriceKind::Market,
                                                vantrel::PriceKind::None, vantrel::PriceKind::None};
    static const vantrel::QuantityKind quantities[] = {
        vantrel::QuantityKind::Shares, vantrel::QuantityKind::Yen,
        vantrel::QuantityKind::Everything, vantrel::QuantityKind::None};
    form.priceKind = prices[flags & 3u];
    form.quantityKind = quantities[(flags >> 2) & 3u];
    form.priceText = in.text();
    form.sharesText = in.text();
    form.yenText = in.text();
    code = (flags & 16u) ? in.text() : "9999";
    return form;
}

// The account as the window would show it, copied so that a step can be
// compared with the one before.
struct Snapshot {
    double power = 0;
    double holdings = 0;
    double tradeValue = 0;
    double execWait = 0;
    bool pending = false;
    OrderSide side = OrderSide::Buy;
    double price = 0;
    double remaining = 0;
    std::string priceText;
    std::string priceViewText;

    static Snapshot of(const vantrel::Account& account) {
        Snapshot s;
        s.power = account.power();
        s.holdings = account.holdings();
        s.tradeValue = account.dblTradeValue;
        s.execWait = account.dblExecWait;
        if (const auto& order = account.order()) {
            s.pending = true;
            s.side = order->side;
            s.price = order->price;
            s.remaining = order->remaining;
            s.priceText = order->priceText;
            s.priceViewText = order->priceViewText;
        }
        return s;
    }

    bool pendingBuy() const { return pending && side == OrderSide::Buy; }
    bool pendingSell() const { return pending && side == OrderSide::Sell; }

    // Everything but the wait counter, which every button press restarts.
    bool sameAccount(const Snapshot& o) const {
        return power == o.power && holdings == o.holdings && tradeValue == o.tradeValue &&
               sameOrder(o);
    }

    bool sameOrder(const Snapshot& o) const {
        if (pending != o.pending)
            return false;
        return !pending || (side == o.side && price == o.price && remaining == o.remaining &&
                            priceText == o.priceText && priceViewText == o.priceViewText);
    }

    std::string describe() const {
        std::string d = "power=" + num(power) + " holdings=" + num(holdings) +
                        " tradeValue=" + num(tradeValue) + " wait=" + num(execWait);
        if (pending)
            d += std::string(" order=") + (side == OrderSide::Buy ? "buy" : "sell") +
                 " price=" + num(price) + " text='" + priceText + "' view='" + priceViewText +
                 "' remaining=" + num(remaining);
        return d;
    }
};

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A number as the log writes it: an optional minus, digits, and a fraction
// only when there is one. Read here without the core's own readers.
std::optional<double> readPlain(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    const std::size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i == digitsStart)
        return std::nullopt;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        if (i == fractionStart || text[i - 1] == '0')
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    return std::strtod(std::string(text).c_str(), nullptr);
}

double plainOrFail(std::string_view text, const std::string& line) {
    const auto value = readPlain(text);
    require(value.has_value(), "log line with a malformed number:", line);
    return *value;
}

enum class LineKind {
    BuyAnnouncement,
    SellAnnouncement,
    ShortOfPower,
    ShortOfPowerNeeded,
    Fill,
    Commission,
    Cancelled
};

struct LogLine {
    LineKind kind = LineKind::Cancelled;
    bool atMarket = false;
    std::string priceText; // announcements of limit orders
    double price = 0;      // fills
    double shares = 0;     // announcements and fills
    double value = 0;      // fills
    double needed = 0;     // refusals for want of buying power
};

LogLine parseLine(const std::string& line) {
    static const std::string kName = "ヴァントレル";
    static const std::string kShort = "余力が足りません。";
    static const std::string kYenAt = "円で";
    LogLine parsed;

    if (line == "注文をキャンセルしました。")
        return parsed;
    if (line == "手数料 2100円 が余力から引かれました。") {
        parsed.kind = LineKind::Commission;
        return parsed;
    }
    if (line == kShort) {
        parsed.kind = LineKind::ShortOfPower;
        return parsed;
    }
    if (startsWith(line, kShort) && endsWith(line, "円必要です。")) {
        parsed.kind = LineKind::ShortOfPowerNeeded;
        const std::string_view rest(line);
        parsed.needed = plainOrFail(
            rest.substr(kShort.size(), line.size() - kShort.size() - std::strlen("円必要です。")),
            line);
        return parsed;
    }

    static const std::string kFillPrefix = "株価";
    static const std::string kFillMiddle = "株約定しました。（";
    static const std::string kFillSuffix = "円）";
    if (startsWith(line, kFillPrefix) && endsWith(line, kFillSuffix)) {
        const std::string_view body = std::string_view(line).substr(
            kFillPrefix.size(), line.size() - kFillPrefix.size() - kFillSuffix.size());
        const auto yenAt = body.find(kYenAt);
        const auto middle = body.find(kFillMiddle);
        require(yenAt != std::string_view::npos && middle != std::string_view::npos &&
                    yenAt < middle,
                "malformed fill line:", line);
        parsed.kind = LineKind::Fill;
        parsed.price = plainOrFail(body.substr(0, yenAt), line);
        parsed.shares =
            plainOrFail(body.substr(yenAt + kYenAt.size(), middle - yenAt - kYenAt.size()), line);
        parsed.value = plainOrFail(body.substr(middle + kFillMiddle.size()), line);
        return parsed;
    }

    static const std::string kBuyEnd = "株購入します。";
    static const std::string kSellEnd = "株売却します。";
    const std::string prefix = kName + "を";
    const bool buy = endsWith(line, kBuyEnd);
    if (startsWith(line, prefix) && (buy || endsWith(line, kSellEnd))) {
        parsed.kind = buy ? LineKind::BuyAnnouncement : LineKind::SellAnnouncement;
        std::string_view body = std::string_view(line).substr(
            prefix.size(), line.size() - prefix.size() - (buy ? kBuyEnd : kSellEnd).size());
        static const std::string kAtMarket = "成行で";
        if (startsWith(body, kAtMarket)) {
            parsed.atMarket = true;
            body.remove_prefix(kAtMarket.size());
        } else {
            const auto yenAt = body.rfind(kYenAt);
            require(yenAt != std::string_view::npos, "announcement without a price:", line);
            parsed.priceText = std::string(body.substr(0, yenAt));
            body.remove_prefix(yenAt + kYenAt.size());
        }
        parsed.shares = plainOrFail(body, line);
        return parsed;
    }
    fail("log line of no known form:", line);
}

bool isKnownBox(bool buyForm, const vantrel::MessageBoxText& box) {
    const std::string& prompt = box.prompt;
    const std::string& title = box.title;
    const std::string limitTitle = buyForm ? "Vantrel" : "必須項目";
    if (title == "必須項目")
        return prompt == "銘柄コードを入力してください。" || prompt == "指値を入力してください。" ||
               prompt == "単位株の倍数を指定してください。" ||
               prompt ==
                   (buyForm ? "購入株数を指定してください。" : "売却株数を指定してください。") ||
               prompt ==
                   (buyForm ? "購入金額を指定してください。" : "売却金額を指定してください。") ||
               (!buyForm && (prompt == "指値が制限値幅（400円）を下回っています。" ||
                             prompt == "指値が制限値幅（600円）を上回っています。"));
    if (title == "Vantrel")
        return buyForm && (prompt == "指値が制限値幅（400円）を下回っています。" ||
                           prompt == "指値が制限値幅（600円）を上回っています。");
    if (title == "指定金額エラー")
        return prompt == "指定金額に誤りがあります。";
    if (title == "指定数エラー")
        return prompt == "指定株数に誤りがあります。" ||
               (!buyForm && prompt == "保有株数を超える株数は指定できません。");
    return false;
}

enum class Action { Buy, Sell, Cancel, Tick, Exec };

// What the log says has happened to the account so far, kept apart from the
// account itself.
class Ledger {
public:
    void check(Action action, const Snapshot& before, const Snapshot& after,
               const std::vector<std::string>& lines,
               const std::vector<vantrel::MessageBoxText>& boxes) {
        m_before = &before;
        m_after = &after;
        m_lines = &lines;
        m_boxes = &boxes;

        expect(boxes.size() <= 1, "more than one box in one step");
        if (!boxes.empty()) {
            expect(action == Action::Buy || action == Action::Sell, "box outside a button");
            expect(isKnownBox(action == Action::Buy, boxes.front()), "unknown box");
            expect(lines.empty(), "a box shown and something logged");
            expect(after.sameAccount(before), "a box shown and the account changed");
        }

        std::vector<LogLine> parsed;
        for (const auto& line : lines)
            parsed.push_back(parseLine(line));

        if (action == Action::Buy || action == Action::Sell)
            m_wait = 0;

        bool moneyMayMove = false;
        switch (action) {
        case Action::Tick:
            expect(parsed.empty() && after.sameAccount(before), "a market tick touched trading");
            break;
        case Action::Cancel:
            moneyMayMove = checkCancel(before, after, parsed);
            break;
        case Action::Buy:
            moneyMayMove = checkBuy(before, after, parsed, !boxes.empty());
            break;
        case Action::Sell:
            checkSell(before, after, parsed, !boxes.empty());
            break;
        case Action::Exec:
            moneyMayMove = checkExec(before, after, parsed);
            break;
        }

        if (!moneyMayMove)
            expect(after.power == before.power && after.holdings == before.holdings,
                   "buying power or holdings moved without a fill, commission, buy placement "
                   "or buy cancellation");
        expect(after.execWait == m_wait, "wait counter");
        checkState(after);
    }

private:
    // Says what broke and what the step saw; built only on failure, since
    // every step is checked.
    void expect(bool holds, const char* what) const {
        if (holds)
            return;
        std::string context = "\n before: " + m_before->describe() +
                              "\n after:  " + m_after->describe() + "\n lines:" + joined(*m_lines);
        for (const auto& box : *m_boxes)
            context += "\n box: " + box.prompt + " / " + box.title;
        context += "\n ledger: cash=" + num(m_cash) + " bought=" + num(m_bought) +
                   " sold=" + num(m_sold) + " tradeValue=" + num(m_tradeValue) +
                   " wait=" + num(m_wait) + " slack=" + num(m_moneySlack) + "/" + num(m_shareSlack);
        fail(what, context);
    }

    static std::string joined(const std::vector<std::string>& lines) {
        std::string all;
        for (const auto& line : lines)
            all += "\n   " + line;
        return all;
    }

    // Prices and share counts are whole numbers nearly always, and then every
    // sum and product here is exact (all stay far below 2^53), so the ledger
    // must match to the last bit. A fractional price (400.1) or share count (a
    // market order by shares reads its text strictly: 1000,0e-5 is 0.1 shares)
    // makes products inexact, and from then on every later sum may round too,
    // in the core and in the ledger differently. So after the first inexact
    // operand each money movement widens the allowance by a few units in the
    // last place of the amounts involved; it stays many orders of magnitude
    // below one yen.
    void noteMoney(bool wholeOperands, double amount, double power) {
        if (!wholeOperands)
            m_moneyInexact = true;
        if (m_moneyInexact)
            m_moneySlack +=
                4 * DBL_EPSILON * (std::fabs(amount) + std::fabs(power) + std::fabs(m_cash));
    }

    void noteShares(double shares, double holdings) {
        if (!isWhole(shares))
            m_sharesInexact = true;
        if (m_sharesInexact)
            m_shareSlack += 4 * DBL_EPSILON * (std::fabs(holdings) + m_bought + m_sold);
    }

    bool checkCancel(const Snapshot& before, const Snapshot& after,
                     const std::vector<LogLine>& parsed) {
        if (parsed.empty()) {
            expect(!before.pending && after.sameAccount(before),
                   "silent cancel while an order was pending, or it changed the account");
            return false;
        }
        expect(parsed.size() == 1 && parsed[0].kind == LineKind::Cancelled, "cancel lines");
        expect(before.pending && !after.pending, "cancel without an order");
        expect(after.holdings == before.holdings && after.tradeValue == before.tradeValue,
               "cancel moved shares or the traded value");
        if (before.side == OrderSide::Sell) {
            expect(after.power == before.power, "cancelling a sale moved the buying power");
            return false;
        }
        expect(after.power == before.power + before.remaining * before.price,
               "cancelling a buy did not give back price x remaining");
        noteMoney(isWhole(before.price) && isWhole(before.remaining),
                  before.price * before.remaining, before.power);
        return true;
    }

    bool checkBuy(const Snapshot& before, const Snapshot& after, const std::vector<LogLine>& parsed,
                  bool boxShown) {
        if (parsed.empty()) {
            // Only a box or a pending order keeps a press out of the log.
            expect(boxShown || before.pending, "buy neither placed nor refused");
            expect(after.sameAccount(before), "silent buy changed the account");
            return false;
        }
        expect(!before.pending, "buy logged while an order was pending");
        if (parsed[0].kind == LineKind::ShortOfPower) {
            expect(parsed.size() == 1, "buy lines");
            expect(after.sameAccount(before), "refused buy changed the account");
            return false;
        }
        expect(parsed[0].kind == LineKind::BuyAnnouncement, "buy lines");
        const LogLine& announced = parsed[0];
        const double price =
            announced.atMarket ? kUpperLimit : vantrel::readLenient(announced.priceText);
        const double cost = price * announced.shares;
        const double available = before.power - kCommission;
        expect(announced.shares != 0, "announced a buy of 0 shares");
        if (parsed.size() == 2) {
            expect(parsed[1].kind == LineKind::ShortOfPowerNeeded, "buy lines");
            expect(after.sameAccount(before), "refused buy changed the account");
            expect(parsed[1].needed == cost && cost > available,
                   "refusal for want of buying power is wrong");
            return false;
        }
        expect(parsed.size() == 1, "buy lines");
        expect(after.pendingBuy() && after.remaining == announced.shares && after.price == price,
               "placed buy is not the announced one");
        if (announced.atMarket)
            expect(after.priceText == "600" && after.priceViewText == "成行", "market buy labels");
        else
            expect(after.priceText == announced.priceText &&
                       after.priceViewText == announced.priceText,
                   "limit buy labels");
        expect(cost <= available, "placed a buy the buying power does not cover");
        expect(after.power == before.power - cost && after.holdings == before.holdings &&
                   after.tradeValue == before.tradeValue,
               "buy placement did not set exactly price x shares aside");
        noteMoney(isWhole(price) && isWhole(announced.shares), cost, before.power);
        return true;
    }

    void checkSell(const Snapshot& before, const Snapshot& after,
                   const std::vector<LogLine>& parsed, bool boxShown) {
        if (parsed.empty()) {
            expect(boxShown || before.pending || before.holdings == 0,
                   "sale neither placed nor refused");
            expect(after.sameAccount(before), "silent sale changed the account");
            return;
        }
        expect(parsed.size() == 1 && parsed[0].kind == LineKind::SellAnnouncement, "sell lines");
        const LogLine& announced = parsed[0];
        expect(!before.pending, "sale logged while an order was pending");
        expect(announced.shares > 0 && announced.shares <= before.holdings,
               "sale of no shares or of more than are held");
        expect(after.pendingSell() && after.remaining == announced.shares,
               "placed sale is not the announced one");
        if (announced.atMarket)
            expect(after.price == kLowerLimit && after.priceText == "400" &&
                       after.priceViewText == "成行",
                   "market sale labels");
        else
            expect(after.priceText == announced.priceText &&
                       after.priceViewText == announced.priceText &&
                       after.price == vantrel::readLenient(announced.priceText),
                   "limit sale labels");
        expect(after.power == before.power && after.holdings == before.holdings &&
                   after.tradeValue == before.tradeValue,
               "sale placement moved money or shares");
    }

    bool checkExec(const Snapshot& before, const Snapshot& after,
                   const std::vector<LogLine>& parsed) {
        const bool attempt = m_wait >= kWaitThreshold;
        m_wait += 1;
        if (parsed.empty()) {
            expect(after.sameAccount(before), "Timer2 changed the account silently");
            return false;
        }
        expect(attempt, "a fill before the wait ran out");
        expect(before.pending, "a fill without a pending order");
        expect(parsed[0].kind == LineKind::Fill, "Timer2 lines");
        const bool charged = parsed.size() == 2;
        expect(parsed.size() == 1 || (charged && parsed[1].kind == LineKind::Commission),
               "Timer2 lines");

        const LogLine& fill = parsed[0];
        expect(fill.shares > 0 && fill.shares <= before.remaining,
               "fill of no shares or of more than remain");
        expect(fill.value == fill.price * fill.shares, "fill value is not price x shares");
        const bool buy = before.side == OrderSide::Buy;
        expect(buy ? fill.price <= before.price : fill.price >= before.price,
               "filled beyond the order price");

        // The running traded value: a commission whenever it reaches the step,
        // once per fill; a fraction never equals its whole remainder.
        const double running = m_tradeValue + fill.value;
        const double remainder = std::fmod(std::nearbyint(running), kCommissionStep);
        const bool due = remainder != running;
        expect(due == charged, "commission charged when not due, or not charged when due");
        m_tradeValue = due ? remainder : running;
        expect(after.tradeValue == m_tradeValue, "running traded value");

        const double commission = charged ? kCommission : 0;
        if (buy) {
            expect(after.holdings == before.holdings + fill.shares, "buy fill holdings");
            expect(after.power ==
                       before.power + (before.price - fill.price) * fill.shares - commission,
                   "buy fill did not give back the difference to the order price");
            m_cash -= fill.value;
            m_bought += fill.shares;
            noteMoney(isWhole(before.price) && isWhole(fill.shares), fill.value, before.power);
        } else {
            expect(after.holdings == before.holdings - fill.shares, "sale fill holdings");
            expect(after.power == before.power + fill.value - commission,
                   "sale fill did not credit the proceeds");
            m_cash += fill.value;
            m_sold += fill.shares;
            noteMoney(isWhole(fill.shares), fill.value, before.power);
        }
        noteShares(fill.shares, before.holdings);
        m_cash -= commission;
        if (charged)
            noteMoney(true, kCommission, before.power);

        const double left = before.remaining - fill.shares;
        if (left == 0)
            expect(!after.pending, "a filled order stays pending");
        else
            expect(after.pending && after.side == before.side && after.price == before.price &&
                       after.priceText == before.priceText && after.remaining == left,
                   "remainder after a partial fill");
        m_wait = kWaitAfterFill + 1;
        return true;
    }

    void checkState(const Snapshot& after) {
        expect(after.holdings >= 0, "negative holdings");
        const double shareDifference = after.holdings - (m_bought - m_sold);
        expect(m_sharesInexact ? std::fabs(shareDifference) <= m_shareSlack : shareDifference == 0,
               "holdings differ from fills");
        const double reserved = after.pendingBuy() ? after.price * after.remaining : 0;
        const double difference = after.power + reserved - m_cash;
        const double tolerance = !m_moneyInexact
                                     ? 0
                                     : m_moneySlack + 4 * DBL_EPSILON *
                                                          (std::fabs(after.power) +
                                                           std::fabs(reserved) + std::fabs(m_cash));
        expect(std::fabs(difference) <= tolerance,
               "buying power plus reservation differs from the cash ledger");
        expect(after.tradeValue >= 0 && after.tradeValue < kCommissionStep,
               "running traded value out of range");
        if (after.pending) {
            expect(after.remaining > 0, "pending order for no shares");
            expect(after.price >= kLowerLimit && after.price <= kUpperLimit,
                   "pending order outside the day's band");
            if (after.side == OrderSide::Sell)
                expect(after.remaining <= after.holdings, "pending sale of more than is held");
        }
    }

    static bool isWhole(double value) { return std::floor(value) == value; }

    double m_cash = kStartCash;
    double m_bought = 0;
    double m_sold = 0;
    double m_tradeValue = 0;
    double m_wait = 0;
    bool m_moneyInexact = false;
    double m_moneySlack = 0;
    bool m_sharesInexact = false;
    double m_shareSlack = 0;
    const Snapshot* m_before = nullptr;
    const Snapshot* m_after = nullptr;
    const std::vector<std::string>* m_lines = nullptr;
    const std::vector<vantrel::MessageBoxText>* m_boxes = nullptr;
};

class Session {
public:
    Session() : m_trader(m_market, m_log, m_prompter) { m_market.StartUp(); }

    bool exhausted() const { return m_events >= kMaxEvents; }

    void run(Action action, const std::string& code = {}, const vantrel::OrderForm& form = {}) {
        ++m_events;
        m_log.lines.clear();
        m_prompter.boxes.clear();
        const Snapshot before = Snapshot::of(m_trader.account());
        switch (action) {
        case Action::Buy:
            m_trader.cmdBuyNow_Click(code, form);
            break;
        case Action::Sell:
            m_trader.cmdSellNow_Click(code, form);
            break;
        case Action::Cancel:
            m_trader.cmdCancelOldest_Click();
            break;
        case Action::Tick:
            m_market.Timer1_Timer();
            break;
        case Action::Exec:
            m_trader.Timer2_Timer();
            break;
        }
        const Snapshot after = Snapshot::of(m_trader.account());
        if (tracing())
            trace(action, after);
        m_ledger.check(action, before, after, m_log.lines, m_prompter.boxes);
    }

private:
    static bool tracing() {
        static const bool on = std::getenv("TRADINGFUZZ_TRACE") != nullptr;
        return on;
    }

    void trace(Action action, const Snapshot& after) const {
        static const char* const names[] = {"buy", "sell", "cancel", "Timer1", "Timer2"};
        std::fprintf(stderr, "%s ask=%g/%g bid=%g/%g last=%g | %s\n",
                     names[static_cast<int>(action)], m_market.dblAskPrice, m_market.dblAskAmount,
                     m_market.dblBidPrice, m_market.dblBidAmount, m_market.dblNowPrice,
                     after.describe().c_str());
        for (const auto& line : m_log.lines)
            std::fprintf(stderr, "    log: %s\n", line.c_str());
        for (const auto& box : m_prompter.boxes)
            std::fprintf(stderr, "    box: %s / %s\n", box.prompt.c_str(), box.title.c_str());
    }

    vantrel::Market m_market;
    RecordingLog m_log;
    RecordingPrompter m_prompter;
    vantrel::Trader m_trader;
    Ledger m_ledger;
    int m_events = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    Session session;
    while (!in.atEnd() && !session.exhausted()) {
        std::string code;
        switch (in.byte() % 6) {
        case 0: {
            const auto form = readForm(in, code);
            session.run(Action::Buy, code, form);
            break;
        }
        case 1: {
            const auto form = readForm(in, code);
            session.run(Action::Sell, code, form);
            break;
        }
        case 2:
            session.run(Action::Cancel);
            break;
        case 3:
            session.run(Action::Tick);
            break;
        case 4:
            session.run(Action::Exec);
            break;
        default:
            for (int rounds = in.byte() + 1; rounds > 0 && !session.exhausted(); --rounds) {
                session.run(Action::Tick);
                session.run(Action::Exec);
            }
            break;
        }
    }
    return 0;
}
