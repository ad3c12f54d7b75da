#include "history/PracticeFolder.h"
#include "history/PracticeSummary.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "support/Session.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

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
    EXPECT_EQ(summary.netProfit, traded.session.figures()["netProfit"]);
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
    const std::string kept = *writeKeptPractice(record, summarisePractice(traded.session, 1)).text;
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
            EXPECT_EQ(listed[i].summary->netProfit, *record.results.figures["netProfit"]);
        }
    }
    EXPECT_TRUE(listPractices((folder / "missing").string()).empty());
}

// The oldest kept practices go first; the one under way and files the
// program did not name are never removed.
TEST(PracticeHistory, TheLimitRemovesTheOldestKeptPractices) {
    const fs::path folder = freshFolder("history-limit");
    const std::vector<std::string> names = {
        "2025-01-01_000000_market1.json", "2025-01-01_000000_market1_2.json",
        "2025-06-01_120000_market9999.json", "2026-01-01_000000_market2.json",
        "2026-02-01_000000_market2.json"};
    for (const std::string& name : names)
        writeText(folder / name, "{}");
    writeText(folder / "0000-mine.json", "{}");
    const std::string underWay = (folder / names[0]).string();
    EXPECT_EQ(pruneKeptPractices(folder.string(), 3, underWay), 2u);
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(fs::exists(folder / names[i]), i == 0 || i >= 3) << names[i];
    EXPECT_TRUE(fs::exists(folder / "0000-mine.json"));
    EXPECT_EQ(pruneKeptPractices(folder.string(), 3, underWay), 0u);
}

} // namespace
} // namespace vantrel
