#include "practice/SessionFile.h"

#include "market/MarketNumber.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

namespace vantrel {

namespace {

using Json = nlohmann::ordered_json;
using Tree = nlohmann::json;

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

std::string tooManyActions() {
    return "操作が多すぎます（" + std::to_string(kSessionFileMaxActions) + " まで）";
}

std::string tooLarge() {
    return "ファイルが大きすぎます（" + std::to_string(kSessionFileMaxBytes / (1024 * 1024)) +
           " MiB まで）";
}

// "3 行 14 列": where a byte offset falls, counting characters, not bytes.
std::string lineAndColumn(const std::string& text, std::size_t offset) {
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

// The offset of the first bracket that opens one level too many; called
// only once the parser has met it, so the text is read as JSON reads it.
std::size_t tooDeepAt(const std::string& text) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kSessionFileMaxDepth)
                return i;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return text.size();
}

// Where a field sits, as the message names it: "操作 12 の priceText".
struct Place {
    std::string prefix;
    std::string name(const char* field) const { return prefix + field; }
};

const Tree& field(const Tree& object, const char* name, const Place& place) {
    const auto it = object.find(name);
    if (it == object.end())
        throw Refusal{place.name(name) + " がありません"};
    return *it;
}

std::string text(const Tree& object, const char* name, const Place& place) {
    const Tree& value = field(object, name, place);
    if (!value.is_string())
        throw Refusal{place.name(name) + " が文字列ではありません"};
    return value.get<std::string>();
}

double number(const Tree& object, const char* name, const Place& place) {
    const Tree& value = field(object, name, place);
    if (!value.is_number())
        throw Refusal{place.name(name) + " が数値ではありません"};
    return value.get<double>();
}

std::uint64_t seconds(const Tree& object, const char* name, const Place& place) {
    const Tree& value = field(object, name, place);
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > kSessionFileMaxSeconds)
        throw Refusal{place.name(name) + " が 0 から " + std::to_string(kSessionFileMaxSeconds) +
                      " の整数ではありません"};
    return value.get<std::uint64_t>();
}

const Tree& object(const Tree& parent, const char* name, const Place& place) {
    const Tree& value = field(parent, name, place);
    if (!value.is_object())
        throw Refusal{place.name(name) + " がオブジェクトではありません"};
    return value;
}

template <typename E, std::size_t N>
E choice(const Tree& object, const char* name, const Place& place,
         const std::array<std::pair<E, const char*>, N>& names) {
    const std::optional<E> value = valueOf(names, text(object, name, place));
    if (!value)
        throw Refusal{place.name(name) + " が知らない種類です"};
    return *value;
}

SessionAction readAction(const Tree& value, std::size_t number) {
    const Place place{"操作 " + std::to_string(number) + " の "};
    if (!value.is_object())
        throw Refusal{"操作 " + std::to_string(number) + " がオブジェクトではありません"};
    SessionAction action;
    action.second = seconds(value, "second", place);
    action.kind = choice(value, "kind", place, kKinds);
    const Tree& form = object(value, "form", place);
    action.form.priceKind = choice(form, "priceKind", place, kPriceKinds);
    action.form.priceText = text(form, "priceText", place);
    action.form.quantityKind = choice(form, "quantityKind", place, kQuantityKinds);
    action.form.sharesText = text(form, "sharesText", place);
    action.form.yenText = text(form, "yenText", place);
    action.codeText = text(form, "codeText", place);
    return action;
}

void checkFormat(const Tree& format) {
    if (!format.is_number_integer())
        throw Refusal{"format が整数ではありません"};
    if (format.get<std::int64_t>() < 1 || format.get<std::int64_t>() > kSessionFormat)
        throw Refusal{"format " + format.dump() + " には対応していません"};
}

// Reads the file as the parser meets it, without building the whole
// document: each member of the whole and each action is built as a small
// tree and read at once, so memory follows the record, not the text, and a
// bracket beyond the file's own depth stops the reading where it stands.
class RecordReader final : public nlohmann::json_sax<Tree> {
public:
    explicit RecordReader(const std::string& text) : m_text(text) {}

    bool null() override { return value(Tree()); }
    bool boolean(bool v) override { return value(Tree(v)); }
    bool number_integer(number_integer_t v) override { return value(Tree(v)); }
    bool number_unsigned(number_unsigned_t v) override { return value(Tree(v)); }
    bool number_float(number_float_t v, const string_t&) override { return value(Tree(v)); }
    bool string(string_t& v) override { return value(Tree(std::move(v))); }
    bool binary(binary_t&) override { return value(Tree()); }
    bool start_object(std::size_t) override { return open(Tree::object()); }
    bool start_array(std::size_t) override {
        if (m_open.size() == 1 && m_key[0] == "actions") {
            // The actions are read one by one and not kept as a tree.
            m_open.push_back(nullptr);
            m_inActions = true;
            return true;
        }
        return open(Tree::array());
    }
    bool key(string_t& name) override {
        const std::size_t depth = m_open.size();
        const bool seen = depth == 1 ? !m_keys.insert(name).second : m_open.back()->contains(name);
        if (seen)
            throw Refusal{pathTo(depth) + name + " が二つあります"};
        m_key[depth - 1] = std::move(name);
        return true;
    }
    bool end_object() override { return close(); }
    bool end_array() override {
        if (m_open.back() == nullptr) {
            m_open.pop_back();
            m_inActions = false;
            return true;
        }
        return close();
    }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        m_errorAt = position > 0 ? position - 1 : 0;
        return false;
    }

    std::size_t errorAt() const { return m_errorAt; }

    // The record from what was read, checked field by field.
    SessionRecord record() {
        const Place top{};
        SessionRecord record;
        const Tree& format = field(m_members, "format", top);
        checkFormat(format);
        record.program = text(m_members, "program", top);
        const Tree& market = field(m_members, "market", top);
        if (!market.is_number_integer() || market.get<std::int64_t>() < kStandardMarket ||
            market.get<std::int64_t>() > kLastMarket)
            throw Refusal{"market が " + std::to_string(kStandardMarket) + " から " +
                          std::to_string(kLastMarket) + " の整数ではありません"};
        record.market = market.get<int>();
        // Replaying such a file on today's market would silently give other results.
        if (format.get<std::int64_t>() == 1 && marketStartReplaced(record.market))
            throw Refusal{"市場番号 " + std::to_string(record.market) +
                          " の意味がこの版で変わったため、この format 1 "
                          "のファイルは記録どおりに再生できません"};
        if (!m_keys.count("actions"))
            throw Refusal{"actions がありません"};
        if (m_members.contains("actions"))
            throw Refusal{"actions が配列ではありません"};
        record.actions = std::move(m_actions);

        const Tree& results = object(m_members, "results", top);
        const Place place{"results の "};
        SessionResults& r = record.results;
        r.seconds = seconds(results, "seconds", place);
        if (!record.actions.empty() && record.actions.back().second > r.seconds)
            throw Refusal{"操作 " + std::to_string(record.actions.size()) +
                          " の second が results の seconds より後です"};
        const auto& table = figureTable();
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i].saved)
                r.figures.values[i] = number(results, table[i].key, place);
        }
        return record;
    }

private:
    // "results の ", "操作 3 の form の ": the place of a key at this depth.
    std::string pathTo(std::size_t depth) const {
        std::string path;
        for (std::size_t level = 1; level < depth; ++level) {
            if (level == 1 && m_inActions)
                path = "操作 " + std::to_string(m_actions.size() + 1) + " の ";
            else if (!(level == 2 && m_inActions))
                path += m_key[level - 1] + " の ";
        }
        return path;
    }

    bool open(Tree container) {
        if (m_open.size() >= static_cast<std::size_t>(kSessionFileMaxDepth))
            throw Refusal{"入れ子が深すぎます（" + lineAndColumn(m_text, tooDeepAt(m_text)) + "、" +
                          std::to_string(kSessionFileMaxDepth) + " 段まで）"};
        if (m_open.empty()) {
            if (!container.is_object())
                throw Refusal{"全体がオブジェクトではありません"};
            m_open.push_back(&m_members);
            return true;
        }
        m_open.push_back(&place(std::move(container)));
        return true;
    }

    bool value(Tree v) {
        if (m_open.empty())
            throw Refusal{"全体がオブジェクトではありません"};
        place(std::move(v));
        completed();
        return true;
    }

    bool close() {
        m_open.pop_back();
        completed();
        return true;
    }

    // Where a new value goes: a member of the whole starts a tree of its own,
    // as does an action; deeper values go into the tree they belong to.
    Tree& place(Tree v) {
        const std::size_t depth = m_open.size();
        if (depth == 1 || (depth == 2 && m_inActions)) {
            m_tree = std::move(v);
            return m_tree;
        }
        Tree& parent = *m_open.back();
        if (parent.is_array()) {
            parent.push_back(std::move(v));
            return parent.back();
        }
        return parent[m_key[depth - 1]] = std::move(v);
    }

    // A value has just ended; if it was a member of the whole or an action,
    // it is read now.
    void completed() {
        const std::size_t depth = m_open.size();
        if (depth == 1 && m_open.back() == &m_members) {
            if (m_key[0] == "format")
                checkFormat(m_tree);
            m_members[m_key[0]] = std::move(m_tree);
        } else if (depth == 2 && m_inActions) {
            const std::size_t number = m_actions.size() + 1;
            if (number > kSessionFileMaxActions)
                throw Refusal{tooManyActions()};
            m_actions.push_back(readAction(m_tree, number));
            if (number > 1 && m_actions.back().second < m_actions[number - 2].second)
                throw Refusal{"操作 " + std::to_string(number) + " の second が前の操作より前です"};
        }
    }

    const std::string& m_text;
    Tree m_members = Tree::object();
    std::set<std::string> m_keys;
    std::vector<SessionAction> m_actions;
    bool m_inActions = false;
    // The open containers, outermost first; null for the actions array.
    std::vector<Tree*> m_open;
    // The last key met at each depth.
    std::array<std::string, kSessionFileMaxDepth> m_key;
    Tree m_tree;
    std::size_t m_errorAt = 0;
};

} // namespace

SessionFileWrite writeSessionFile(const SessionRecord& record) {
    if (record.actions.size() > kSessionFileMaxActions)
        return {std::nullopt, tooManyActions()};
    if (record.results.seconds > kSessionFileMaxSeconds)
        return {std::nullopt,
                "練習が長すぎます（" + std::to_string(kSessionFileMaxSeconds) + " 秒まで）"};
    // The window's texts are valid UTF-8; anything else is replaced rather
    // than failing the save.
    const auto dump = [](const Json& value) {
        return value.dump(-1, ' ', false, Json::error_handler_t::replace);
    };
    Json head;
    head["format"] = record.format;
    head["program"] = record.program;
    head["market"] = record.market;
    std::string text = dump(head);
    text.pop_back();
    text += ",\"actions\":[";
    const char* separator = "\n";
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
        text += separator;
        text += dump(one);
        separator = ",\n";
    }
    const SessionResults& r = record.results;
    Json results = {{"seconds", r.seconds}};
    // A saved figure always has a value; a record made without one writes 0,
    // so that every file written can be read.
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].saved)
            results[table[i].key] = r.figures.values[i].value_or(0);
    }
    text += "\n],\n\"results\":" + dump(results) + "}\n";
    if (text.size() > kSessionFileMaxBytes)
        return {std::nullopt, tooLarge()};
    return {std::move(text), {}};
}

SessionFileRead readSessionFile(const std::string& text) {
    if (text.size() > kSessionFileMaxBytes)
        return {std::nullopt, tooLarge()};
    RecordReader reader(text);
    try {
        if (!Tree::sax_parse(text, &reader))
            return {std::nullopt,
                    "JSON として読めません（" + lineAndColumn(text, reader.errorAt()) + "）"};
        return {reader.record(), {}};
    } catch (const Refusal& refusal) {
        return {std::nullopt, refusal.message};
    }
}

SessionFileRead openSessionFile(const std::string& path) {
    namespace fs = std::filesystem;
    // The type is checked before opening: opening a named pipe would wait
    // for a writer, and a device may never end.
    std::error_code error;
    const fs::path name = fs::u8path(path);
    const fs::file_status status = fs::status(name, error);
    if (status.type() == fs::file_type::not_found)
        return {std::nullopt, "ファイルが見つかりません"};
    if (status.type() == fs::file_type::directory)
        return {std::nullopt, "ファイルではなくフォルダーです"};
    if (error || status.type() != fs::file_type::regular)
        return {std::nullopt, "普通のファイルではありません（デバイスやパイプなど）"};
    std::ifstream file(name, std::ios::binary);
    // One byte past the limit is enough to refuse, whatever size the file
    // claims.
    std::string text;
    std::array<char, 1 << 16> chunk;
    while (file && text.size() <= kSessionFileMaxBytes) {
        file.read(chunk.data(), static_cast<std::streamsize>(std::min(
                                    chunk.size(), kSessionFileMaxBytes + 1 - text.size())));
        text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
    }
    if (!file.is_open() || file.bad())
        return {std::nullopt, "ファイルを読めません"};
    return readSessionFile(text);
}

} // namespace vantrel
