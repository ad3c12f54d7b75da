#include "exercise/BuiltInExercises.h"
#include "exercise/ExerciseAttempt.h"
#include "history/PracticeFolder.h"
#include "history/PracticeSummary.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "support/Session.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// A round trip of 1000 shares on market 3, then a buy left open.
struct Traded {
    Recorder recorder;
    PracticeSession session{recorder, recorder, 3};
    Traded() {
        const OrderForm market{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
        const auto seconds = [this](int count) {
            for (int i = 0; i < count; ++i)
                session.step();
        };
        session.pressBuy("9999", market);
        seconds(20);
        session.pressSell("9999", market);
        seconds(20);
        session.pressBuy("9999", market);
        seconds(20);
    }
};

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

fs::path freshFolder(const std::string& name) {
    const fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// A kept file is a session file the strict reader and --verify read as
// before; its summary is read from the first line alone, never replayed.
TEST(PracticeHistory, KeptFileIsASessionFileWhoseHeadSummarisesIt) {
    Traded traded;
    PracticeSummary summary = summarisePractice(traded.session, 1765000000123);
    EXPECT_EQ(summary.fills, 3u);
    EXPECT_EQ(summary.roundTrips, 1u);
    EXPECT_EQ(summary.seconds, 60u);
    EXPECT_EQ(summary.netProfit, traded.session.figures()[Measure::NetProfit]);
    summary.topPercent = 12.5;
    const std::string text = *writeKeptPractice(traded.session.record(), summary).text;

    const SessionFileRead strict = readSessionFile(text);
    ASSERT_TRUE(strict.record) << strict.error;
    EXPECT_EQ(strict.record->actions.size(), 3u);
    EXPECT_EQ(*writeSessionFile(*strict.record).text,
              *writeSessionFile(traded.session.record()).text);

    // The head alone, cut where the actions begin, gives the whole summary.
    const SummaryRead head = readSummary(text.substr(0, text.find('\n') + 1));
    ASSERT_TRUE(head.summary) << head.error;
    EXPECT_EQ(head.summary->startedMs, 1765000000123);
    EXPECT_EQ(head.summary->market, 3);
    EXPECT_EQ(head.summary->fills, summary.fills);
    EXPECT_EQ(head.summary->roundTrips, summary.roundTrips);
    EXPECT_EQ(head.summary->netProfit, summary.netProfit);
    EXPECT_EQ(head.summary->profitRate, summary.profitRate);
    EXPECT_EQ(head.summary->topPercent, 12.5);
    EXPECT_FALSE(readSummary(*writeSessionFile(traded.session.record()).text).summary);
}

// Every *.json in the folder is listed newest first: kept files from their
// summary, a plain session file from a strict reading (without counts), and
// whatever else as unreadable with the reason, quickly and without blocking.
TEST(PracticeHistory, AFolderOfMixedFilesListsEachAsWhatItIs) {
    const fs::path folder = freshFolder("history-mixed");
    Traded traded;
    const SessionRecord record = traded.session.record();
    const std::string kept =
        *writeKeptPractice(record, summarisePractice(traded.session, 1765000000000)).text;
    const std::string plain = *writeSessionFile(record).text;
    writeText(folder / "2026-12-07_031205_market3.json", kept);
    writeText(folder / "2026-12-06_101010_market3.json", kept.substr(0, kept.size() / 2));
    writeText(folder / "2026-12-05_090000_market1.json",
              "{\"format\":2,\"summary\":{\"seconds\":-1}");
    writeText(folder / "notes.txt", "not listed");
    writeText(folder / "package.json", "{\"name\":\"x\"}");
    writeText(folder / "plain.json", plain);
    writeText(folder / "huge.json", std::string(kSessionFileMaxBytes + 10, ' '));
    fs::create_directories(folder / "folder.json");
    ASSERT_EQ(mkfifo((folder / "pipe.json").c_str(), 0600), 0);

    struct Row {
        const char* name;
        bool summarised;
        bool counted;
    };
    const std::vector<Row> expected = {
        {"plain.json", true, false},
        {"pipe.json", false, false},
        {"package.json", false, false},
        {"huge.json", false, false},
        {"folder.json", false, false},
        {"2026-12-07_031205_market3.json", true, true},
        // Cut short after its head: listed, and refused in full when opened.
        {"2026-12-06_101010_market3.json", true, true},
        {"2026-12-05_090000_market1.json", false, false},
    };
    const std::vector<ListedPractice> listed = listPractices(folder.string());
    ASSERT_EQ(listed.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(listed[i].name, expected[i].name);
        EXPECT_EQ(listed[i].summary.has_value(), expected[i].summarised);
        EXPECT_EQ(listed[i].error.empty(), expected[i].summarised);
        if (listed[i].summary) {
            EXPECT_EQ(listed[i].summary->fills.has_value(), expected[i].counted);
            EXPECT_EQ(listed[i].summary->market, 3);
            EXPECT_EQ(listed[i].summary->netProfit, *record.results.figures[Measure::NetProfit]);
        }
    }
    EXPECT_TRUE(listPractices((folder / "missing").string()).empty());
}

// Only Vantrel's own kept files go, in the order they were first written:
// neither the names' dates (a clock once set forward) nor look-alikes (plain
// text, a name the keeper never writes, a kept file copied under another
// name, a link to one outside) count, and the one kept before stays.
TEST(PracticeHistory, TheLimitRemovesOnlyOwnFilesInTheOrderTheyWereWritten) {
    const fs::path folder = freshFolder("history-limit");
    const fs::path outside = freshFolder("history-outside");
    Traded traded;
    const auto keptText = [&traded](const std::string& name, std::uint64_t order) {
        PracticeSummary summary = summarisePractice(traded.session, 1765000000000);
        summary.keptAs = name;
        summary.order = order;
        return *writeKeptPractice(traded.session.record(), summary).text;
    };
    const std::vector<std::string> own = {
        "2099-01-01_000000_market3.json", "2099-01-02_000000_market3.json",
        "2026-01-01_000000_market3.json", "2026-01-02_000000_market3.json"};
    for (std::size_t i = 0; i < own.size(); ++i)
        writeText(folder / own[i], keptText(own[i], i + 1));
    const std::string linked = "1999-12-29_000000_market3.json";
    writeText(outside / "target.json", keptText(linked, 0));
    fs::create_symlink(outside / "target.json", folder / linked);
    writeText(folder / "1999-12-30_000000_market3.json", keptText(own[0], 0));
    writeText(folder / "1999-12-31_235959_market1.json", "plain text");
    writeText(folder / "1999-12-31_235959_market01.json",
              keptText("1999-12-31_235959_market01.json", 0));
    const std::vector<std::string> foreign = {linked, "1999-12-30_000000_market3.json",
                                              "1999-12-31_235959_market1.json",
                                              "1999-12-31_235959_market01.json"};

    struct Step {
        const char* kept;
        std::vector<std::string> gone;
    };
    const std::vector<Step> steps = {{"2026-01-03_000000_market3.json", {own[0], own[1]}},
                                     {"2026-01-04_000000_market3.json", {own[2]}}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.kept);
        const std::uint64_t order = nextKeptOrder(folder.string());
        writeText(folder / step.kept, keptText(step.kept, order));
        EXPECT_EQ(pruneKeptPractices(folder.string(), 3, (folder / step.kept).string()),
                  step.gone.size());
        for (const std::string& name : step.gone)
            EXPECT_FALSE(fs::exists(fs::symlink_status(folder / name))) << name;
    }
    EXPECT_EQ(nextKeptOrder(folder.string()), 7u);
    for (const std::string& name : {own[3], std::string("2026-01-03_000000_market3.json")})
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    for (const std::string& name : foreign)
        EXPECT_TRUE(fs::exists(fs::symlink_status(folder / name))) << name;
    EXPECT_TRUE(fs::exists(outside / "target.json"));
}

// A summary no practice can reach lists as damaged, with the reason.
TEST(PracticeHistory, ASummaryOfImpossibleValuesIsRefused) {
    Traded traded;
    const std::vector<std::pair<const char*, std::function<void(PracticeSummary&)>>> forged = {
        {"a profit of 1e308",
         [](PracticeSummary& s) {
             s.netProfit = 1e308;
             s.profitRate = 1e308 / 30000;
         }},
        {"a start in year -292275056", [](PracticeSummary& s) { s.startedMs = INT64_MIN; }},
        {"a rate that does not match", [](PracticeSummary& s) { s.profitRate += 1; }},
        {"a week and a second", [](PracticeSummary& s) { s.seconds = kSessionFileMaxSeconds + 1; }},
        {"more fills than actions",
         [](PracticeSummary& s) { s.fills = kSessionFileMaxActions + 1; }},
        {"more trips than fills", [](PracticeSummary& s) { s.roundTrips = *s.fills + 1; }},
        {"上位 beyond 100", [](PracticeSummary& s) { s.topPercent = 150; }},
    };
    for (const auto& [what, forge] : forged) {
        SCOPED_TRACE(what);
        PracticeSummary summary = summarisePractice(traded.session, 1765000000000);
        EXPECT_TRUE(readSummary(*writeKeptPractice(traded.session.record(), summary).text).summary);
        forge(summary);
        const SummaryRead read =
            readSummary(*writeKeptPractice(traded.session.record(), summary).text);
        EXPECT_FALSE(read.summary);
        EXPECT_EQ(read.error, "要約の値がありえません");
    }
}

// An attempt's summary carries its card's title and kind, its score with
// the unit and its pass mark, read back the same; a free practice and an
// older summary carry none; a forged or damaged attempt member is refused.
TEST(PracticeHistory, AnAttemptSummaryCarriesItsCardAndScoreAndIsReadStrictly) {
    Traded traded;
    const auto keptText = [&traded] {
        return *writeKeptPractice(traded.session.record(),
                                  summarisePractice(traded.session, 1765000000000))
                    .text;
    };
    const SummaryRead free = readSummary(keptText());
    EXPECT_TRUE(free.summary && !free.summary->attempt);
    EXPECT_EQ(keptText().find("attempt"), std::string::npos); // as before attempts were kept

    ExerciseCard card = *readExerciseCard(builtInExercises()[2].text).card; // 利益目標
    card.title = std::string(300, 'x');
    traded.session.setExercise(exerciseMember(card));
    const auto underWay = readSummary(keptText()).summary->attempt;
    ASSERT_TRUE(underWay && !underWay->scored);
    EXPECT_EQ(underWay->title, std::string(253, 'x') + "…");
    EXPECT_EQ(underWay->passLine, card.target);

    ExerciseScore score;
    score.score = -1234.5;
    traded.session.setExercise(exerciseMember(card, &score));
    const std::string text = keptText();
    const SummaryRead read = readSummary(text.substr(0, text.find('\n') + 1));
    ASSERT_TRUE(read.summary && read.summary->attempt) << read.error;
    const AttemptSummary& a = *read.summary->attempt;
    EXPECT_EQ(a.kind, ExerciseKind::ProfitTarget);
    EXPECT_EQ(a.unit, "円");
    EXPECT_TRUE(a.scored && !a.passed);
    EXPECT_EQ(a.score, -1234.5);
    EXPECT_TRUE(readSessionFile(text).record); // the strict reader passes over it

    // The member as written replaced: an undefined score reads, forgeries do not.
    const std::size_t at = text.find(R"("attempt":{)");
    const std::size_t length = text.find('}', at) + 1 - at;
    const auto with = [&](const std::string& member) {
        return readSummary(std::string(text).replace(at, length, R"("attempt":)" + member));
    };
    const std::string base = R"({"title":"a","kind":"profitTarget","unit":"円","passLine":0)";
    const SummaryRead dash = with(base + R"(,"score":null,"passed":false})");
    ASSERT_TRUE(dash.summary && dash.summary->attempt) << dash.error;
    EXPECT_TRUE(dash.summary->attempt->scored && !dash.summary->attempt->score);
    for (
        const std::string& forged : std::vector<std::string>{
            "[]", R"({"title":"a"})",
            R"({"title":"","kind":"profitTarget","unit":"円","passLine":0})",
            R"({"title":"a","kind":"lottery","unit":"円","passLine":0})",
            R"({"title":"a","kind":"profitTarget","unit":"bp","passLine":0})",
            R"({"title":"a","kind":"profitTarget","unit":"円","passLine":"0"})",
            base + R"(,"score":1})", base + R"(,"score":1e308,"passed":true})",
            base + R"(,"by":"me"})",
            R"({"title":"a","kind":"roundTrips","unit":"%","passLine":50,"score":-3,"passed":true})"})
        EXPECT_FALSE(with(forged).summary) << forged;
}

} // namespace
} // namespace vantrel
