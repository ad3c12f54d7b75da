#include "trading/TradeEvents.h"

namespace vantrel {

namespace {

class NoTradeEvents final : public TradeEvents {
public:
    void onFill(OrderSide, double, double, double) override {}
    void onCommission(double) override {}
};

} // namespace

TradeEvents& noTradeEvents() {
    static NoTradeEvents none;
    return none;
}

} // namespace vantrel
