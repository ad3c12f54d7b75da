#include "exercise/ExerciseCard.h"

#include "base/NumberText.h"
#include "market/MarketNumber.h"
#include "orders/PriceRules.h"
#include "orders/StockInfo.h"
#include "results/ResultsText.h"

#include <nlohmann/json.hpp>

#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

namespace vantrel {

namespace {

using Tree = nlohmann::json;
using Json = nlohmann::ordered_json;

constexpr std::array<std::pair<ExerciseKind, std::pair<const char*, const char*>>, 5> kKinds = {{
    {ExerciseKind::Accumulate, {"accumulate", "買い集め"}},
    {ExerciseKind::Liquidate, {"liquidate", "売り切り"}},
    {ExerciseKind::ProfitTarget, {"profitTarget", "利益目標"}},
    {ExerciseKind::RoundTrips, {"roundTrips", "往復"}},
    {ExerciseKind::LimitProfit, {"limitProfit", "指値だけで利益"}},
}};

// The card's own shape: the whole and its list of price kinds.
constexpr int kMaxDepth = 2;
// Beyond these a number is not a task a person could be set.
constexpr double kMaxShares = 1000000;
constexpr double kMaxYen = stock::kStartPower;

struct Refusal {
    std::string message;
};

// The parser's own DOM builder, told to refuse a member named twice and any
// nesting deeper than a card has before it is built.
class CardParser final : public nlohmann::detail::json_sax_dom_parser<Tree> {
public:
    using Base = nlohmann::detail::json_sax_dom_parser<Tree>;
    explicit CardParser(Tree& root) : Base(root, false) {}

    bool start_object(std::size_t size) {
        enter();
        m_keys.emplace_back();
        return Base::start_object(size);
    }
    bool end_object() {
        --m_depth;
        m_keys.pop_back();
        return Base::end_object();
    }
    bool start_array(std::size_t size) {
        enter();
        m_keys.emplace_back();
        return Base::start_array(size);
    }
    bool end_array() {
        --m_depth;
        m_keys.pop_back();
        return Base::end_array();
    }
    bool key(string_t& name) {
        if (!m_keys.back().insert(name).second)
            throw Refusal{name + " が二つあります"};
        return Base::key(name);
    }
    template <class Exception>
    bool parse_error(std::size_t position, const std::string&, const Exception&) {
        m_errorAt = position > 0 ? position - 1 : 0;
        return false;
    }
    std::size_t errorAt() const { return m_errorAt; }

private:
    void enter() {
        if (++m_depth > kMaxDepth)
            throw Refusal{"入れ子が深すぎます（" + std::to_string(kMaxDepth) + " 段まで）"};
    }
    int m_depth = 0;
    std::vector<std::set<std::string>> m_keys;
    std::size_t m_errorAt = 0;
};

std::string placeOf(const std::string& text, std::size_t offset) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return std::to_string(line) + " 行 " + std::to_string(column) + " 列";
}

// The members of the card, each taken once; what is left over is unknown.
class Members {
public:
    explicit Members(const Tree& whole) : m_whole(whole) {}

    const Tree* find(const char* name) {
        m_taken.insert(name);
        const auto found = m_whole.find(name);
        return found == m_whole.end() ? nullptr : &*found;
    }
    const Tree& need(const char* name) {
        const Tree* value = find(name);
        if (!value)
            throw Refusal{std::string(name) + " がありません"};
        return *value;
    }
    std::string text(const char* name, bool required) {
        const Tree* value = required ? &need(name) : find(name);
        if (!value)
            return {};
        if (!value->is_string())
            throw Refusal{std::string(name) + " が文字列ではありません"};
        const std::string& s = value->get_ref<const std::string&>();
        if (s.size() > kExerciseMaxTextBytes)
            throw Refusal{std::string(name) + " が長すぎます（" +
                          std::to_string(kExerciseMaxTextBytes) + " バイトまで）"};
        if (required && s.empty())
            throw Refusal{std::string(name) + " が空です"};
        return s;
    }
    // A whole number from low to high; empty when the member is absent.
    std::optional<std::int64_t> whole(const char* name, std::int64_t low, std::int64_t high,
                                      bool required) {
        const Tree* value = required ? &need(name) : find(name);
        if (!value)
            return std::nullopt;
        if (!value->is_number_integer() || value->get<std::int64_t>() < low ||
            value->get<std::int64_t>() > high ||
            (value->is_number_unsigned() && value->get<std::uint64_t>() > 0x7fffffffffffffffull))
            throw Refusal{std::string(name) + " が " + std::to_string(low) + " から " +
                          std::to_string(high) + " の整数ではありません"};
        return value->get<std::int64_t>();
    }
    std::optional<double> number(const char* name, double low, double high) {
        const Tree* value = find(name);
        if (!value)
            return std::nullopt;
        if (!value->is_number() || value->get<double>() < low || value->get<double>() > high)
            throw Refusal{std::string(name) + " が " + groupedNumber(low) + " から " +
                          groupedNumber(high) + " の数ではありません"};
        return value->get<double>();
    }
    // Refuses a member this kind of task has no use for.
    void unused(const char* name, ExerciseKind kind) {
        if (find(name))
            throw Refusal{std::string(name) + " は" + exerciseKindName(kind) +
                          "の課題では使いません"};
    }
    void noOthers() const {
        for (const auto& member : m_whole.items())
            if (!m_taken.count(member.key()))
                throw Refusal{"知らない項目 " + member.key() + " があります"};
    }

private:
    const Tree& m_whole;
    std::set<std::string> m_taken;
};

double sharesOf(Members& members, const char* name, bool required) {
    const std::optional<std::int64_t> shares =
        members.whole(name, static_cast<std::int64_t>(stock::kUnit),
                      static_cast<std::int64_t>(kMaxShares), required);
    if (!shares)
        return 0;
    if (*shares % static_cast<std::int64_t>(stock::kUnit) != 0)
        throw Refusal{std::string(name) + " が売買単位 " + groupedNumber(stock::kUnit) +
                      " 株の倍数ではありません"};
    return static_cast<double>(*shares);
}

ExerciseCard cardFrom(const Tree& whole) {
    if (!whole.is_object())
        throw Refusal{"全体がオブジェクトではありません"};
    Members members(whole);
    ExerciseCard card;
    const Tree& format = members.need("format");
    if (!format.is_number_integer())
        throw Refusal{"format が整数ではありません"};
    if (format.get<std::int64_t>() != kExerciseCardFormat)
        throw Refusal{"format " + format.dump() + " には対応していません"};
    card.title = members.text("title", true);
    card.instructions = members.text("instructions", true);
    card.hint = members.text("hint", false);

    const Tree& market = members.need("market");
    if (market.is_string() && market.get_ref<const std::string&>() == "random") {
        card.market.reset();
    } else if (market.is_number_integer() && market.get<std::int64_t>() >= kStandardMarket &&
               market.get<std::int64_t>() <= kLastMarket) {
        card.market = market.get<int>();
    } else {
        throw Refusal{"market が " + std::to_string(kStandardMarket) + " から " +
                      std::to_string(kLastMarket) + " の整数でも \"random\" でもありません"};
    }
    card.start = static_cast<std::uint64_t>(
        *members.whole("start", 0, static_cast<std::int64_t>(kExerciseLongestSession), true));
    card.timeLimit = static_cast<std::uint64_t>(
        *members.whole("timeLimit", 1, static_cast<std::int64_t>(kExerciseMaxSeconds), true));
    if (card.end() > kExerciseLongestSession)
        throw Refusal{"start と timeLimit を合わせると最も長い練習（" +
                      groupedNumber(static_cast<double>(kExerciseLongestSession)) +
                      " 秒）を超えます"};

    const Tree& kindValue = members.need("kind");
    if (!kindValue.is_string())
        throw Refusal{"kind が文字列ではありません"};
    const std::optional<ExerciseKind> kind =
        exerciseKindOfKey(kindValue.get_ref<const std::string&>());
    if (!kind)
        throw Refusal{"kind が知らない種類です（" + kindValue.get_ref<const std::string&>() + "）"};
    card.kind = *kind;

    if (const Tree* kinds = members.find("priceKinds")) {
        if (!kinds->is_array() || kinds->empty())
            throw Refusal{"priceKinds が \"limit\" か \"market\" の並びではありません"};
        card.limitOrders = card.marketOrders = false;
        for (const Tree& one : *kinds) {
            bool& allowed = one == "limit" ? card.limitOrders : card.marketOrders;
            if (!one.is_string() || (one != "limit" && one != "market"))
                throw Refusal{"priceKinds が \"limit\" か \"market\" の並びではありません"};
            if (allowed)
                throw Refusal{"priceKinds に " + one.get<std::string>() + " が二つあります"};
            allowed = true;
        }
    }
    const double power = stock::kStartPower - kCommission;
    const double lowest = lowerLimitPrice(stock::kPreviousClose);
    const double highest = upperLimitPrice(stock::kPreviousClose);
    const auto noStartShares = [&] { members.unused("startShares", card.kind); };
    switch (card.kind) {
    case ExerciseKind::Accumulate:
        card.shares = sharesOf(members, "shares", true);
        if (card.shares * lowest > power)
            throw Refusal{"shares の " + groupedNumber(card.shares) + " 株は買付余力 " +
                          groupedNumber(stock::kStartPower) + " 円では最安値でも買えません"};
        card.threshold = members.number("threshold", -10000, 10000);
        noStartShares();
        break;
    case ExerciseKind::Liquidate:
        card.shares = sharesOf(members, "shares", true);
        card.startShares = sharesOf(members, "startShares", false);
        if (card.startShares == 0)
            card.startShares = card.shares;
        if (card.startShares != card.shares)
            throw Refusal{"startShares が shares と違います（売り切りは持っている株を売ります）"};
        if (card.shares * highest > stock::kStartPower)
            throw Refusal{"shares の " + groupedNumber(card.shares) +
                          " 株は始めに持つには多すぎます（" +
                          groupedNumber(stock::kStartPower / highest) + " 株まで）"};
        card.threshold = members.number("threshold", -10000, 10000);
        break;
    case ExerciseKind::ProfitTarget:
        card.target = members.number("target", 1, kMaxYen).value_or(0);
        if (card.target == 0)
            throw Refusal{"target がありません"};
        card.drawdown = members.number("drawdown", 1, kMaxYen).value_or(0);
        if (card.drawdown == 0)
            throw Refusal{"drawdown がありません"};
        members.unused("threshold", card.kind);
        noStartShares();
        break;
    case ExerciseKind::RoundTrips:
    case ExerciseKind::LimitProfit:
        card.roundTrips =
            static_cast<int>(*members.whole("roundTrips", 1, kExerciseMaxRoundTrips, true));
        // Each round trip takes at least its buy's and its sale's seconds.
        if (static_cast<std::uint64_t>(card.roundTrips) * 2 > card.timeLimit)
            throw Refusal{"roundTrips の " + std::to_string(card.roundTrips) +
                          " 回は timeLimit の秒では往復できません"};
        if (card.kind == ExerciseKind::RoundTrips)
            card.threshold = members.number("threshold", 0, 100);
        else
            members.unused("threshold", card.kind);
        noStartShares();
        break;
    }
    if (card.kind != ExerciseKind::Accumulate && card.kind != ExerciseKind::Liquidate)
        members.unused("shares", card.kind);
    if (card.kind != ExerciseKind::ProfitTarget) {
        members.unused("target", card.kind);
        members.unused("drawdown", card.kind);
    }
    if (card.kind != ExerciseKind::RoundTrips && card.kind != ExerciseKind::LimitProfit)
        members.unused("roundTrips", card.kind);
    if (card.kind == ExerciseKind::LimitProfit) {
        if (card.marketOrders && members.find("priceKinds"))
            throw Refusal{"priceKinds に market があります（指値だけで利益の課題です）"};
        card.marketOrders = false;
        card.limitOrders = true;
    }
    if (!members.find("maxShares")) {
        card.maxShares.reset();
    } else {
        card.maxShares = sharesOf(members, "maxShares", true);
        const double needed = std::max(card.shares, card.startShares);
        if (*card.maxShares < needed)
            throw Refusal{"maxShares の " + groupedNumber(*card.maxShares) + " 株では課題の " +
                          groupedNumber(needed) + " 株を持てません"};
    }
    members.noOthers();
    return card;
}

} // namespace

const char* exerciseKindKey(ExerciseKind kind) {
    for (const auto& [k, names] : kKinds)
        if (k == kind)
            return names.first;
    return kKinds[0].second.first;
}

const char* exerciseKindName(ExerciseKind kind) {
    for (const auto& [k, names] : kKinds)
        if (k == kind)
            return names.second;
    return kKinds[0].second.second;
}

std::optional<ExerciseKind> exerciseKindOfKey(const std::string& key) {
    for (const auto& [k, names] : kKinds)
        if (key == names.first)
            return k;
    return std::nullopt;
}

double ExerciseCard::passMark() const {
    if (threshold)
        return *threshold;
    return kind == ExerciseKind::RoundTrips ? 50 : 0;
}

ExerciseCardRead readExerciseCard(const std::string& text) {
    if (text.size() > kExerciseCardMaxBytes)
        return {std::nullopt, "課題ファイルが大きすぎます（" +
                                  std::to_string(kExerciseCardMaxBytes / 1024) + " KiB まで）"};
    try {
        Tree whole;
        CardParser parser(whole);
        if (!Tree::sax_parse(text, &parser))
            return {std::nullopt,
                    "JSON として読めません（" + placeOf(text, parser.errorAt()) + "）"};
        return {cardFrom(whole), {}};
    } catch (const Refusal& refusal) {
        return {std::nullopt, refusal.message};
    } catch (const std::bad_alloc&) {
        return {std::nullopt, "メモリが足りません"};
    }
}

std::string writeExerciseCard(const ExerciseCard& card, int indent) {
    Json json;
    json["format"] = card.format;
    json["title"] = card.title;
    json["instructions"] = card.instructions;
    if (!card.hint.empty())
        json["hint"] = card.hint;
    if (card.market)
        json["market"] = *card.market;
    else
        json["market"] = "random";
    json["start"] = card.start;
    json["timeLimit"] = card.timeLimit;
    json["kind"] = exerciseKindKey(card.kind);
    switch (card.kind) {
    case ExerciseKind::Accumulate:
        json["shares"] = static_cast<std::int64_t>(card.shares);
        break;
    case ExerciseKind::Liquidate:
        json["shares"] = static_cast<std::int64_t>(card.shares);
        json["startShares"] = static_cast<std::int64_t>(card.startShares);
        break;
    case ExerciseKind::ProfitTarget:
        json["target"] = card.target;
        json["drawdown"] = card.drawdown;
        break;
    case ExerciseKind::RoundTrips:
    case ExerciseKind::LimitProfit:
        json["roundTrips"] = card.roundTrips;
        break;
    }
    if (card.threshold)
        json["threshold"] = *card.threshold;
    if (card.maxShares)
        json["maxShares"] = static_cast<std::int64_t>(*card.maxShares);
    Json kinds = Json::array();
    if (card.limitOrders)
        kinds.push_back("limit");
    if (card.marketOrders)
        kinds.push_back("market");
    json["priceKinds"] = std::move(kinds);
    return json.dump(indent, ' ', false, Json::error_handler_t::replace);
}

ExerciseCardRead openExerciseCard(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path name = fs::u8path(path);
    const fs::file_type type = fs::status(name, error).type();
    if (type == fs::file_type::not_found)
        return {std::nullopt, "ファイルが見つかりません"};
    if (type == fs::file_type::directory)
        return {std::nullopt, "ファイルではなくフォルダーです"};
    if (error || type != fs::file_type::regular)
        return {std::nullopt, "普通のファイルではありません（デバイスやパイプなど）"};
    std::ifstream file(name, std::ios::binary);
    if (!file.is_open())
        return {std::nullopt, "課題ファイルを読めません"};
    std::string text(kExerciseCardMaxBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad())
        return {std::nullopt, "課題ファイルを読めません"};
    text.resize(static_cast<std::size_t>(file.gcount()));
    return readExerciseCard(text);
}

namespace {

std::string secondsText(std::uint64_t seconds) {
    return groupedNumber(static_cast<double>(seconds)) + " 秒";
}

std::string sharesText(double shares) {
    return groupedNumber(shares) + "株";
}

} // namespace

std::vector<CardFact> cardFacts(const ExerciseCard& card) {
    std::vector<CardFact> facts;
    facts.push_back({"種類", exerciseKindName(card.kind)});
    facts.push_back(
        {"市場番号", card.market ? std::to_string(*card.market) : "挑戦のたびに変わる"});
    facts.push_back({"開始", secondsText(card.start)});
    facts.push_back({"制限時間", secondsText(card.timeLimit)});
    if (card.startShares > 0)
        facts.push_back({"始めの持ち株", sharesText(card.startShares)});
    switch (card.kind) {
    case ExerciseKind::Accumulate:
    case ExerciseKind::Liquidate:
        facts.push_back({"株数", sharesText(card.shares)});
        facts.push_back({"合格点 (bp)", displayNumber(card.passMark())});
        break;
    case ExerciseKind::ProfitTarget:
        facts.push_back({"目標", yenText(card.target)});
        facts.push_back({"下げ幅の上限", yenText(card.drawdown)});
        break;
    case ExerciseKind::RoundTrips:
        facts.push_back({"往復", std::to_string(card.roundTrips) + " 回"});
        facts.push_back({"合格点 (上位 %)", displayNumber(card.passMark())});
        break;
    case ExerciseKind::LimitProfit:
        facts.push_back({"往復", std::to_string(card.roundTrips) + " 回"});
        break;
    }
    if (card.maxShares)
        facts.push_back({"一度に持てる株数", sharesText(*card.maxShares)});
    facts.push_back({"使える注文", card.limitOrders && card.marketOrders ? "指値・成行"
                                   : card.limitOrders                    ? "指値だけ"
                                                                         : "成行だけ"});
    return facts;
}

} // namespace vantrel
