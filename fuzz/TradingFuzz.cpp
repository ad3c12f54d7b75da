// Drives the trading core with arbitrary order forms and sequences of button
// presses and timer events, and checks the books after every single step
// (see tests/support/Session.h): every log line a trading message, the
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
#include "support/Session.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxEvents = 20000;

struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;

    std::uint8_t byte() { return pos < size ? data[pos++] : 0; }
    std::string text() {
        const std::size_t length = std::min<std::size_t>(byte() & 31u, size - pos);
        const std::string result(reinterpret_cast<const char*>(data + pos), length);
        pos += length;
        return result;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantrel;
    using S = test::Session;
    Bytes in{data, size};
    S s;
    int events = 0;
    const auto run = [&](S::Action action, const std::string& code = {},
                         const OrderForm& form = {}) {
        if (const auto problem = s.act(action, code, form)) {
            std::fprintf(stderr, "TradingFuzz: event %d: %s\n", events, problem->c_str());
            std::abort();
        }
        ++events;
    };
    while (in.pos < size && events < kMaxEvents) {
        const int action = in.byte() % 6;
        if (action <= S::Sell) {
            const int flags = in.byte(), price = flags & 3, quantity = (flags >> 2) & 3;
            OrderForm form;
            form.priceKind = static_cast<PriceKind>(price < 2 ? price : -1);
            form.quantityKind = static_cast<QuantityKind>(quantity < 3 ? quantity : -1);
            form.priceText = in.text();
            form.sharesText = in.text();
            form.yenText = in.text();
            run(static_cast<S::Action>(action), (flags & 16) ? in.text() : "9999", form);
        } else if (action < 5) {
            run(static_cast<S::Action>(action));
        } else {
            for (int round = in.byte(); round >= 0 && events < kMaxEvents; --round) {
                run(S::Tick);
                run(S::ExecutionTick);
            }
        }
    }
    return 0;
}
