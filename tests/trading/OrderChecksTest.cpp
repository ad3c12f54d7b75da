#include "trading/OrderChecks.h"

#include "TestDoubles.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

struct CheckRow {
    OrderForm form;
    const char* prompt; // nullptr: the form passes
    const char* buyTitle;
    const char* sellTitle;
    std::string code = "9999";
};

void expectRow(const CheckRow& row, const std::optional<MessageBoxText>& box, const char* title) {
    if (!row.prompt) {
        EXPECT_FALSE(box) << box->prompt;
        return;
    }
    ASSERT_TRUE(box);
    EXPECT_EQ(box->prompt, row.prompt);
    EXPECT_EQ(box->title, title);
}

// Rows where the two forms agree apart from the titles; the sell form holds
// plenty of shares so that the holdings check stays out of the way.
TEST(OrderChecks, TableForBothForms) {
    const char* below = "指値が制限値幅（400円）を下回っています。";
    const char* above = "指値が制限値幅（600円）を上回っています。";
    const char* noPrice = "指値を入力してください。";
    const char* notUnits = "単位株の倍数を指定してください。";
    const char* wrongCount = "指定株数に誤りがあります。";
    const char* wrongYen = "指定金額に誤りがあります。";
    const std::vector<CheckRow> rows = {
        {{Limit, "", Shares, "", ""}, noPrice, "必須項目", "必須項目"},
        {{Limit, "-5", Shares, "x", "y"},
         "銘柄コードを入力してください。",
         "必須項目",
         "必須項目",
         ""},
        {{Limit, "500", Shares, "1000", ""}, nullptr, "", "", " "},
        {{Limit, "399", Shares, "1000", ""}, below, "Vantrel", "必須項目"},
        {{Limit, "-5", Shares, "1000", ""}, below, "Vantrel", "必須項目"},
        {{Limit, "-1e999", Shares, "1000", ""}, below, "Vantrel", "必須項目"},
        {{Limit, "601", Shares, "1000", ""}, above, "Vantrel", "必須項目"},
        {{Limit, "600.5", Shares, "1000", ""}, above, "Vantrel", "必須項目"},
        {{Limit, "1e999", Shares, "1000", ""}, above, "Vantrel", "必須項目"},
        {{Limit, "&HFFFFFFFF", Shares, "1000", ""}, above, "Vantrel", "必須項目"},
        {{Limit, "400", Shares, "1000", ""}, nullptr, "", ""},
        {{Limit, "600", Shares, "1000", ""}, nullptr, "", ""},
        {{Limit, "0500", Shares, "1000", ""}, nullptr, "", ""},
        {{Limit, " 5 0 0\t円", Shares, "1000", ""}, nullptr, "", ""},
        {{Limit, "&H1F4", Shares, "1000", ""}, nullptr, "", ""},
        {{Limit, "abc", Shares, "1000", ""}, noPrice, "必須項目", "必須項目"},
        {{Limit, "-0", Shares, "1000", ""}, noPrice, "必須項目", "必須項目"},
        {{Limit, "５００", Shares, "1000", ""}, noPrice, "必須項目", "必須項目"},
        {{Limit, "\xff\xfe", Shares, "1000", ""}, noPrice, "必須項目", "必須項目"},
        // Price checks come before quantity checks.
        {{Limit, "399", Shares, "1500", ""}, below, "Vantrel", "必須項目"},
        {{AtMarket, "abc", Shares, "1000", ""}, nullptr, "", ""},
        {{AtMarket, "abc", Shares, "1500", ""}, notUnits, "必須項目", "必須項目"},
        {{PriceKind::None, "abc", Shares, "1000", ""}, nullptr, "", ""},
        {{Limit, "500", Shares, "1500", ""}, notUnits, "必須項目", "必須項目"},
        {{Limit, "500", Shares, "-500", ""}, notUnits, "必須項目", "必須項目"},
        {{Limit, "500", Shares, "1000.4", ""}, notUnits, "必須項目", "必須項目"},
        {{Limit, "500", Shares, "0.3", ""}, notUnits, "必須項目", "必須項目"},
        {{Limit, "500", Shares, "1,000", ""}, notUnits, "必須項目", "必須項目"},
        {{Limit, "500", Shares, "2000", ""}, nullptr, "", ""},
        {{Limit, "500", Shares, "1000abc", ""}, nullptr, "", ""},
        {{Limit, "500", Shares, "-1000", ""}, wrongCount, "指定数エラー", "指定数エラー"},
        {{Limit, "500", Shares, "1e12", ""}, wrongCount, "指定数エラー", "指定数エラー"},
        {{Limit, "500", Shares, "1e999", ""}, wrongCount, "指定数エラー", "指定数エラー"},
        {{Limit, "500", Shares, "-2147484000", ""}, wrongCount, "指定数エラー", "指定数エラー"},
        {{Limit, "500", Yen, "1500", "-1"}, wrongYen, "指定金額エラー", "指定金額エラー"},
        {{Limit, "500", Yen, "", "1e999"}, nullptr, "", ""},
        {{Limit, "500", All, "abc", "-1"}, nullptr, "", ""},
        {{Limit, "500", QuantityKind::None, "abc", "-1"}, nullptr, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.form.priceText + " | " + row.form.sharesText + " | " + row.form.yenText);
        expectRow(row, CheckBuyOrder(row.code, readOrderForm(row.form)), row.buyTitle);
        expectRow(row, CheckSellOrder(row.code, readOrderForm(row.form), 1e15), row.sellTitle);
    }
}

TEST(OrderChecks, MissingQuantityNamesTheSide) {
    for (const char* text : {"", "0", "-0", "abc", "  "}) {
        const OrderForm shares{Limit, "500", Shares, text, "-1"};
        const OrderForm yen{Limit, "500", Yen, "-1", text};
        EXPECT_EQ(*CheckBuyOrder("9999", readOrderForm(shares)),
                  (MessageBoxText{"購入株数を指定してください。", "必須項目"}));
        EXPECT_EQ(*CheckSellOrder("9999", readOrderForm(shares), 1000),
                  (MessageBoxText{"売却株数を指定してください。", "必須項目"}));
        EXPECT_EQ(*CheckBuyOrder("9999", readOrderForm(yen)),
                  (MessageBoxText{"購入金額を指定してください。", "必須項目"}));
        EXPECT_EQ(*CheckSellOrder("9999", readOrderForm(yen), 1000),
                  (MessageBoxText{"売却金額を指定してください。", "必須項目"}));
    }
}

TEST(OrderChecks, SaleIsLimitedToTheSharesHeld) {
    const MessageBoxText tooMany{"保有株数を超える株数は指定できません。", "指定数エラー"};
    EXPECT_EQ(*CheckSellOrder("9999", readOrderForm({Limit, "500", Shares, "2000", ""}), 1000),
              tooMany);
    EXPECT_FALSE(CheckSellOrder("9999", readOrderForm({Limit, "500", Shares, "1000", ""}), 1000));
    // The unit check comes first.
    EXPECT_EQ(
        CheckSellOrder("9999", readOrderForm({Limit, "500", Shares, "1500", ""}), 1000)->prompt,
        "単位株の倍数を指定してください。");
    // Yen and everything are not compared with the holdings here.
    EXPECT_FALSE(CheckSellOrder("9999", readOrderForm({Limit, "500", Yen, "", "500000"}), 0));
    EXPECT_FALSE(CheckSellOrder("9999", readOrderForm({AtMarket, "", All, "", ""}), 0));
    // The buy form has no holdings check at all.
    EXPECT_FALSE(CheckBuyOrder("9999", readOrderForm({Limit, "500", Shares, "2000000", ""})));
}

} // namespace
} // namespace vantrel
