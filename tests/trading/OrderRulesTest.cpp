#include "base/NumberText.h"
#include "orders/OrderChecks.h"
#include "orders/PriceRules.h"
#include "orders/ShareCount.h"
#include "support/Session.h"
#include "trading/OrderPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
using namespace vantrel;

const auto Limit = PriceKind::Limit;
const auto AtMarket = PriceKind::Market;
const auto Shares = QuantityKind::Shares;
const auto Yen = QuantityKind::Yen;
const auto All = QuantityKind::Everything;
const auto Buy = OrderSide::Buy;
const auto Sell = OrderSide::Sell;

std::string shown(const std::optional<MessageBoxText>& box) {
    return box ? box->prompt + " | " + box->title : "passes";
}

// Each form's box, or "passes", in the order the checks run: code, price,
// quantity, holdings. The sell form holds 1000 shares.
TEST(OrderChecks, BoxOfEachForm) {
    const std::string below = "指値が制限値幅（400円）を下回っています。 | ";
    const std::string above = "指値が制限値幅（600円）を上回っています。 | ";
    const std::string noCode = "銘柄コードを入力してください。 | 必須項目";
    const std::string noPrice = "指値を入力してください。 | 必須項目";
    const std::string units = "単位株の倍数を指定してください。 | 必須項目";
    const std::string count = "指定株数に誤りがあります。 | 指定数エラー";
    const struct {
        OrderForm form;
        std::string buy, sell;
        std::string code = "9999";
    } rows[] = {
        // clang-format off
        {{Limit, "-5", Shares, "x", ""}, noCode, noCode, ""},
        {{Limit, "", Shares, "", ""}, noPrice, noPrice}, {{Limit, "-0", Shares, "1000", ""}, noPrice, noPrice},
        {{Limit, "399", Shares, "1500", ""}, below + "Vantrel", below + "必須項目"},
        {{Limit, "-1e999", Shares, "1000", ""}, below + "Vantrel", below + "必須項目"},
        {{Limit, "600.5", Shares, "1000", ""}, above + "Vantrel", above + "必須項目"},
        {{Limit, "&HFFFFFFFF", Shares, "1000", ""}, above + "Vantrel", above + "必須項目"},
        {{Limit, "400", QuantityKind::None, "abc", "-1"}, "passes", "passes", " "},
        {{Limit, " 6 0 0\t円", Shares, "1000abc", ""}, "passes", "passes"},
        {{PriceKind::None, "abc", All, "abc", "-1"}, "passes", "passes"},
        {{AtMarket, "", Shares, "abc", "1"}, "購入株数を指定してください。 | 必須項目", "売却株数を指定してください。 | 必須項目"},
        {{AtMarket, "", Shares, "1500", ""}, units, units},
        {{AtMarket, "", Shares, "0.3", ""}, units, units},
        {{AtMarket, "", Shares, "1,000", ""}, units, units},
        {{AtMarket, "", Shares, "-1000", ""}, count, count},
        {{AtMarket, "", Shares, "1e12", ""}, count, count},
        {{AtMarket, "", Shares, "1000", ""}, "passes", "passes"},
        {{AtMarket, "", Shares, "2000", ""}, "passes", "保有株数を超える株数は指定できません。 | 指定数エラー"},
        {{AtMarket, "", Yen, "1", "abc"}, "購入金額を指定してください。 | 必須項目", "売却金額を指定してください。 | 必須項目"},
        {{AtMarket, "", Yen, "", "-1"}, "指定金額に誤りがあります。 | 指定金額エラー", "指定金額に誤りがあります。 | 指定金額エラー"},
        {{AtMarket, "", Yen, "", "0.5"}, "passes", "passes"},
        // clang-format on
    };
    for (const auto& row : rows) {
        const OrderValues form = readOrderForm(row.form);
        EXPECT_EQ(shown(CheckBuyOrder(row.code, form)), row.buy) << row.form.priceText;
        EXPECT_EQ(shown(CheckSellOrder(row.code, form, 1000)), row.sell) << row.form.priceText;
    }
}

// The width of the band around a previous close: each row's first price
// takes that row's width.
TEST(PriceRules, EachBoundBelongsToTheHigherRow) {
    // clang-format off
    const struct { double from; int width; } rows[] = {
        {100, 50},          {200, 80},          {500, 100},        {1'000, 200},      {1'500, 300},
        {2'000, 400},       {3'000, 500},       {5'000, 1'000},    {10'000, 2'000},   {20'000, 3'000},
        {30'000, 4'000},    {50'000, 5'000},    {70'000, 10'000},  {100'000, 20'000}, {150'000, 30'000},
        {200'000, 40'000},  {300'000, 50'000},  {500'000, 100'000}, {1e6, 200'000},   {1.5e6, 300'000},
        {2e6, 400'000},     {3e6, 500'000},     {5e6, 1'000'000},  {1e7, 2'000'000},  {1.5e7, 3'000'000},
        {2e7, 4'000'000},   {3e7, 5'000'000},   {5e7, 10'000'000},
    };
    // clang-format on
    int widthBelow = 30;
    for (const auto& row : rows) {
        EXPECT_EQ(GetLimitWidth(std::nextafter(row.from, 0.0)), widthBelow) << row.from;
        EXPECT_EQ(GetLimitWidth(row.from), row.width) << row.from;
        widthBelow = row.width;
    }
    EXPECT_EQ(GetLimitWidth(-std::numeric_limits<double>::infinity()), 30);
    EXPECT_EQ(GetLimitWidth(std::numeric_limits<double>::quiet_NaN()), 10'000'000);
}

// The pending order: side, price text, 成行 or the price text again, shares.
std::string orderLabels(const Account& a) {
    const auto& order = a.order();
    if (!order)
        return ",,,";
    return std::string(order->side == OrderSide::Buy ? "買," : "売,") + order->priceText + ',' +
           (order->priceKind == PriceKind::Market ? "成行" : order->priceText) + ',' +
           plainDecimal(order->remaining);
}

TEST(ShareCount, WholeDivisionRoundsOperandsHalfToEven) {
    EXPECT_EQ(wholeDivide(-2100, 500), -4); // truncated toward zero
    EXPECT_EQ(wholeDivide(2500.5, 2.5), 1250);
    EXPECT_EQ(wholeDivide(2147483647, 1), 2147483647);
    EXPECT_EQ(wholeDivide(1000, 0.4), std::nullopt);
    EXPECT_EQ(wholeDivide(-2147483648.0, -1), std::nullopt);
}

// A checked form placed with the power and holdings given: the log lines, the
// pending order's labels and the power; or the sale's box. A limit price is
// shown as typed when both readings agree on it.
TEST(Placement, WhatEachFormPlaces) {
    const std::string noShares = "指定金額に誤りがあります。 | 指定金額エラー";
    const struct {
        OrderSide side;
        OrderForm form;
        std::string result;
        double power = 3000000, held = 3000;
    } rows[] = {
        // clang-format off
        {Buy, {Limit, "500", Shares, "1000", ""}, "ヴァントレルを500円で1000株購入します。 | 買,500,500,1000 | 2500000"},
        {Buy, {Limit, "0500", Shares, "3000abc", ""}, "ヴァントレルを0500円で3000株購入します。 | 買,0500,0500,3000 | 1500000"},
        {Buy, {Limit, "450.50", Shares, "1000", ""}, "ヴァントレルを450.50円で1000株購入します。 | 買,450.50,450.50,1000 | 2549500"},
        {Buy, {Limit, "\t500\r\n", Shares, "1000", ""}, "ヴァントレルを500円で1000株購入します。 | 買,500,500,1000 | 2500000"},
        {Buy, {Limit, "4 5 0円", Shares, "1000", ""}, "ヴァントレルを450円で1000株購入します。 | 買,450,450,1000 | 2550000"},
        // The placed count is the one the check read, never a strict reading.
        {Buy, {AtMarket, "", Shares, "1000,0e-3", ""}, "ヴァントレルを成行で1000株購入します。 | 買,600,成行,1000 | 2400000"},
        {Buy, {Limit, "450", Yen, "", "1000000"}, "ヴァントレルを450円で2000株購入します。 | 買,450,450,2000 | 2100000"},
        {Buy, {AtMarket, "", Yen, "", "1000000"}, "ヴァントレルを成行で1000株購入します。 | 買,600,成行,1000 | 2400000"},
        {Buy, {Limit, "500", All, "", ""}, "ヴァントレルを500円で5000株購入します。 | 買,500,500,5000 | 500000"},
        {Buy, {AtMarket, "", All, "", ""}, "ヴァントレルを成行で4000株購入します。 | 買,600,成行,4000 | 600000"},
        // The power must cover the price and leave the commission.
        {Buy, {Limit, "500", Shares, "1000", ""}, "ヴァントレルを500円で1000株購入します。 | 買,500,500,1000 | 2100", 502100},
        {Buy, {Limit, "500", Shares, "1000", ""}, "ヴァントレルを500円で1000株購入します。 | 余力が足りません。500000円必要です。 | ,,, | 502099", 502099},
        {Buy, {AtMarket, "", Shares, "5000", ""}, "ヴァントレルを成行で5000株購入します。 | 余力が足りません。3000000円必要です。 | ,,, | 3000000"},
        {Buy, {Limit, "500", Yen, "", "400000"}, "余力が足りません。 | ,,, | 3000000"},
        {Buy, {PriceKind::None, "500", All, "", ""}, "余力が足りません。 | ,,, | 3000000"},
        // An amount past the 32-bit range divides to nothing: no order, never a stray share.
        {Buy, {Limit, "500", Yen, "", "3000000000"}, "余力が足りません。 | ,,, | 3000000"},
        {Sell, {Limit, "0500", All, "", ""}, "ヴァントレルを0500円で7000株売却します。 | 売,0500,0500,7000 | 3000000", 3000000, 7000},
        {Sell, {AtMarket, "", Yen, "", "1300000"}, "ヴァントレルを成行で2000株売却します。 | 売,400,成行,2000 | 3000000"},
        {Sell, {Limit, "400", Yen, "", "1000000"}, "ヴァントレルを400円で2000株売却します。 | 売,400,400,2000 | 3000000"},
        {Sell, {Limit, "500", Yen, "", "1500000"}, "ヴァントレルを500円で3000株売却します。 | 売,500,500,3000 | 3000000"},
        {Sell, {Limit, "500", Yen, "", "499999"}, noShares},
        {Sell, {PriceKind::None, "500", All, "", ""}, noShares},
        {Sell, {Limit, "500", Yen, "", "4000000"}, "保有株数を超える株数は指定できません。 | 指定数エラー"},
        {Sell, {Limit, "500", Yen, "", "1"}, ",,, | 3000000", 3000000, 0}, // nothing held: silent
        // clang-format on
    };
    for (const auto& row : rows) {
        Account account;
        account.setPower(row.power);
        account.setHoldings(row.held);
        Recorder log;
        const OrderValues form = readOrderForm(row.form);
        std::optional<MessageBoxText> box;
        if (row.side == Buy)
            PlaceBuyOrder(account, form, log);
        else
            box = PlaceSellOrder(account, form, log);
        std::string result;
        for (const std::string& line : log.lines)
            result += line + " | ";
        result += box ? box->prompt + " | " + box->title
                      : orderLabels(account) + " | " + plainDecimal(account.power());
        EXPECT_EQ(result, row.result);
    }
}

} // namespace
