#include "trading/OrderCancellation.h"

#include "TestDoubles.h"
#include "trading/OrderExecution.h"
#include "trading/OrderPlacement.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const char* const kCancelled = "注文をキャンセルしました。";

void expectNoOrderLabels(const Account& a) {
    EXPECT_EQ(a.orderTypeText() + a.orderPriceText() + a.orderPriceViewText() + a.orderAmountText(),
              "");
}

TEST(Cancellation, WithoutAnOrderNothingHappens) {
    Account account;
    RecordingLog log;
    CancelPendingOrder(account, log);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(account.powerText(), "3000000");
}

TEST(Cancellation, BuyGivesBackWhatIsStillSetAside) {
    struct Row {
        OrderForm form;
        double filled; // shares filled at 499 before cancelling
        const char* powerAfter;
    };
    const Row rows[] = {
        {{PriceKind::Limit, "500", QuantityKind::Shares, "1000", ""}, 0, "3000000"},
        {{PriceKind::Market, "", QuantityKind::Everything, "", ""}, 0, "3000000"},
        {{PriceKind::Limit, "500", QuantityKind::Shares, "5000", ""}, 2000, "2002000"},
    };
    for (const auto& row : rows) {
        Account account;
        RecordingLog log;
        PlaceBuyOrder(account, readOrderForm(row.form), log);
        if (row.filled != 0)
            ExecuteOrder(account, log, 499, row.filled);
        log.lines.clear();
        CancelPendingOrder(account, log);
        EXPECT_EQ(log.lines, Lines{kCancelled});
        EXPECT_EQ(account.powerText(), row.powerAfter);
        expectNoOrderLabels(account);
        CancelPendingOrder(account, log); // a second click finds nothing
        EXPECT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(account.powerText(), row.powerAfter);
    }
}

TEST(Cancellation, SellLeavesHoldingsAndPowerAsTheyStand) {
    Account account;
    RecordingLog log;
    account.setHoldings(3000);
    PlaceSellOrder(account,
                   readOrderForm({PriceKind::Market, "", QuantityKind::Everything, "", ""}), log);
    ExecuteOrder(account, log, 450, 1000);
    log.lines.clear();
    CancelPendingOrder(account, log);
    EXPECT_EQ(log.lines, Lines{kCancelled});
    EXPECT_EQ(account.amountText(), "2000");
    EXPECT_EQ(account.powerText(), "3450000");
    expectNoOrderLabels(account);
}

} // namespace
} // namespace vantrel
