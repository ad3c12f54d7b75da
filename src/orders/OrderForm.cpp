#include "orders/OrderForm.h"

#include "base/NumberReading.h"
#include "base/NumberText.h"

#include <algorithm>

namespace vantrel {

namespace {

std::string storedPriceText(const std::string& typed, double lenient) {
    const auto strict = readStrict(typed);
    const bool printable = std::none_of(typed.begin(), typed.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
    return printable && strict && *strict == lenient ? typed : plainDecimal(lenient);
}

} // namespace

OrderValues readOrderForm(const OrderForm& form) {
    OrderValues values;
    values.priceKind = form.priceKind;
    if (form.priceKind == PriceKind::Limit) {
        values.price = readLenient(form.priceText);
        values.storedPriceText = storedPriceText(form.priceText, values.price);
    }
    values.quantityKind = form.quantityKind;
    values.shares = readLenient(form.sharesText);
    values.yen = readLenient(form.yenText);
    return values;
}

} // namespace vantrel
