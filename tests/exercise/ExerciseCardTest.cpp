#include "exercise/ExerciseCard.h"
#include "exercise/BuiltInExercises.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vantrel {
namespace {

// The built-in set reads, runs from easy to hard over every kind, and each
// card written back reads as the same card (as an attempt's file holds it).
TEST(ExerciseCard, BuiltInCardsReadCoverEveryKindAndWriteBackUnchanged) {
    const std::vector<BuiltInExercise>& cards = builtInExercises();
    ASSERT_GE(cards.size(), 8u);
    std::set<ExerciseKind> kinds;
    std::uint64_t previousLength = 0;
    for (const BuiltInExercise& builtIn : cards) {
        const ExerciseCardRead read = readExerciseCard(builtIn.text);
        ASSERT_TRUE(read.card) << builtIn.fileName << ": " << read.error;
        kinds.insert(read.card->kind);
        const ExerciseCardRead again = readExerciseCard(writeExerciseCard(*read.card));
        ASSERT_TRUE(again.card) << builtIn.fileName << ": " << again.error;
        EXPECT_EQ(writeExerciseCard(*again.card), writeExerciseCard(*read.card));
        EXPECT_EQ(again.card->maxShares, read.card->maxShares);
        previousLength = std::max(previousLength, read.card->timeLimit);
    }
    EXPECT_EQ(kinds.size(), 5u);
    // The last card is among the longest: the set ends with the hardest.
    EXPECT_EQ(readExerciseCard(cards.back().text).card->timeLimit, previousLength);
}

// A hostile or mistaken card is refused with a message naming the field,
// whatever is wrong: the shape, the types, absurd numbers, a start past the
// longest practice, a task its own limits make impossible, an unknown kind.
TEST(ExerciseCard, HostileCardsAreRefusedNamingTheField) {
    const std::string good = R"({"format":1,"title":"t","instructions":"i","market":"random",
        "start":60,"timeLimit":300,"kind":"accumulate","shares":2000})";
    const auto edited = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    ASSERT_TRUE(readExerciseCard(good).card) << readExerciseCard(good).error;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[1]", "全体がオブジェクトではありません"},
        {"{\"format\":", "JSON として読めません（1 行 11 列）"},
        {edited("\"format\":1", "\"format\":2"), "format 2 には対応していません"},
        {edited("\"title\":\"t\"", "\"title\":\"\""), "title が空です"},
        {edited("\"title\":\"t\"", "\"title\":7"), "title が文字列ではありません"},
        {edited("\"title\":\"t\"", "\"title\":\"" + std::string(5000, 'x') + "\""),
         "title が長すぎます（4096 バイトまで）"},
        {edited("\"instructions\":\"i\",", ""), "instructions がありません"},
        {edited("\"random\"", "0"), "market が 1 から 9999 の整数でも \"random\" でもありません"},
        {edited("\"start\":60", "\"start\":604700"),
         "start と timeLimit を合わせると最も長い練習（604,800 秒）を超えます"},
        {edited("\"start\":60", "\"start\":1e300"), "start が 0 から 604800 の整数ではありません"},
        {edited("\"timeLimit\":300", "\"timeLimit\":-5"),
         "timeLimit が 1 から 28800 の整数ではありません"},
        {edited("\"accumulate\"", "\"scalp\""), "kind が知らない種類です（scalp）"},
        {edited("\"shares\":2000", "\"shares\":1500"),
         "shares が売買単位 1,000 株の倍数ではありません"},
        {edited("\"shares\":2000", "\"shares\":\"2000\""),
         "shares が 1000 から 1000000 の整数ではありません"},
        {edited("\"shares\":2000", "\"shares\":8000"),
         "shares の 8,000 株は買付余力 3,000,000 円では最安値でも買えません"},
        {edited("\"shares\":2000", "\"shares\":2000,\"maxShares\":1000"),
         "maxShares の 1,000 株では課題の 2,000 株を持てません"},
        {edited("\"shares\":2000", "\"shares\":2000,\"threshold\":1e9"),
         "threshold が -10,000 から 10,000 の数ではありません"},
        {edited("\"shares\":2000", "\"shares\":2000,\"target\":5"),
         "target は買い集めの課題では使いません"},
        {edited("\"shares\":2000", "\"shares\":2000,\"priceKinds\":[\"stop\"]"),
         "priceKinds が \"limit\" か \"market\" の並びではありません"},
        {edited("\"shares\":2000", "\"shares\":2000,\"priceKinds\":[[\"limit\"]]"),
         "入れ子が深すぎます（2 段まで）"},
        {edited("\"shares\":2000", "\"shares\":2000,\"shares\":1000"), "shares が二つあります"},
        {edited("\"shares\":2000", "\"shares\":2000,\"sharez\":1"),
         "知らない項目 sharez があります"},
        {edited("\"kind\":\"accumulate\",\"shares\":2000",
                "\"kind\":\"liquidate\",\"shares\":6000"),
         "shares の 6,000 株は始めに持つには多すぎます（5,000 株まで）"},
        {edited("\"kind\":\"accumulate\",\"shares\":2000",
                "\"kind\":\"profitTarget\",\"target\":5"),
         "drawdown がありません"},
        {edited("\"kind\":\"accumulate\",\"shares\":2000",
                "\"kind\":\"roundTrips\",\"roundTrips\":200"),
         "roundTrips の 200 回は timeLimit の秒では往復できません"},
        {edited("\"kind\":\"accumulate\",\"shares\":2000",
                "\"kind\":\"limitProfit\",\"roundTrips\":2,\"priceKinds\":[\"market\"]"),
         "priceKinds に market があります（指値だけで利益の課題です）"},
        {good + std::string(kExerciseCardMaxBytes, ' '),
         "課題ファイルが大きすぎます（64 KiB まで）"},
    };
    for (const auto& [text, message] : cases) {
        const ExerciseCardRead read = readExerciseCard(text);
        EXPECT_FALSE(read.card) << message;
        EXPECT_EQ(read.error, message);
    }
}

} // namespace
} // namespace vantrel
