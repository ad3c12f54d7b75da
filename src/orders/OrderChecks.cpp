#include "orders/OrderChecks.h"

#include "base/NumberText.h"
#include "orders/OrderTexts.h"
#include "orders/PriceRules.h"
#include "orders/StockInfo.h"

#include <cmath>

namespace vantrel {
namespace {

using texts::kAmountErrorTitle;
using texts::kQuantityErrorTitle;
using texts::kRequiredTitle;

// The few points in which the two forms differ.
struct FormWording {
    std::string priceLimitTitle;
    const char* noShares;
    const char* noYen;
};

// Whole units only. A count whose rounded value leaves the 32-bit range is
// not judged here: it is refused as a wrong share count.
bool isNotWholeUnits(double shares) {
    return toInt32RoundHalfEven(shares) && std::fmod(shares, stock::kUnit) != 0;
}

bool isWrongShareCount(double shares) {
    return shares <= 0 || !toInt32RoundHalfEven(shares);
}

std::optional<MessageBoxText> checkForm(const std::string& codeText, const OrderValues& form,
                                        const FormWording& wording,
                                        std::optional<double> holdings) {
    if (codeText.empty())
        return MessageBoxText{"銘柄コードを入力してください。", kRequiredTitle};

    if (form.priceKind == PriceKind::Limit) {
        const double price = form.price;
        const double lower = lowerLimitPrice(stock::kPreviousClose);
        const double upper = upperLimitPrice(stock::kPreviousClose);
        if (price == 0)
            return MessageBoxText{"指値を入力してください。", kRequiredTitle};
        if (price < lower)
            return MessageBoxText{"指値が制限値幅（" + displayNumber(lower) +
                                      "円）を下回っています。",
                                  wording.priceLimitTitle};
        if (price > upper)
            return MessageBoxText{"指値が制限値幅（" + displayNumber(upper) +
                                      "円）を上回っています。",
                                  wording.priceLimitTitle};
    }

    if (form.quantityKind == QuantityKind::Shares) {
        const double shares = form.shares;
        if (shares == 0)
            return MessageBoxText{wording.noShares, kRequiredTitle};
        if (isNotWholeUnits(shares))
            return MessageBoxText{"単位株の倍数を指定してください。", kRequiredTitle};
        if (isWrongShareCount(shares))
            return MessageBoxText{"指定株数に誤りがあります。", kQuantityErrorTitle};
        if (holdings && *holdings < shares)
            return MessageBoxText{texts::kMoreThanHeld, kQuantityErrorTitle};
    } else if (form.quantityKind == QuantityKind::Yen) {
        const double yen = form.yen;
        if (yen == 0)
            return MessageBoxText{wording.noYen, kRequiredTitle};
        if (yen <= 0)
            return MessageBoxText{texts::kWrongAmount, kAmountErrorTitle};
    }
    return std::nullopt;
}

} // namespace

std::optional<MessageBoxText> CheckBuyOrder(const std::string& codeText, const OrderValues& form) {
    static const FormWording wording{kAppTitle, "購入株数を指定してください。",
                                     "購入金額を指定してください。"};
    return checkForm(codeText, form, wording, std::nullopt);
}

std::optional<MessageBoxText> CheckSellOrder(const std::string& codeText, const OrderValues& form,
                                             double holdings) {
    static const FormWording wording{kRequiredTitle, "売却株数を指定してください。",
                                     "売却金額を指定してください。"};
    return checkForm(codeText, form, wording, holdings);
}

} // namespace vantrel
