#include "practice/SessionFile.h"

#include "market/MarketNumber.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define VANTREL_POSIX_FILES
#endif

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

std::string tooManyBranches() {
    return "分岐が多すぎます（" + std::to_string(kSessionFileMaxBranches) + " まで）";
}

std::string branchPrefix(std::size_t number) {
    return "分岐 " + std::to_string(number) + " の ";
}

std::string tooLarge() {
    return "ファイルが大きすぎます（" + std::to_string(kSessionFileMaxBytes / (1024 * 1024)) +
           " MiB まで）";
}

// The bytes of a file as the parser takes them, one at a time: from a text in
// memory, or from an open file through a small buffer, so that a file is
// never held whole (a form text the size of the file would otherwise be held
// three times while it is read). Never more than one byte past the size
// limit is read, whatever size the file claimed.
class Source {
public:
    // Reads up to size bytes into buffer, 0 at the end; throws Refusal.
    using Fill = std::function<std::size_t(char* buffer, std::size_t size)>;

    explicit Source(const std::string& text)
        : m_data(text.data()), m_end(text.data() + text.size()), m_start(m_data) {}
    Source(Fill fill, std::function<void()> rewind)
        : m_fill(std::move(fill)), m_rewind(std::move(rewind)), m_buffer(1 << 16) {}

    bool more() { return m_data != m_end || refill(); }
    char peek() const { return *m_data; }
    void next() { ++m_data; }
    // The bytes taken so far.
    std::size_t taken() const { return m_before + static_cast<std::size_t>(m_data - m_start); }

    // "3 行 14 列": where the byte at offset stands, counting characters, not
    // bytes. Only for a message, so the file is read again from its start.
    std::string placeOf(std::size_t offset) {
        std::size_t line = 1, column = 1;
        const auto count = [&](const char* from, const char* to) {
            for (; from != to; ++from) {
                if (*from == '\n') {
                    ++line;
                    column = 1;
                } else if ((static_cast<unsigned char>(*from) & 0xC0) != 0x80) {
                    ++column;
                }
            }
        };
        if (!m_fill && m_buffer.empty()) {
            count(m_start, m_start + std::min(offset, static_cast<std::size_t>(m_end - m_start)));
        } else {
            m_rewind();
            for (std::size_t at = 0; at < offset;) {
                const std::size_t got =
                    m_fill(m_buffer.data(), std::min(m_buffer.size(), offset - at));
                if (got == 0)
                    break;
                count(m_buffer.data(), m_buffer.data() + got);
                at += got;
            }
        }
        return std::to_string(line) + " 行 " + std::to_string(column) + " 列";
    }

private:
    bool refill() {
        if (!m_fill)
            return false;
        m_before = taken();
        const std::size_t got =
            m_fill(m_buffer.data(), std::min(m_buffer.size(), kSessionFileMaxBytes + 1 - m_before));
        if (m_before + got > kSessionFileMaxBytes)
            throw Refusal{tooLarge()};
        m_start = m_data = m_buffer.data();
        m_end = m_data + got;
        return got > 0;
    }

    const char* m_data = nullptr;
    const char* m_end = nullptr;
    const char* m_start = nullptr;
    std::size_t m_before = 0;
    Fill m_fill;
    std::function<void()> m_rewind;
    std::vector<char> m_buffer;
};

// The input iterator nlohmann's parser reads a Source through; it is only
// ever compared with the end.
class SourceIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = char;

    explicit SourceIterator(Source* source = nullptr) : m_source(source) {}
    char operator*() const { return m_source->peek(); }
    SourceIterator& operator++() {
        m_source->next();
        return *this;
    }
    bool operator!=(const SourceIterator&) const { return m_source && m_source->more(); }
    bool operator==(const SourceIterator& end) const { return !(*this != end); }

private:
    Source* m_source;
};

// Where a field sits, as the message names it: "操作 12 の priceText".
struct Place {
    std::string prefix;
    std::string name(const char* field) const { return prefix + field; }
};

// The value a member of a part was given, if it was met; a member holding
// a container is marked met with a null value.
using Slot = std::optional<Tree>;

Tree& need(Slot& slot, const char* name, const Place& place) {
    if (!slot)
        throw Refusal{place.name(name) + " がありません"};
    return *slot;
}

std::string notText(const Place& place, const char* name) {
    return place.name(name) + " が文字列ではありません";
}

// Taken out of its slot rather than copied: a form text may be megabytes.
std::string text(Slot& slot, const char* name, const Place& place) {
    Tree& value = need(slot, name, place);
    if (!value.is_string())
        throw Refusal{notText(place, name)};
    return std::move(value.get_ref<std::string&>());
}

double number(Slot& slot, const char* name, const Place& place) {
    const Tree& value = need(slot, name, place);
    if (!value.is_number())
        throw Refusal{place.name(name) + " が数値ではありません"};
    return value.get<double>();
}

std::string notSeconds(const Place& place, const char* name) {
    return place.name(name) + " が 0 から " + std::to_string(kSessionFileMaxSeconds) +
           " の整数ではありません";
}

std::uint64_t seconds(Slot& slot, const char* name, const Place& place) {
    const Tree& value = need(slot, name, place);
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > kSessionFileMaxSeconds)
        throw Refusal{notSeconds(place, name)};
    return value.get<std::uint64_t>();
}

template <typename E, std::size_t N>
E choice(Slot& slot, const char* name, const Place& place,
         const std::array<std::pair<E, const char*>, N>& names) {
    const std::optional<E> value = valueOf(names, text(slot, name, place));
    if (!value)
        throw Refusal{place.name(name) + " が知らない種類です"};
    return *value;
}

std::string actionPrefix(std::size_t number) {
    return "操作 " + std::to_string(number) + " の ";
}

void checkFormat(const Tree& format) {
    if (!format.is_number_integer())
        throw Refusal{"format が整数ではありません"};
    if (format.get<std::int64_t>() < 1 || format.get<std::int64_t>() > kSessionFormat)
        throw Refusal{"format " + format.dump() + " には対応していません"};
}

std::string badMarket() {
    return "market が " + std::to_string(kStandardMarket) + " から " + std::to_string(kLastMarket) +
           " の整数ではありません";
}

// The parts of the file, by where they stand. A member this version does not
// know (a kept file's summary, or what a later version adds) is passed over
// unread wherever it stands: nothing of it is built or kept, so its size
// costs nothing but the parsing.
// Exercise: the exercise member and all it holds, kept as a tree for the
// layer that reads exercises.
// Branches: the list of branches; Branch: one of them, whose Actions,
// Action and Form are read as the practice's own, into the branch.
enum class Part {
    Whole,
    Actions,
    Action,
    Form,
    Results,
    Exercise,
    Branches,
    Branch,
    BranchResults,
    Passed
};

// The members each object part reads, by slot; any other name is passed over.
enum WholeSlot {
    kFormat,
    kProgram,
    kMarket,
    kActionsMember,
    kResultsMember,
    kExerciseMember,
    kBranchesMember
};
enum BranchSlot { kLeftAt, kBranchActions, kBranchResults };
enum ActionSlot { kSecond, kKind, kFormMember };
enum FormSlot { kPriceKind, kPriceText, kQuantityKind, kSharesText, kYenText, kCodeText };

const std::vector<const char*>& namesOf(Part part) {
    static const std::vector<const char*> whole = {"format",  "program",  "market",  "actions",
                                                   "results", "exercise", "branches"};
    static const std::vector<const char*> branch = {"leftAt", "actions", "results"};
    static const std::vector<const char*> action = {"second", "kind", "form"};
    static const std::vector<const char*> form = {"priceKind",  "priceText", "quantityKind",
                                                  "sharesText", "yenText",   "codeText"};
    static const std::vector<const char*> results = [] {
        std::vector<const char*> names = {"seconds"};
        for (const FigureDefinition& figure : figureTable())
            if (figure.saved)
                names.push_back(figure.info().key);
        return names;
    }();
    static const std::vector<const char*> none;
    switch (part) {
    case Part::Whole:
        return whole;
    case Part::Action:
        return action;
    case Part::Form:
        return form;
    case Part::Results:
    case Part::BranchResults:
        return results;
    case Part::Branch:
        return branch;
    default:
        return none;
    }
}

// Reads the file as the parser meets it, without building the document:
// only the members it reads are kept, each action is read as soon as it
// ends, and whatever has the wrong shape (a container where a value belongs,
// a bracket beyond the file's own depth) stops the reading where it stands.
// So memory follows the record, never what the text holds besides.
class RecordReader final : public nlohmann::json_sax<Tree> {
public:
    explicit RecordReader(Source& source) : m_source(source) {
        for (Part part : {Part::Whole, Part::Action, Part::Form, Part::Results, Part::Branch,
                          Part::BranchResults})
            slots(part).resize(namesOf(part).size());
    }

    bool null() override {
        return scalar([] { return Tree(); });
    }
    bool boolean(bool v) override {
        return scalar([v] { return Tree(v); });
    }
    bool number_integer(number_integer_t v) override {
        return scalar([v] { return Tree(v); });
    }
    bool number_unsigned(number_unsigned_t v) override {
        return scalar([v] { return Tree(v); });
    }
    bool number_float(number_float_t v, const string_t&) override {
        return scalar([v] { return Tree(v); });
    }
    bool string(string_t& v) override {
        return scalar([&v] { return Tree(std::move(v)); });
    }
    bool binary(binary_t&) override {
        return scalar([] { return Tree(); });
    }
    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool key(string_t& name) override {
        const std::size_t depth = m_open.size();
        const Part part = m_open.back();
        int& slot = m_key[depth - 1];
        slot = -1;
        if (part == Part::Passed)
            return true;
        if (part == Part::Exercise) {
            if (m_building.back()->contains(name))
                throw Refusal{"exercise の " + name + " が二つあります"};
            m_names[depth - 1] = std::move(name);
            return true;
        }
        const std::vector<const char*>& names = namesOf(part);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (name == names[i])
                slot = static_cast<int>(i);
        // Only the members read can disagree with each other; a second claim
        // must never silently win.
        if (slot >= 0 && slots(part)[static_cast<std::size_t>(slot)])
            throw Refusal{pathTo(depth) + name + " が二つあります"};
        return true;
    }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
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
        const Tree& format = need(m_whole[kFormat], "format", top);
        checkFormat(format);
        record.program = text(m_whole[kProgram], "program", top);
        const Tree& market = need(m_whole[kMarket], "market", top);
        if (!market.is_number_integer() || market.get<std::int64_t>() < kStandardMarket ||
            market.get<std::int64_t>() > kLastMarket)
            throw Refusal{badMarket()};
        record.market = market.get<int>();
        // Replaying such a file on today's market would silently give other results.
        if (format.get<std::int64_t>() == 1 && marketStartReplaced(record.market))
            throw Refusal{"市場番号 " + std::to_string(record.market) +
                          " の意味がこの版で変わったため、この format 1 "
                          "のファイルは記録どおりに再生できません"};
        need(m_whole[kActionsMember], "actions", top);
        record.actions = std::move(m_actions);

        // Format 1 and 2 knew no exercise: there it is passed over unread.
        if (m_whole[kExerciseMember] && format.get<std::int64_t>() >= 3)
            record.exercise = m_exercise.dump(-1, ' ', false, Json::error_handler_t::replace);
        need(m_whole[kResultsMember], "results", top);
        record.results = readResults(m_results, record.actions, top);
        // Nor branches, which came with format 3.
        if (m_whole[kBranchesMember] && format.get<std::int64_t>() >= 3)
            record.branches = std::move(m_branches);
        return record;
    }

private:
    // A line's results, after its actions; prefix names the line.
    static SessionResults readResults(std::vector<Slot>& slots,
                                      const std::vector<SessionAction>& actions,
                                      const Place& line) {
        const Place place{line.prefix + "results の "};
        SessionResults r;
        r.seconds = seconds(slots[0], "seconds", place);
        if (!actions.empty() && actions.back().second > r.seconds)
            throw Refusal{line.prefix + "操作 " + std::to_string(actions.size()) +
                          " の second が results の seconds より後です"};
        const auto& table = figureTable();
        for (std::size_t i = 0, slot = 1; i < table.size(); ++i) {
            if (table[i].saved) {
                r.figures.values[i] = number(slots[slot], table[i].info().key, place);
                ++slot;
            }
        }
        return r;
    }

    bool inBranch() const { return m_open.size() > 2 && m_open[1] == Part::Branches; }
    // The actions being read: the practice's own, or the branch's.
    std::vector<SessionAction>& lineActions() { return inBranch() ? m_branchActions : m_actions; }
    std::size_t lineActionCount() const {
        return inBranch() ? m_branchActions.size() : m_actions.size();
    }
    std::string linePrefix() const {
        return inBranch() ? branchPrefix(m_branches.size() + 1) : std::string();
    }

    std::vector<Slot>& slots(Part part) {
        switch (part) {
        case Part::Whole:
            return m_whole;
        case Part::Branch:
            return m_branch;
        case Part::BranchResults:
            return m_branchResults;
        case Part::Action:
            return m_action;
        case Part::Form:
            return m_form;
        default:
            return m_results;
        }
    }

    // The name of the member being read at this depth.
    const char* nameAt(std::size_t depth) const {
        return namesOf(m_open[depth - 1])[static_cast<std::size_t>(m_key[depth - 1])];
    }

    // "results の ", "操作 3 の form の ": the place of a key at this depth.
    std::string pathTo(std::size_t depth) const {
        std::string path;
        for (std::size_t level = 1; level < depth; ++level) {
            if (m_open[level] == Part::Action)
                path += actionPrefix(lineActionCount() + 1);
            else if (m_open[level] == Part::Branch)
                path += branchPrefix(m_branches.size() + 1);
            else if (m_open[level] != Part::Actions && m_open[level] != Part::Branches)
                path += std::string(nameAt(level)) + " の ";
        }
        return path;
    }

    // The message for a value of the wrong shape where the reader is.
    std::string wrongShape() const {
        const std::size_t depth = m_open.size();
        const Part parent = m_open.back();
        if (parent == Part::Actions)
            return linePrefix() + "操作 " + std::to_string(lineActionCount() + 1) +
                   " がオブジェクトではありません";
        if (parent == Part::Branches)
            return "分岐 " + std::to_string(m_branches.size() + 1) +
                   " がオブジェクトではありません";
        const Place place{pathTo(depth)};
        const char* name = nameAt(depth);
        const std::string_view key = name;
        if (key == "format")
            return "format が整数ではありません";
        if (key == "market")
            return badMarket();
        if (key == "actions" || key == "branches")
            return place.name(name) + " が配列ではありません";
        if (key == "exercise")
            return "exercise がオブジェクトではありません";
        if (key == "results" || key == "form")
            return place.name(name) + " がオブジェクトではありません";
        if (key == "second" || key == "seconds" || key == "leftAt")
            return notSeconds(place, name);
        if (parent == Part::Results || parent == Part::BranchResults)
            return place.name(name) + " が数値ではありません";
        return notText(place, name);
    }

    // The part a container opens where the reader is; Passed for one that
    // is not read. Any other container is of the wrong shape.
    Part partHere(bool isObject) const {
        const std::size_t depth = m_open.size();
        const Part parent = m_open.back();
        if (parent == Part::Passed)
            return Part::Passed;
        if (parent == Part::Exercise)
            return Part::Exercise;
        if (parent == Part::Actions && isObject)
            return Part::Action;
        if (parent == Part::Branches) {
            if (isObject)
                return Part::Branch;
            throw Refusal{wrongShape()};
        }
        if (parent != Part::Actions && m_key[depth - 1] < 0)
            return Part::Passed;
        if (parent == Part::Whole && m_key[depth - 1] == kActionsMember && !isObject)
            return Part::Actions;
        if (parent == Part::Whole && m_key[depth - 1] == kResultsMember && isObject)
            return Part::Results;
        if (parent == Part::Whole && m_key[depth - 1] == kExerciseMember && isObject)
            return Part::Exercise;
        if (parent == Part::Whole && m_key[depth - 1] == kBranchesMember && !isObject)
            return Part::Branches;
        if (parent == Part::Branch && m_key[depth - 1] == kBranchActions && !isObject)
            return Part::Actions;
        if (parent == Part::Branch && m_key[depth - 1] == kBranchResults && isObject)
            return Part::BranchResults;
        if (parent == Part::Action && m_key[depth - 1] == kFormMember && isObject)
            return Part::Form;
        throw Refusal{wrongShape()};
    }

    bool open(bool isObject) {
        const int limit = inBranch() || (m_open.size() == 2 && m_open[1] == Part::Branches)
                              ? kSessionFileMaxBranchDepth
                              : kSessionFileMaxDepth;
        if (m_open.size() >= static_cast<std::size_t>(limit))
            throw Refusal{"入れ子が深すぎます（" + m_source.placeOf(m_source.taken() - 1) + "、" +
                          std::to_string(limit) + " 段まで）"};
        if (m_open.empty()) {
            if (!isObject)
                throw Refusal{"全体がオブジェクトではありません"};
            m_open.push_back(Part::Whole);
            return true;
        }
        const Part part = partHere(isObject);
        if (part == Part::Exercise) {
            if (m_building.empty()) {
                m_whole[kExerciseMember] = Tree();
                m_building.push_back(&m_exercise);
            } else {
                m_building.push_back(&within(isObject ? Json::object() : Json::array()));
            }
            m_open.push_back(part);
            return true;
        }
        if (part != Part::Passed && part != Part::Action && part != Part::Branch)
            slots(m_open.back())[static_cast<std::size_t>(m_key[m_open.size() - 1])] = Tree();
        if (part == Part::Branch) {
            if (m_branches.size() >= kSessionFileMaxBranches)
                throw Refusal{tooManyBranches()};
            for (Slot& slot : m_branch)
                slot.reset();
            for (Slot& slot : m_branchResults)
                slot.reset();
            m_branchActions.clear();
        }
        if (part == Part::Action) {
            for (Slot& slot : m_action)
                slot.reset();
            for (Slot& slot : m_form)
                slot.reset();
        }
        m_open.push_back(part);
        return true;
    }

    template <typename Make> bool scalar(const Make& make) {
        if (m_open.empty())
            throw Refusal{"全体がオブジェクトではありません"};
        const std::size_t depth = m_open.size();
        const Part parent = m_open.back();
        if (parent == Part::Passed)
            return true;
        if (parent == Part::Exercise) {
            within(Json(make()));
            return true;
        }
        if (parent == Part::Actions || parent == Part::Branches)
            throw Refusal{wrongShape()};
        const int slot = m_key[depth - 1];
        if (slot < 0)
            return true;
        if ((parent == Part::Whole && (slot == kActionsMember || slot == kResultsMember ||
                                       slot == kExerciseMember || slot == kBranchesMember)) ||
            (parent == Part::Action && slot == kFormMember) ||
            (parent == Part::Branch && (slot == kBranchActions || slot == kBranchResults)))
            throw Refusal{wrongShape()};
        Slot& value = slots(parent)[static_cast<std::size_t>(slot)];
        value = make();
        if (parent == Part::Whole && slot == kFormat)
            checkFormat(*value);
        return true;
    }

    bool close() {
        const Part part = m_open.back();
        m_open.pop_back();
        if (part == Part::Exercise)
            m_building.pop_back();
        if (part == Part::Action) {
            std::vector<SessionAction>& actions = lineActions();
            const std::size_t number = actions.size() + 1;
            if (number > kSessionFileMaxActions)
                throw Refusal{linePrefix() + tooManyActions()};
            actions.push_back(readAction(number));
            if (number > 1 && actions.back().second < actions[number - 2].second)
                throw Refusal{linePrefix() + "操作 " + std::to_string(number) +
                              " の second が前の操作より前です"};
        }
        if (part == Part::Branch)
            m_branches.push_back(readBranch());
        return true;
    }

    // Called with the branch closed: m_open is back at its list.
    PracticeBranch readBranch() {
        const Place line{branchPrefix(m_branches.size() + 1)};
        PracticeBranch branch;
        branch.leftAt = seconds(m_branch[kLeftAt], "leftAt", line);
        need(m_branch[kBranchActions], "actions", line);
        branch.actions = std::move(m_branchActions);
        m_branchActions.clear();
        need(m_branch[kBranchResults], "results", line);
        branch.results = readResults(m_branchResults, branch.actions, line);
        if (branch.leftAt > branch.results.seconds)
            throw Refusal{line.name("leftAt") + " が results の seconds より後です"};
        return branch;
    }

    SessionAction readAction(std::size_t number) {
        const Place place{linePrefix() + actionPrefix(number)};
        SessionAction action;
        action.second = seconds(m_action[kSecond], "second", place);
        action.kind = choice(m_action[kKind], "kind", place, kKinds);
        need(m_action[kFormMember], "form", place);
        action.form.priceKind = choice(m_form[kPriceKind], "priceKind", place, kPriceKinds);
        action.form.priceText = text(m_form[kPriceText], "priceText", place);
        action.form.quantityKind =
            choice(m_form[kQuantityKind], "quantityKind", place, kQuantityKinds);
        action.form.sharesText = text(m_form[kSharesText], "sharesText", place);
        action.form.yenText = text(m_form[kYenText], "yenText", place);
        action.codeText = text(m_form[kCodeText], "codeText", place);
        return action;
    }

    // Puts a value into the exercise's container being built, under the
    // last key met there, and returns where it now stands.
    Json& within(Json value) {
        Json& parent = *m_building.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return parent.back();
        }
        Json& member = parent[m_names[m_open.size() - 1]];
        member = std::move(value);
        return member;
    }

    Source& m_source;
    std::vector<Slot> m_whole, m_action, m_form, m_results, m_branch, m_branchResults;
    // The branches read so far, and the actions of the one being read.
    std::vector<PracticeBranch> m_branches;
    std::vector<SessionAction> m_branchActions;
    // The exercise member as read, its members in the file's order, and its
    // containers open now, outermost first (a container's address holds
    // while it is the one filled).
    Json m_exercise = Json::object();
    std::vector<Json*> m_building;
    std::array<std::string, kSessionFileMaxBranchDepth> m_names;
    std::vector<SessionAction> m_actions;
    // The open containers, outermost first.
    std::vector<Part> m_open;
    // The slot of the last key met at each depth; -1 for one not read.
    std::array<int, kSessionFileMaxBranchDepth> m_key{};
    std::size_t m_errorAt = 0;
};

} // namespace

namespace {

// The window's texts are valid UTF-8; anything else is replaced rather than
// failing the save.
std::string dump(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A line's actions, one a line, as the body of their array.
void writeActions(std::string& text, const std::vector<SessionAction>& actions) {
    const char* separator = "\n";
    for (const SessionAction& action : actions) {
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
}

std::string resultsText(const SessionResults& r) {
    Json results = {{"seconds", r.seconds}};
    // A saved figure always has a value; a record made without one writes 0,
    // so that every file written can be read.
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].saved)
            results[table[i].info().key] = r.figures.values[i].value_or(0);
    }
    return dump(results);
}

// Why a line cannot be written, if it cannot: it would make a file this
// program refuses to open.
std::optional<std::string> unwritable(const std::vector<SessionAction>& actions,
                                      const SessionResults& results) {
    if (actions.size() > kSessionFileMaxActions)
        return tooManyActions();
    if (results.seconds > kSessionFileMaxSeconds)
        return "練習が長すぎます（" + std::to_string(kSessionFileMaxSeconds) + " 秒まで）";
    return std::nullopt;
}

} // namespace

SessionFileWrite writeSessionFile(const SessionRecord& record) {
    if (auto why = unwritable(record.actions, record.results))
        return {std::nullopt, std::move(*why)};
    if (record.branches.size() > kSessionFileMaxBranches)
        return {std::nullopt, tooManyBranches()};
    for (std::size_t i = 0; i < record.branches.size(); ++i)
        if (auto why = unwritable(record.branches[i].actions, record.branches[i].results))
            return {std::nullopt, branchPrefix(i + 1) + *why};
    Json head;
    head["format"] = record.format;
    head["program"] = record.program;
    head["market"] = record.market;
    std::string text = dump(head);
    text.pop_back();
    text += ",\"actions\":[";
    writeActions(text, record.actions);
    text += "\n],\n\"results\":" + resultsText(record.results);
    if (!record.exercise.empty())
        text += ",\n\"exercise\":" + record.exercise;
    if (!record.branches.empty()) {
        text += ",\n\"branches\":[";
        const char* separator = "\n";
        for (const PracticeBranch& branch : record.branches) {
            text += separator;
            text += "{\"leftAt\":" + std::to_string(branch.leftAt) + ",\"actions\":[";
            writeActions(text, branch.actions);
            text += "\n],\"results\":" + resultsText(branch.results) + "}";
            separator = ",\n";
            if (text.size() > kSessionFileMaxBytes)
                return {std::nullopt, tooLarge()};
        }
        text += "\n]";
    }
    text += "}\n";
    if (text.size() > kSessionFileMaxBytes)
        return {std::nullopt, tooLarge()};
    return {std::move(text), {}};
}

namespace {

SessionFileRead readFrom(Source& source) {
    try {
        RecordReader reader(source);
        if (!Tree::sax_parse(SourceIterator(&source), SourceIterator(), &reader))
            return {std::nullopt,
                    "JSON として読めません（" + source.placeOf(reader.errorAt()) + "）"};
        return {reader.record(), {}};
    } catch (const Refusal& refusal) {
        return {std::nullopt, refusal.message};
    } catch (const std::bad_alloc&) {
        return {std::nullopt, kOutOfMemory};
    }
}

} // namespace

SessionFileRead readSessionFile(const std::string& text) {
    if (text.size() > kSessionFileMaxBytes)
        return {std::nullopt, tooLarge()};
    Source source(text);
    return readFrom(source);
}

SessionFileRead openSessionFile(const std::string& path, LinkFollowing links) {
    const SessionFileRead link{std::nullopt, "リンクは辿りません", true};
#ifdef VANTREL_POSIX_FILES
    // Opened first and then asked what it is, so what is read is what was
    // checked even if the name is swapped in between; without waiting, as a
    // named pipe would wait for a writer, and a device may never end.
    const int noFollow = links == LinkFollowing::Refuse ? O_NOFOLLOW : 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | noFollow);
    if (fd < 0 && noFollow && errno == ELOOP)
        return link;
    if (fd < 0)
        return {std::nullopt,
                errno == ENOENT ? "ファイルが見つかりません" : "ファイルを読めません"};
    struct FileCloser {
        int fd;
        ~FileCloser() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return {std::nullopt, "ファイルを読めません"};
    if (S_ISDIR(status.st_mode))
        return {std::nullopt, "ファイルではなくフォルダーです"};
    if (!S_ISREG(status.st_mode))
        return {std::nullopt, "普通のファイルではありません（デバイスやパイプなど）"};
    const auto fill = [fd](char* buffer, std::size_t size) {
        for (;;) {
            const ssize_t got = ::read(fd, buffer, size);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR && errno != EAGAIN)
                throw Refusal{"ファイルを読めません"};
        }
    };
    const auto rewind = [fd] {
        if (::lseek(fd, 0, SEEK_SET) != 0)
            throw Refusal{"ファイルを読めません"};
    };
#else
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path name = fs::u8path(path);
    // Without a portable way to open and refuse a link at once, it is asked
    // just before: a narrower window than the folder's listing leaves.
    if (links == LinkFollowing::Refuse && fs::is_symlink(fs::symlink_status(name, error)))
        return link;
    const fs::file_status status = fs::status(name, error);
    if (status.type() == fs::file_type::not_found)
        return {std::nullopt, "ファイルが見つかりません"};
    if (status.type() == fs::file_type::directory)
        return {std::nullopt, "ファイルではなくフォルダーです"};
    if (error || status.type() != fs::file_type::regular)
        return {std::nullopt, "普通のファイルではありません（デバイスやパイプなど）"};
    std::ifstream file(name, std::ios::binary);
    if (!file.is_open())
        return {std::nullopt, "ファイルを読めません"};
    const auto fill = [&file](char* buffer, std::size_t size) {
        file.read(buffer, static_cast<std::streamsize>(size));
        if (file.bad())
            throw Refusal{"ファイルを読めません"};
        return static_cast<std::size_t>(file.gcount());
    };
    const auto rewind = [&file] {
        file.clear();
        file.seekg(0);
    };
#endif
    try {
        Source source(fill, rewind);
        return readFrom(source);
    } catch (const std::bad_alloc&) {
        return {std::nullopt, kOutOfMemory};
    }
}

} // namespace vantrel
