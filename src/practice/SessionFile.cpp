#include "practice/SessionFile.h"

#include "market/MarketNumber.h"

#include <nlohmann/json.hpp>

#include <array>
#include <utility>

namespace vantrel {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::array<std::pair<ActionKind, const char*>, 3> kKinds = {
    {{ActionKind::Buy, "buy"}, {ActionKind::Sell, "sell"}, {ActionKind::Cancel, "cancel"}}};
constexpr std::array<std::pair<PriceKind, const char*>, 3> kPriceKinds = {
    {{PriceKind::None, "none"}, {PriceKind::Limit, "limit"}, {PriceKind::Market, "market"}}};
constexpr std::array<std::pair<QuantityKind, const char*>, 4> kQuantityKinds = {
    {{QuantityKind::None, "none"},
     {QuantityKind::Shares, "shares"},
     {QuantityKind::Yen, "yen"},
     {QuantityKind::Everything, "everything"}}};

template <typename E, std::size_t N>
const char* nameOf(const std::array<std::pair<E, const char*>, N>& names, E value) {
    for (const auto& [v, name] : names)
        if (v == value)
            return name;
    return names[0].second;
}

template <typename E, std::size_t N>
std::optional<E> valueOf(const std::array<std::pair<E, const char*>, N>& names,
                         const std::string& text) {
    for (const auto& [v, name] : names)
        if (text == name)
            return v;
    return std::nullopt;
}

// Thrown with the message the reader returns; caught only in readSessionFile.
struct Refusal {
    std::string message;
};

// Where a field sits, as the message names it: "操作 12 の priceText".
struct Place {
    std::string prefix;
    std::string name(const char* field) const { return prefix + field; }
};

const Json& field(const Json& object, const char* name, const Place& place) {
    const auto it = object.find(name);
    if (it == object.end())
        throw Refusal{place.name(name) + " がありません"};
    return *it;
}

std::string text(const Json& object, const char* name, const Place& place) {
    const Json& value = field(object, name, place);
    if (!value.is_string())
        throw Refusal{place.name(name) + " が文字列ではありません"};
    return value.get<std::string>();
}

double number(const Json& object, const char* name, const Place& place) {
    const Json& value = field(object, name, place);
    if (!value.is_number())
        throw Refusal{place.name(name) + " が数値ではありません"};
    return value.get<double>();
}

std::uint64_t seconds(const Json& object, const char* name, const Place& place) {
    const Json& value = field(object, name, place);
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > kSessionFileMaxSeconds)
        throw Refusal{place.name(name) + " が 0 から 100000000 の整数ではありません"};
    return value.get<std::uint64_t>();
}

const Json& object(const Json& parent, const char* name, const Place& place) {
    const Json& value = field(parent, name, place);
    if (!value.is_object())
        throw Refusal{place.name(name) + " がオブジェクトではありません"};
    return value;
}

template <typename E, std::size_t N>
E choice(const Json& object, const char* name, const Place& place,
         const std::array<std::pair<E, const char*>, N>& names) {
    const std::optional<E> value = valueOf(names, text(object, name, place));
    if (!value)
        throw Refusal{place.name(name) + " が知らない種類です"};
    return *value;
}

SessionAction readAction(const Json& value, std::size_t number) {
    const Place place{"操作 " + std::to_string(number) + " の "};
    if (!value.is_object())
        throw Refusal{"操作 " + std::to_string(number) + " がオブジェクトではありません"};
    SessionAction action;
    action.second = seconds(value, "second", place);
    action.kind = choice(value, "kind", place, kKinds);
    const Json& form = object(value, "form", place);
    action.form.priceKind = choice(form, "priceKind", place, kPriceKinds);
    action.form.priceText = text(form, "priceText", place);
    action.form.quantityKind = choice(form, "quantityKind", place, kQuantityKinds);
    action.form.sharesText = text(form, "sharesText", place);
    action.form.yenText = text(form, "yenText", place);
    action.codeText = text(form, "codeText", place);
    return action;
}

SessionRecord readRecord(const Json& root) {
    const Place top{};
    if (!root.is_object())
        throw Refusal{"全体がオブジェクトではありません"};
    SessionRecord record;
    const Json& format = field(root, "format", top);
    if (!format.is_number_integer())
        throw Refusal{"format が整数ではありません"};
    if (format.get<std::int64_t>() < 1 || format.get<std::int64_t>() > kSessionFormat)
        throw Refusal{"format " + format.dump() + " には対応していません"};
    record.program = text(root, "program", top);
    const Json& market = field(root, "market", top);
    if (!market.is_number_integer() || market.get<std::int64_t>() < kStandardMarket ||
        market.get<std::int64_t>() > kLastMarket)
        throw Refusal{"market が 1 から 9999 の整数ではありません"};
    record.market = market.get<int>();
    // Replaying such a file on today's market would silently give other results.
    if (format.get<std::int64_t>() == 1 && marketStartReplaced(record.market))
        throw Refusal{
            "市場番号 " + std::to_string(record.market) +
            " の意味がこの版で変わったため、この format 1 のファイルは記録どおりに再生できません"};

    const Json& actions = field(root, "actions", top);
    if (!actions.is_array())
        throw Refusal{"actions が配列ではありません"};
    if (actions.size() > kSessionFileMaxActions)
        throw Refusal{"操作が多すぎます（200000 まで）"};
    record.actions.reserve(actions.size());
    for (const Json& value : actions) {
        const std::size_t number = record.actions.size() + 1;
        record.actions.push_back(readAction(value, number));
        if (number > 1 && record.actions.back().second < record.actions[number - 2].second)
            throw Refusal{"操作 " + std::to_string(number) + " の second が前の操作より前です"};
    }

    const Json& results = object(root, "results", top);
    const Place place{"results の "};
    SessionResults& r = record.results;
    r.seconds = seconds(results, "seconds", place);
    if (!record.actions.empty() && record.actions.back().second > r.seconds)
        throw Refusal{"操作 " + std::to_string(record.actions.size()) +
                      " の second が results の seconds より後です"};
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].saved)
            r.figures.values[i] = number(results, table[i].key, place);
    return record;
}

} // namespace

std::string writeSessionFile(const SessionRecord& record) {
    Json root;
    root["format"] = record.format;
    root["program"] = record.program;
    root["market"] = record.market;
    Json actions = Json::array();
    for (const SessionAction& action : record.actions) {
        Json one;
        one["second"] = action.second;
        one["kind"] = nameOf(kKinds, action.kind);
        Json& form = one["form"];
        form["priceKind"] = nameOf(kPriceKinds, action.form.priceKind);
        form["priceText"] = action.form.priceText;
        form["quantityKind"] = nameOf(kQuantityKinds, action.form.quantityKind);
        form["sharesText"] = action.form.sharesText;
        form["yenText"] = action.form.yenText;
        form["codeText"] = action.codeText;
        actions.push_back(std::move(one));
    }
    root["actions"] = std::move(actions);
    const SessionResults& r = record.results;
    Json& results = root["results"];
    results["seconds"] = r.seconds;
    // A saved figure always has a value; a record made without one writes 0,
    // so that every file written can be read.
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].saved)
            results[table[i].key] = r.figures.values[i].value_or(0);
    // The window's texts are valid UTF-8; anything else is replaced rather
    // than failing the save.
    return root.dump(1, ' ', false, Json::error_handler_t::replace) + '\n';
}

SessionFileRead readSessionFile(const std::string& text) {
    if (text.size() > kSessionFileMaxBytes)
        return {std::nullopt, "ファイルが大きすぎます（16 MiB まで）"};
    const Json root = Json::parse(text, nullptr, false);
    if (root.is_discarded())
        return {std::nullopt, "JSON として読めません"};
    try {
        return {readRecord(root), {}};
    } catch (const Refusal& refusal) {
        return {std::nullopt, refusal.message};
    }
}

} // namespace vantrel
