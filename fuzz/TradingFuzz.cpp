// Drives the trading core with arbitrary order forms and sequences of button
// presses and timer events, and checks the books after every single step
// (see tests/support/TradingBooks.h): every log line a trading message, the
// cash kept from the log equal to the buying power plus a pending buy's
// reservation, holdings equal to the shares the fills moved and never
// negative, no money moved without a log line, a message box changing
// nothing, a pending order for more than 0 shares inside the day's band and a
// pending sale for no more shares than are held. A broken promise is printed
// and aborts, so libFuzzer keeps the input.
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
#include "support/TradingBooks.h"
#include "trading/MessagePrompter.h"
#include "trading/OrderForm.h"
#include "trading/TestDoubles.h"
#include "trading/Trader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace vantrel;

constexpr int kMaxEvents = 20000;

class CountingPrompter final : public MessagePrompter {
public:
    void ShowMessage(const std::string&, const std::string&) override { ++boxes; }
    int boxes = 0;
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

OrderForm readForm(ByteReader& in, std::string& code) {
    static const PriceKind prices[] = {PriceKind::Limit, PriceKind::Market, PriceKind::None,
                                       PriceKind::None};
    static const QuantityKind quantities[] = {QuantityKind::Shares, QuantityKind::Yen,
                                              QuantityKind::Everything, QuantityKind::None};
    const std::uint8_t flags = in.byte();
    OrderForm form;
    form.priceKind = prices[flags & 3u];
    form.quantityKind = quantities[(flags >> 2) & 3u];
    form.priceText = in.text();
    form.sharesText = in.text();
    form.yenText = in.text();
    code = (flags & 16u) ? in.text() : "9999";
    return form;
}

struct Session {
    Market market;
    RecordingLog log;
    CountingPrompter prompter;
    Trader trader{log, prompter};
    test::TradingBooks books;
    int events = 0;

    Session() { market.StartUp(); }

    // Runs one action and holds the books against the account afterwards.
    template <class Action> void step(Action action) {
        const Account before = trader.account();
        const std::size_t lines = log.lines.size();
        const int boxes = prompter.boxes;
        action();
        ++events;
        const std::vector<std::string> added(log.lines.begin() + lines, log.lines.end());
        if (const auto problem =
                books.afterAction(before, trader.account(), added, prompter.boxes > boxes)) {
            std::fprintf(stderr, "TradingFuzz: event %d: %s\n", events, problem->c_str());
            std::abort();
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    Session s;
    while (!in.atEnd() && s.events < kMaxEvents) {
        std::string code;
        switch (in.byte() % 6) {
        case 0: {
            const OrderForm form = readForm(in, code);
            s.step([&] { s.trader.pressBuy(code, form); });
            break;
        }
        case 1: {
            const OrderForm form = readForm(in, code);
            s.step([&] { s.trader.pressSell(code, form); });
            break;
        }
        case 2:
            s.step([&] { s.trader.pressCancel(); });
            break;
        case 3:
            s.step([&] { s.market.Tick(); });
            break;
        case 4:
            s.step([&] { s.trader.executionTick(s.market.quotes()); });
            break;
        default:
            for (int round = in.byte(); round >= 0 && s.events < kMaxEvents; --round) {
                s.step([&] { s.market.Tick(); });
                s.step([&] { s.trader.executionTick(s.market.quotes()); });
            }
            break;
        }
    }
    return 0;
}
