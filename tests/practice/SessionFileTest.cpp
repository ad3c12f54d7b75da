#include "practice/SessionFile.h"
#include "markettool/MarketTool.h"
#include "practice/PracticeSession.h"
#include "practice/SessionReplay.h"
#include "practice/SessionStatistics.h"
#include "results/ResultsText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <tuple>

#include <sys/stat.h>

namespace vantrel {
namespace {

// The log as the headless replay writes it; a box counts as its prompt, as a
// replay notes it.
class SecondLog final : public TradeLog, public MessagePrompter {
public:
    void AddLog(const std::string& message) override {
        text += std::to_string(session->elapsed()) + "  " + message + '\n';
    }
    void ShowMessage(const std::string& prompt, const std::string&) override { AddLog(prompt); }
    const PracticeSession* session = nullptr;
    std::string text;
};

std::string run(const std::vector<std::string>& args, int& status) {
    std::ostringstream out, err;
    status = runMarketTool(args, out, err);
    return out.str() + err.str();
}

std::string written(const SessionRecord& record) {
    const SessionFileWrite write = writeSessionFile(record);
    EXPECT_TRUE(write.text) << write.error;
    return write.text.value_or("");
}

std::string saved(const std::string& text, const char* name) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Random presses, good and bad, over a random stretch of a random market.
SessionRecord recordRandomSession(unsigned seed, std::string& replayed) {
    std::mt19937 random(seed);
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    SecondLog log;
    PracticeSession session(log, log, 1 + pick(9999));
    log.session = &session;
    session.restart(session.marketNumber());
    const char* prices[] = {"500", "499", "", "abc", "510.5"};
    const char* counts[] = {"1000", "3000", "0", "x", "500"};
    const char* codes[] = {"1001", "1001", "9999"};
    for (int second = 0; second < 1500; ++second) {
        if (pick(8) == 0) {
            OrderForm form{static_cast<PriceKind>(pick(3) - 1), prices[pick(5)],
                           static_cast<QuantityKind>(pick(4) - 1), counts[pick(5)],
                           std::to_string(pick(4) * 400000)};
            const int kind = pick(5);
            if (kind < 2)
                session.pressBuy(codes[pick(3)], form);
            else if (kind < 4)
                session.pressSell(codes[pick(3)], form);
            else
                session.pressCancel();
        }
        session.step();
    }
    const SessionRecord record = session.record();
    replayed = log.text;
    for (const std::string& line : figureResultLines(session.figures()))
        replayed += line + '\n';
    replayed += '\n';
    const SessionStatistics analysis = analysePractice(session);
    for (const std::string& line : statisticsLines(analysis))
        replayed += line + '\n';
    if (!analysis.reviews.empty())
        replayed += '\n';
    for (const std::string& line : reviewLines(analysis))
        replayed += line + '\n';
    return record;
}

TEST(SessionFile, RandomSessionsReplayHeadlessToTheSameLogAndResults) {
    for (unsigned seed : {1u, 2u, 3u}) {
        std::string expected;
        const SessionRecord record = recordRandomSession(seed, expected);
        ASSERT_GT(record.actions.size(), 100u);
        const std::string text = written(record);
        const SessionFileRead read = readSessionFile(text);
        ASSERT_TRUE(read.record) << read.error;
        EXPECT_EQ(written(*read.record), text);

        const std::string path = saved(text, "session.json");
        int status = -1;
        EXPECT_EQ(run({"--session", path}, status), expected) << seed;
        EXPECT_EQ(status, 0);
        EXPECT_EQ(run({"--session", path, "--verify"}, status), "results agree\n");
        EXPECT_EQ(status, 0);

        // A claim of a better result than the trades give is caught.
        SessionRecord boasted = *read.record;
        *boasted.results.figures[Measure::NetProfit] += 1;
        run({"--session", saved(written(boasted), "boast.json"), "--verify"}, status);
        EXPECT_EQ(status, 1);
        EXPECT_NE(run({"--session", path + ".missing", "--verify"}, status), "");
        EXPECT_EQ(status, 2);
    }
}

TEST(SessionFile, ResultLinesAreRoundedAsTheResultsWindowShowsThem) {
    Figures f;
    f[Measure::AverageCost] = 500.6666666666667;
    f[Measure::Realised] = -47999.9999999998;
    f[Measure::Rate] = -1.366666;
    const std::vector<std::string> lines = figureResultLines(f);
    EXPECT_EQ(lines[1], "平均取得単価=500.67");
    EXPECT_EQ(lines[4], "実現損益=-48000");
    EXPECT_EQ(lines[8], "損益率=-1.37");
}

TEST(SessionFile, BadFilesAreRefusedSayingWhatAndWhere) {
    SessionRecord record;
    record.program = "Vantrel 0.1.0";
    record.actions.push_back({3, ActionKind::Buy, {}, "1001"});
    record.actions.push_back({5, ActionKind::Cancel, {}, ""});
    record.results.seconds = 9;
    const std::string good = written(record);
    // Up to the size limit a file is read.
    ASSERT_TRUE(
        readSessionFile(good + std::string(kSessionFileMaxBytes - good.size(), ' ')).record);
    const auto edited = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::string week = std::to_string(kSessionFileMaxSeconds);
    const std::string deep =
        "{\"a\": " + std::string(100000, '[') + std::string(100000, ']') + ", \"b\": 1}";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{\"format\": 1", "JSON として読めません（1 行 13 列）"},
        {"{\"format\":\n 1,\n  \"x\": tru}", "JSON として読めません（3 行 11 列）"},
        {"[]", "全体がオブジェクトではありません"},
        {edited("\"format\":3", "\"format\":4"), "format 4 には対応していません"},
        {edited("\"format\":3", "\"format\":0"), "format 0 には対応していません"},
        {edited("\"format\":3", "\"format\":\"3\""), "format が整数ではありません"},
        {edited("\"market\":1", "\"market\":10000"), "market が 1 から 9999 の整数ではありません"},
        {edited("\"program\"", "\"programme\""), "program がありません"},
        {edited("\"second\":5", "\"second\":2"), "操作 2 の second が前の操作より前です"},
        {edited("\"second\":3", "\"second\":-3"),
         "操作 1 の second が 0 から " + week + " の整数ではありません"},
        {edited("\"seconds\":9", "\"seconds\":" + std::to_string(kSessionFileMaxSeconds + 1)),
         "results の seconds が 0 から " + week + " の整数ではありません"},
        {edited("\"kind\":\"cancel\"", "\"kind\":\"sell all\""),
         "操作 2 の kind が知らない種類です"},
        {edited("\"codeText\":\"1001\"", "\"codeText\":1001"),
         "操作 1 の codeText が文字列ではありません"},
        {edited("\"priceText\":\"\"", "\"priceTxt\":\"\""), "操作 1 の priceText がありません"},
        {edited("\"seconds\":9", "\"seconds\":4"),
         "操作 2 の second が results の seconds より後です"},
        {edited("\"netProfit\":0.0", "\"netProfit\":null"),
         "results の netProfit が数値ではありません"},
        // A second claim must not silently win, at any level.
        {edited("\"results\":", "\"results\":{},\"results\":"), "results が二つあります"},
        {edited("\"seconds\":9", "\"seconds\":9,\"seconds\":9"),
         "results の seconds が二つあります"},
        {edited("\"kind\":\"cancel\"", "\"kind\":\"cancel\",\"kind\":\"buy\""),
         "操作 2 の kind が二つあります"},
        {edited("\"yenText\":\"\"", "\"yenText\":\"\",\"yenText\":\"1\""),
         "操作 1 の form の yenText が二つあります"},
        // Nesting deeper than a session's own is refused before it is built.
        {deep, "入れ子が深すぎます（1 行 10 列、4 段まで）"},
        {edited("\"priceText\":\"\"", "\"priceText\":[]"),
         "入れ子が深すぎます（2 行 66 列、4 段まで）"},
        {std::string(kSessionFileMaxBytes + 1, ' '), "ファイルが大きすぎます（16 MiB まで）"},
    };
    for (const auto& [text, message] : cases) {
        const SessionFileRead read = readSessionFile(text);
        EXPECT_FALSE(read.record) << message;
        EXPECT_EQ(read.error, message);
    }
}

// Format 3's exercise member is carried as read, whatever it holds within
// the file's depth, and refused when it is not an object or names a member
// twice; format 1 and 2 files pass over it.
TEST(SessionFile, ExerciseMemberIsCarriedWithinTheFilesShape) {
    SessionRecord record;
    record.exercise = R"({"card":{"title":"t","kinds":[1,null,"x"]},"result":{"passed":true}})";
    const SessionFileRead read = readSessionFile(written(record));
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->exercise, record.exercise);
    EXPECT_EQ(written(*read.record), written(record));
    const auto withExercise = [](const std::string& member, int format = 3) {
        SessionRecord plain;
        plain.format = format;
        std::string text = written(plain);
        text.insert(text.rfind('}'), ",\"exercise\":" + member);
        return readSessionFile(text);
    };
    EXPECT_EQ(withExercise("5").error, "exercise がオブジェクトではありません");
    EXPECT_EQ(withExercise("[]").error, "exercise がオブジェクトではありません");
    EXPECT_EQ(withExercise(R"({"a":1,"a":2})").error, "exercise の a が二つあります");
    EXPECT_EQ(withExercise(R"({"a":{"b":{"c":{}}}})").error.rfind("入れ子が深すぎます", 0), 0u);
    const SessionFileRead old = withExercise(R"({"a":1})", 2);
    ASSERT_TRUE(old.record) << old.error;
    EXPECT_TRUE(old.record->exercise.empty());
}

// Branches are carried whole in format 3 and refused, naming the branch and
// the field, when any member of one has the wrong shape; format 1 and 2 files
// and format 3 files without the member read with none; a tampered branch
// result is caught by --verify.
TEST(SessionFile, BranchesAreCarriedStrictlyAndVerified) {
    std::string unused;
    SessionRecord record = recordRandomSession(11, unused);
    PracticeBranch branch{record.results.seconds / 2, record.actions, record.results};
    branch.actions.push_back({record.results.seconds, ActionKind::Cancel, {}, ""});
    branch.results = replaySession(branchRecord(record.market, branch)).results;
    record.branches = {branch, branch};
    record.branches[1].leftAt = 0;
    const std::string text = written(record);
    const SessionFileRead read = readSessionFile(text);
    ASSERT_TRUE(read.record) << read.error;
    ASSERT_EQ(read.record->branches.size(), 2u);
    EXPECT_EQ(read.record->branches[0].leftAt, branch.leftAt);
    EXPECT_EQ(written(*read.record), text);

    int status = 0;
    const std::string path = saved(text, "branches.json");
    EXPECT_EQ(run({"--session", path, "--verify"}, status), "results agree\n");
    EXPECT_EQ(status, 0);
    const std::string shown = run({"--session", path}, status);
    EXPECT_NE(shown.find("\n\n分岐 2=経過 0:00 で分かれ、経過 " +
                         elapsedText(branch.results.seconds) + " まで\n保有株数="),
              std::string::npos)
        << shown;
    SessionRecord tampered = record;
    tampered.branches[1].results.figures[Measure::NetProfit] = 1;
    EXPECT_EQ(run({"--session", saved(written(tampered), "tampered.json"), "--verify"}, status)
                  .rfind("branch 2 netProfit: file 1", 0),
              0u);
    EXPECT_EQ(status, 1);

    const auto withBranches = [&](const std::string& member, int format = 3) {
        SessionRecord plain;
        plain.format = format;
        std::string file = written(plain);
        file.insert(file.rfind('}'), ",\"branches\":" + member);
        return readSessionFile(file);
    };
    SessionRecord empty;
    empty.branches.resize(1);
    std::string one = written(empty);
    one = one.substr(one.find("{\"leftAt"), one.rfind("}\n]") - one.find("{\"leftAt") + 1);
    const auto changed = [&one](const std::string& from, const std::string& to) {
        std::string text = one;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::string week = std::to_string(kSessionFileMaxSeconds);
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"{}", "branches が配列ではありません"},
        {"[1]", "分岐 1 がオブジェクトではありません"},
        {"[" + one + ",[]]", "分岐 2 がオブジェクトではありません"},
        {R"([{"leftAt":-1}])", "分岐 1 の leftAt が 0 から " + week + " の整数ではありません"},
        {R"([{"leftAt":{}}])", "分岐 1 の leftAt が 0 から " + week + " の整数ではありません"},
        {R"([{"leftAt":0,"actions":{}}])", "分岐 1 の actions が配列ではありません"},
        {R"([{"leftAt":0,"actions":[5]}])", "分岐 1 の 操作 1 がオブジェクトではありません"},
        {R"([{"leftAt":0,"actions":[{"form":[]}]}])",
         "分岐 1 の 操作 1 の form がオブジェクトではありません"},
        {R"([{"leftAt":0,"actions":[{"second":0,"kind":"buy","form":{"priceKind":"x"}}]}])",
         "分岐 1 の 操作 1 の priceKind が知らない種類です"},
        {R"([{"leftAt":0,"actions":[{"form":{"priceText":[]}}]}])",
         "入れ子が深すぎます（3 行 187 列、6 段まで）"},
        {R"([{"leftAt":0,"x":{"y":{"z":{"w":[]}}}}])",
         "入れ子が深すぎます（3 行 174 列、6 段まで）"},
        {R"([{"leftAt":0,"actions":[],"results":[]}])",
         "分岐 1 の results がオブジェクトではありません"},
        {"[" + changed("\"netProfit\":0.0", "\"netProfit\":\"1\"") + "]",
         "分岐 1 の results の netProfit が数値ではありません"},
        {R"([{"leftAt":0,"actions":[],"results":{"seconds":0}}])",
         "分岐 1 の results の buyingPower がありません"},
        {"[" + changed("\"leftAt\":0", "\"leftAt\":1") + "]",
         "分岐 1 の leftAt が results の seconds より後です"},
        {R"([{"leftAt":0,"leftAt":0}])", "分岐 1 の leftAt が二つあります"},
        {R"([{"actions":[],"results":{}}])", "分岐 1 の leftAt がありません"},
    };
    for (const auto& [member, message] : hostile)
        EXPECT_EQ(withBranches(member).error, message) << member;
    std::string many = "[" + one;
    for (std::size_t i = 1; i <= kSessionFileMaxBranches; ++i)
        many += "," + one;
    EXPECT_EQ(withBranches(many + "]").error, "分岐が多すぎます（100 まで）");
    // Format 1 and 2 knew no branches: a practice with none.
    const SessionFileRead old = withBranches("[" + one + "]", 2);
    ASSERT_TRUE(old.record) << old.error;
    EXPECT_TRUE(old.record->branches.empty());
}

// Files of format 1 name markets by the first numbering: those still read
// replay the same market, the others are refused rather than replayed on
// another market.
TEST(SessionFile, FormatOneFilesReadOnlyWhereTheMarketIsUnchanged) {
    const std::string changed = "市場番号 501 の意味がこの版で変わったため、この format 1 "
                                "のファイルは記録どおりに再生できません";
    const std::vector<std::tuple<int, int, std::string>> rows = {
        {1, 1, ""}, {1, 2, ""}, {1, 501, changed}, {2, 501, ""}, {2, 1, ""}};
    for (const auto& [format, market, error] : rows) {
        SessionRecord record;
        record.format = format;
        record.market = market;
        const SessionFileRead read = readSessionFile(written(record));
        EXPECT_EQ(read.error, error) << format << " " << market;
        EXPECT_EQ(read.record.has_value(), error.empty()) << format << " " << market;
    }
}

// What is not an ordinary file is refused at once, saying what it is, and
// never read past the size limit whatever size it claims.
TEST(SessionFile, OnlyOrdinaryFilesAreRead) {
    const std::string folder = ::testing::TempDir() + "session-folder";
    const std::string pipe = ::testing::TempDir() + "session-pipe";
    std::filesystem::create_directories(folder);
    std::remove(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {folder, "ファイルではなくフォルダーです"},
        {pipe, "普通のファイルではありません（デバイスやパイプなど）"},
        {"/dev/zero", "普通のファイルではありません（デバイスやパイプなど）"},
        {folder + "/missing.json", "ファイルが見つかりません"},
    };
    for (const auto& [path, message] : cases) {
        int status = -1;
        EXPECT_EQ(run({"--session", path}, status),
                  "vantrel-market: " + path + ": " + message + "\n");
        EXPECT_EQ(status, 2);
    }
}

// What the program writes it reads back: the largest record the limits allow
// round-trips, and one beyond them is refused before anything is written.
TEST(SessionFile, WriterAndReaderKeepTheSameLimits) {
    SessionRecord record;
    record.program = programVersionText();
    record.results.seconds = kSessionFileMaxSeconds;
    const SessionAction press{kSessionFileMaxSeconds,
                              ActionKind::Cancel,
                              {PriceKind::Market, "", QuantityKind::Everything, "", ""},
                              ""};
    record.actions.assign(kSessionFileMaxActions, press);
    const std::size_t bytes = writeSessionFile(record).text.value_or("").size();
    ASSERT_LT(bytes, kSessionFileMaxBytes);
    record.actions.back().form.priceText.assign(kSessionFileMaxBytes - bytes, '5');
    const std::string text = written(record);
    EXPECT_EQ(text.size(), kSessionFileMaxBytes);
    const SessionFileRead read = openSessionFile(saved(text, "largest.json"));
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(written(*read.record), text);

    const std::vector<std::pair<void (*)(SessionRecord&), std::string>> beyond = {
        {[](SessionRecord& r) { r.actions.back().form.priceText += '5'; },
         "ファイルが大きすぎます（16 MiB まで）"},
        {[](SessionRecord& r) { r.actions.push_back({}); }, "操作が多すぎます（50000 まで）"},
        {[](SessionRecord& r) { ++r.results.seconds; }, "練習が長すぎます（604800 秒まで）"},
    };
    for (const auto& [change, message] : beyond) {
        SessionRecord larger = *read.record;
        change(larger);
        const SessionFileWrite write = writeSessionFile(larger);
        EXPECT_FALSE(write.text) << message;
        EXPECT_EQ(write.error, message);
    }
}

} // namespace
} // namespace vantrel
