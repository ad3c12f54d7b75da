#include "exercise/ExerciseAttempt.h"

#include "base/NumberText.h"
#include "exercise/ExerciseRandom.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "trading/SilentLog.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <utility>

namespace vantrel {

namespace {

using Tree = nlohmann::json;
using Json = nlohmann::ordered_json;

struct Refusal {
    std::string message;
};

std::optional<double> optionalNumber(const Tree& result, const char* name) {
    const auto found = result.find(name);
    if (found == result.end())
        throw Refusal{std::string("exercise の result の ") + name + " がありません"};
    if (found->is_null())
        return std::nullopt;
    if (!found->is_number())
        throw Refusal{std::string("exercise の result の ") + name + " が数値ではありません"};
    return found->get<double>();
}

StoredExerciseResult storedFrom(const Tree& result) {
    if (!result.is_object())
        throw Refusal{"exercise の result がオブジェクトではありません"};
    for (const auto& member : result.items())
        if (member.key() != "ending" && member.key() != "score" && member.key() != "passed" &&
            member.key() != "topPercent")
            throw Refusal{"exercise の result に知らない項目 " + member.key() + " があります"};
    StoredExerciseResult stored;
    const auto ending = result.find("ending");
    const std::optional<ExerciseEnd> end = ending != result.end() && ending->is_string()
                                               ? exerciseEndOfKey(ending->get<std::string>())
                                               : std::nullopt;
    if (!end || *end == ExerciseEnd::Running)
        throw Refusal{"exercise の result の ending が知らない終わり方です"};
    stored.ending = *end;
    stored.score = optionalNumber(result, "score");
    const auto passed = result.find("passed");
    if (passed == result.end() || !passed->is_boolean())
        throw Refusal{"exercise の result の passed が真偽値ではありません"};
    stored.passed = passed->get<bool>();
    stored.topPercent = optionalNumber(result, "topPercent");
    return stored;
}

std::string shown(const std::optional<double>& value) {
    return value ? plainDecimal(*value) : "null";
}

std::string rounded(const std::optional<double>& value, int decimals, bool grouped = false) {
    if (!value)
        return "—";
    return grouped ? groupedNumber(*value, decimals) : displayNumber(roundTo(*value, decimals));
}

} // namespace

std::string attemptNameProblem(const std::string& name) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        // C0 controls and DEL; C1 controls are U+0080..U+009F, C2 80..9F.
        const bool c1 =
            byte == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) < 0xA0;
        if (byte < 0x20 || byte == 0x7F || c1)
            return "氏名に制御文字があります";
        if ((byte & 0xC0) != 0x80)
            ++characters;
    }
    if (characters > kAttemptNameMaxCharacters)
        return "氏名が長すぎます（" + std::to_string(kAttemptNameMaxCharacters) + " 文字まで）";
    return {};
}

std::string exerciseMember(const ExerciseCard& card, const ExerciseScore* score,
                           const std::string& name) {
    std::string member = "{\"card\":" + writeExerciseCard(card);
    if (!name.empty())
        member += ",\"name\":" + Json(name).dump(-1, ' ', false, Json::error_handler_t::replace);
    if (score) {
        Json result;
        result["ending"] = exerciseEndKey(score->ending);
        result["score"] = score->score ? Json(*score->score) : Json();
        result["passed"] = score->passed;
        result["topPercent"] = score->random ? Json(score->random->topPercent) : Json();
        member += ",\"result\":" + result.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    return member + "}";
}

SessionRecord attemptRecord(const ExerciseRun& run, const ExerciseScore& score) {
    SessionRecord record = run.session().record();
    record.exercise = exerciseMember(run.card(), &score);
    return record;
}

AttemptRead readAttempt(SessionRecord record) {
    AttemptRead read;
    if (record.exercise.empty()) {
        read.record = std::move(record);
        return read;
    }
    try {
        const Tree exercise = Tree::parse(record.exercise);
        for (const auto& member : exercise.items())
            if (member.key() != "card" && member.key() != "result" && member.key() != "name")
                throw Refusal{"exercise に知らない項目 " + member.key() + " があります"};
        const auto card = exercise.find("card");
        if (card == exercise.end())
            throw Refusal{"exercise の card がありません"};
        ExerciseCardRead cardRead = readExerciseCard(card->dump());
        if (!cardRead.card)
            throw Refusal{"exercise の card の " + cardRead.error};
        const ExerciseCard& c = *cardRead.card;
        if (c.market && *c.market != record.market)
            throw Refusal{"market が課題の市場番号 " + std::to_string(*c.market) + " と違います"};
        if (record.results.seconds < c.start || record.results.seconds > c.end())
            throw Refusal{"results の seconds が課題の " + std::to_string(c.start) + " 秒から " +
                          std::to_string(c.end()) + " 秒の間にありません"};
        for (std::size_t i = 0; i < record.actions.size(); ++i)
            if (record.actions[i].second < c.start)
                throw Refusal{"操作 " + std::to_string(i + 1) + " が課題の始まる前です"};
        const auto result = exercise.find("result");
        if (result != exercise.end())
            read.stored = storedFrom(*result);
        if (const auto name = exercise.find("name"); name != exercise.end()) {
            if (!name->is_string())
                throw Refusal{"exercise の name が文字列ではありません"};
            // A refused name is not kept: it would reach a table as it is.
            std::string given = name->get<std::string>();
            if (const std::string problem = attemptNameProblem(given); !problem.empty())
                throw Refusal{"exercise の name の" + problem};
            read.name = std::move(given);
        }
        record.opening = SessionOpening{c.start, c.startShares};
        read.card = std::move(cardRead.card);
        read.record = std::move(record);
    } catch (const Refusal& refusal) {
        read.error = refusal.message;
    } catch (const nlohmann::json::exception&) {
        read.error = "exercise を読めません";
    }
    return read;
}

AttemptRead openAttempt(const std::string& path, LinkFollowing links) {
    SessionFileRead file = openSessionFile(path, links);
    if (!file.record) {
        AttemptRead unread;
        unread.error = file.error;
        unread.link = file.link;
        return unread;
    }
    return readAttempt(std::move(*file.record));
}

AttemptReplay replayAttempt(const SessionRecord& record, const ExerciseCard& card,
                            const ChanceProgress& progress) {
    AttemptReplay replay;
    SilentLog silent;
    PracticeSession session(silent, silent, record.market);
    session.keepTape(false);
    session.keepQuotes(true);
    ExerciseRun run(session, card);
    run.start(record.market);
    const std::vector<SessionAction>& actions = record.actions;
    std::size_t next = 0;
    const auto pressDue = [&] {
        while (replay.error.empty() && next < actions.size() &&
               actions[next].second <= session.elapsed()) {
            const SessionAction& action = actions[next++];
            const std::string number = "操作 " + std::to_string(next);
            if (!run.running()) {
                replay.error = number + " は課題が終わった後です";
                return;
            }
            std::optional<std::string> why;
            if (action.kind == ActionKind::Buy)
                why = run.pressBuy(action.codeText, action.form);
            else if (action.kind == ActionKind::Sell)
                why = run.pressSell(action.codeText, action.form);
            else
                run.pressCancel();
            if (why)
                replay.error = number + " が課題の制限を破っています（" + *why + "）";
        }
    };
    pressDue();
    while (replay.error.empty() && run.running() && session.elapsed() < record.results.seconds) {
        run.step();
        pressDue();
    }
    if (!replay.error.empty())
        return replay;
    if (next < actions.size())
        return {std::nullopt, std::nullopt,
                "操作 " + std::to_string(next + 1) + " は課題が終わった後です"};
    if (session.elapsed() < record.results.seconds)
        return {std::nullopt, std::nullopt,
                "課題は " + std::to_string(session.elapsed()) + " 秒で終わりましたが、記録は " +
                    std::to_string(record.results.seconds) + " 秒まであります"};
    // Saved before the end: the learner left it there.
    run.abandon();
    replay.facts = run.facts();
    const auto quotes = std::make_shared<const std::vector<Quotes>>(session.takeQuotes());
    replay.score = scoreExercise(*replay.facts, sameTaskAtRandom(*replay.facts, progress, quotes));
    return replay;
}

std::vector<std::string> differingExercise(const StoredExerciseResult& stored,
                                           const ExerciseScore& replayed) {
    std::vector<std::string> lines;
    if (stored.ending != replayed.ending)
        lines.push_back(std::string("exercise ending: file ") + exerciseEndKey(stored.ending) +
                        ", replay " + exerciseEndKey(replayed.ending));
    if (stored.score != replayed.score)
        lines.push_back("exercise score: file " + shown(stored.score) + ", replay " +
                        shown(replayed.score));
    if (stored.passed != replayed.passed)
        lines.push_back(std::string("exercise passed: file ") + (stored.passed ? "true" : "false") +
                        ", replay " + (replayed.passed ? "true" : "false"));
    const std::optional<double> top =
        replayed.random ? std::optional<double>(replayed.random->topPercent) : std::nullopt;
    if (stored.topPercent != top)
        lines.push_back("exercise topPercent: file " + shown(stored.topPercent) + ", replay " +
                        shown(top));
    return lines;
}

std::vector<std::string> exerciseLines(const ExerciseCard& card, const ExerciseScore& score,
                                       bool grouped) {
    std::vector<std::string> lines;
    lines.push_back("課題=" + card.title);
    lines.push_back(std::string("種類=") + exerciseKindName(card.kind));
    lines.push_back(std::string("終わり方=") + exerciseEndName(score.ending));
    const int decimals = exerciseScoreDecimals(score.unit);
    lines.push_back("得点 (" + score.unit + ")=" +
                    (score.score ? rounded(score.score, decimals, grouped)
                                 : "—（" + score.undefinedWhy + "）"));
    lines.push_back(std::string("合格=") + (score.passed ? "合格" : "不合格"));
    lines.push_back("判定=" + score.why);
    for (const ScoreNumber& number : score.numbers)
        lines.push_back(number.caption + "=" + rounded(number.value, number.decimals, grouped));
    const std::optional<ChanceResult>& r = score.random;
    const auto field = [&r](double ChanceResult::*member) {
        return r ? std::optional<double>((*r).*member) : std::nullopt;
    };
    const int randomDecimals = score.unit == "%" ? 0 : decimals;
    lines.push_back("同じ課題を偶然で 上位 (%)=" + rounded(field(&ChanceResult::topPercent), 1));
    lines.push_back("同じ課題を偶然で 中央値=" +
                    rounded(field(&ChanceResult::median), randomDecimals, grouped));
    lines.push_back("同じ課題を偶然で 5%点=" +
                    rounded(field(&ChanceResult::low), randomDecimals, grouped));
    lines.push_back("同じ課題を偶然で 95%点=" +
                    rounded(field(&ChanceResult::high), randomDecimals, grouped));
    return lines;
}

} // namespace vantrel
