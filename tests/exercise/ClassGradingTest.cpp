#include "exercise/ClassGrading.h"
#include "exercise/ExerciseAttempt.h"
#include "exercise/ExerciseRandom.h"
#include "exercise/GradeTable.h"
#include "markettool/MarketTool.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "support/ClassFolder.h"
#include "trading/SilentLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;

const std::string kCard = test::kClassCard;

ExerciseCard card(const std::string& text) {
    return test::readCard(text);
}

std::string attempt(const ExerciseCard& c, const std::string& name,
                    const std::map<std::uint64_t, std::string>& buys) {
    return test::attemptFile(c, name, buys);
}

using test::replaced;

struct Folder {
    // Each test its own folder: the tests may run side by side.
    fs::path path = fs::temp_directory_path() /
                    (std::string("vantrel-class-") +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    Folder() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }
};

std::string run(const std::vector<std::string>& args, int& status, std::string* err = nullptr) {
    std::ostringstream out, errors;
    status = runMarketTool(args, out, errors);
    if (err)
        *err = errors.str();
    return out.str();
}

// A class folder holding every kind of hostile hand-in beside honest ones:
// each honest attempt is graded and ranked from its presses, each other file
// refused for its own reason, and the grades do not depend on the threads.
TEST(ClassGrading, GradesHonestAttemptsAndRefusesEachForgery) {
    const ExerciseCard c = card(kCard);
    Folder folder;
    const int files = test::writeClass(folder.path, 2);
    fs::create_directory(folder.path / "sub.json");
    const std::vector<GradedAttempt> graded = gradeClass({c}, handIns({folder.path.string()}), 2);
    std::map<std::string, const GradedAttempt*> by;
    for (const GradedAttempt& g : graded)
        by[fs::path(g.file).filename().u8string()] = &g;
    const std::map<std::string, GradeRefusal> expected = {
        {"s01.json", GradeRefusal::None},
        {"s02.json", GradeRefusal::None},
        {"x-copy.json", GradeRefusal::None},
        {"=formula.json", GradeRefusal::None},
        {"+plus.json", GradeRefusal::None},
        {"-minus.json", GradeRefusal::None},
        {"@at.json", GradeRefusal::None},
        {"x-other-card.json", GradeRefusal::AnotherCard},
        {"x-loosened.json", GradeRefusal::AnotherCard},
        {"x-raised.json", GradeRefusal::NotFromPresses},
        {"x-long-name.json", GradeRefusal::Damaged},
        {"x-control.json", GradeRefusal::Damaged},
        {"x-damaged.json", GradeRefusal::Damaged},
        {"x-huge.json", GradeRefusal::TooLarge},
#ifndef _WIN32
        {"x-link.json", GradeRefusal::Link},
        {"x-pipe.json", GradeRefusal::NotAFile},
#endif
    };
    ASSERT_EQ(by.size(), expected.size());
    ASSERT_EQ(files, static_cast<int>(expected.size()));
    for (const auto& [file, refusal] : expected) {
        EXPECT_EQ(by[file]->refusal, refusal) << file << ": " << by[file]->detail;
        EXPECT_EQ(by[file]->refusal == GradeRefusal::None, by[file]->detail.empty()) << file;
    }
    EXPECT_NE(by["x-long-name.json"]->detail.find("長すぎ"), std::string::npos);
    EXPECT_NE(by["x-control.json"]->detail.find("制御文字"), std::string::npos);
    EXPECT_EQ(by["x-long-name.json"]->name + by["x-control.json"]->name, "");
    EXPECT_NE(by["x-raised.json"]->detail.find("score"), std::string::npos);

    // Ranked by score, ties alike (1, 2, 2, 4); the copy under another name
    // is listed, ranked as the first, and pointed at it.
    for (const GradedAttempt& g : graded) {
        if (!g.graded())
            continue;
        ASSERT_TRUE(g.score && g.rank) << g.file;
        EXPECT_EQ(*g.rank,
                  1 + std::count_if(graded.begin(), graded.end(),
                                    [&](const auto& o) { return o.score && *o.score > *g.score; }))
            << g.file;
    }
    const GradedAttempt& a = *by["s01.json"];
    const GradedAttempt& b = *by["s02.json"];
    const GradedAttempt& twice = *by["x-copy.json"];
    EXPECT_EQ(a.name, "佐藤 花子");
    EXPECT_EQ(by["=formula.json"]->name, "=HYPERLINK(\"http://x\")");
    EXPECT_NE(a.score, b.score);
    EXPECT_EQ(twice.score, a.score);
    ASSERT_TRUE(twice.samePressesAs);
    EXPECT_EQ(&graded[*twice.samePressesAs], &a);
    EXPECT_FALSE(a.samePressesAs || b.samePressesAs);
    EXPECT_EQ(gradeCsv({c}, gradeClass({c}, handIns({folder.path.string()}), 1)),
              gradeCsv({c}, graded));
}

// The command line: the same grades as CSV, a formula in a name written as
// text, one stderr line a refusal, and the status saying how it went. With
// two cards each student's ranks are averaged.
TEST(ClassGrading, CommandLineWritesTheTableAndTellsRefusals) {
    const ExerciseCard first = card(kCard);
    const ExerciseCard second = card(replaced(kCard, "\"timeLimit\":300", "\"timeLimit\":200"));
    Folder folder;
    const std::string cardA = folder.write("card-a.card", kCard);
    const std::string cardB = folder.write("card-b.card", writeExerciseCard(second));
    const std::string steady1 = folder.write("s1.json", attempt(first, "-steady", {{0, "2000"}}));
    const std::string steady2 = folder.write("s2.json", attempt(second, "-steady", {{0, "2000"}}));
    const std::string lucky1 = folder.write("l1.json", attempt(first, "lucky", {{299, "2000"}}));
    const std::string lucky2 = folder.write("l2.json", attempt(second, "lucky", {{0, "2000"}}));
    const std::string broken = folder.write("x.json", "{");
    fs::create_directory(folder.path / "sub");

    int status = -1;
    std::string err;
    const std::string csv =
        run({"--grade", cardA, "--grade=" + cardB, steady1, steady2, lucky1, lucky2}, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF氏名,ファイル,課題,", 0), 0u) << csv;
    EXPECT_NE(csv.find("\r\n'-steady,"), std::string::npos) << csv;
    std::vector<GradedAttempt> graded =
        gradeClass({first, second}, handIns({steady1, steady2, lucky1, lucky2}));
    EXPECT_EQ(csv, gradeCsv({first, second}, graded));
    for (const GradedAttempt& g : graded)
        EXPECT_EQ(g.meanRank, g.name == "lucky" ? (*graded[2].rank + *graded[3].rank) / 2.0
                                                : (*graded[0].rank + *graded[1].rank) / 2.0);

    run({"--grade", cardA, steady1, broken, steady2}, status, &err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("x.json: 壊れています"), std::string::npos) << err;
    EXPECT_NE(err.find("s2.json: 別の課題です"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--grade", cardA, broken},
                                               {"--grade", cardA},
                                               {"--grade", cardA, folder.path.string() + "/sub"},
                                               {"--grade", broken, steady1},
                                               {"--grade", cardA, "--ticks", "3", steady1}}) {
        run(args, status);
        EXPECT_EQ(status, 2) << args.back();
    }
}

#ifndef _WIN32
// A file that was plain when the folder was listed and a link by the time it
// is read is refused, not followed to wherever it now points.
TEST(ClassGrading, ALinkSwappedInAfterTheListingIsNotFollowed) {
    const ExerciseCard c = card(kCard);
    Folder folder;
    const std::string honest = folder.write("a.json", attempt(c, "山田", {{0, "2000"}}));
    folder.write("b.json", "{}");
    std::vector<GradedAttempt> listed = handIns({folder.path.string()});
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].refusal, GradeRefusal::None);
    fs::remove(folder.path / "b.json");
    fs::create_symlink(honest, folder.path / "b.json");
    const std::vector<GradedAttempt> graded = gradeClass({c}, listed, 1);
    EXPECT_TRUE(graded[0].graded()) << graded[0].detail;
    EXPECT_EQ(graded[1].refusal, GradeRefusal::Link);
    // Named by the user, a link is the user's choice and is followed.
    EXPECT_TRUE(gradeClass({c}, handIns({(folder.path / "b.json").string()}))[0].graded());
}
#endif

// The window follows the grading as it goes and may stop it: every file
// reported once, the last report whole; a stop leaves no half-graded class.
TEST(ClassGrading, ReportsProgressAndStopsWhenCancelled) {
    const ExerciseCard c = card(kCard);
    Folder folder;
    for (int i = 0; i < 6; ++i)
        folder.write(std::to_string(i) + ".json", i % 2 ? "{" : attempt(c, "x", {{i, "2000"}}));
    std::atomic<int> reports{0};
    std::atomic<bool> whole{false};
    ChanceProgress progress;
    progress.report = [&](double fraction) {
        ++reports;
        if (fraction == 1.0)
            whole = true;
    };
    EXPECT_EQ(gradeClass({c}, handIns({folder.path.string()}), 2, progress).size(), 6u);
    EXPECT_EQ(reports, 6);
    EXPECT_TRUE(whole);
    std::atomic<bool> cancel{true};
    progress.cancel = &cancel;
    EXPECT_TRUE(gradeClass({c}, handIns({folder.path.string()}), 2, progress).empty());
}

// The class's histogram counts each scored attempt of the card once (a copy
// under another name is no second student) and reaches the random traders'
// middle, the middle of the attempts' own.
TEST(ClassGrading, HistogramCountsEachScoredAttemptOnce) {
    std::vector<GradedAttempt> graded(6);
    const double scores[] = {10, 30, 20, 20, 0, 0};
    const double middles[] = {-5, -1, -3, -3, 0, 0};
    for (std::size_t i = 0; i < graded.size(); ++i) {
        graded[i].card = i < 4 ? 0 : 1;
        graded[i].score = scores[i];
        graded[i].randomMedian = middles[i];
        graded[i].unit = "bp";
    }
    graded[3].samePressesAs = 2;
    graded[5].refusal = GradeRefusal::Damaged;
    const ClassHistogram histogram = classHistogram(graded, 0);
    EXPECT_EQ(histogram.scored, 3);
    EXPECT_EQ(histogram.unit, "bp");
    ASSERT_EQ(histogram.randomMedian, -3.0);
    ASSERT_FALSE(histogram.bins.empty());
    EXPECT_EQ(histogram.bins.front().lower, -3.0);
    EXPECT_EQ(histogram.bins.back().upper, 30.0);
    int counted = 0;
    for (const ChanceBin& bin : histogram.bins)
        counted += bin.count;
    EXPECT_EQ(counted, 3);
    EXPECT_EQ(classHistogram(graded, 1).scored, 1);
    EXPECT_EQ(classHistogram(graded, 2).scored, 0);
    EXPECT_TRUE(classHistogram(graded, 2).bins.empty());
}

// 往復 is scored by its place among the random traders, so the middle it is
// compared with is 上位 50%, not their 純損益.
TEST(ClassGrading, ARoundTripClassIsComparedWithTheMiddlePlace) {
    const ExerciseCard c = card(R"({"format":1,"title":"往復","instructions":"i","market":1,
        "start":600,"timeLimit":300,"kind":"roundTrips","roundTrips":1})");
    Folder folder;
    folder.write("a.json", test::attemptFile(c, "a", {{0, "1000"}}, {{60, "1000"}}));
    const std::vector<GradedAttempt> graded = gradeClass({c}, handIns({folder.path.string()}), 1);
    ASSERT_TRUE(graded[0].graded()) << graded[0].detail;
    EXPECT_EQ(graded[0].unit, "%");
    EXPECT_EQ(graded[0].randomMedian, 50.0);
    EXPECT_EQ(classHistogram(graded, 0).randomMedian, 50.0);
}

// A folder of ten thousand files is read one file at a time: each refused,
// none left out, the listing in name order.
TEST(ClassGrading, ThousandsOfFilesAreEachGradedOrRefused) {
    Folder folder;
    for (int i = 0; i < 10000; ++i)
        folder.write(std::to_string(100000 + i) + ".json", i % 2 ? "[]" : "{\"format\":3}");
    const std::vector<GradedAttempt> graded =
        gradeClass({card(kCard)}, handIns({folder.path.string()}));
    ASSERT_EQ(graded.size(), 10000u);
    EXPECT_EQ(fs::path(graded.back().file).filename(), "109999.json");
    EXPECT_TRUE(std::all_of(graded.begin(), graded.end(), [](const GradedAttempt& g) {
        return g.refusal == GradeRefusal::Damaged && !g.detail.empty();
    }));
}

TEST(GradeTable, NoCellStartsAFormulaOrBreaksTheRow) {
    // A quoted cell's apostrophe comes after the quote.
    for (const char* formula : {"=1+1", "+1", "-1", "@SUM(A1)", "\tx", "\rx"}) {
        const std::string cell = safeCsvText(formula);
        EXPECT_EQ(cell[cell[0] == '"' ? 1 : 0], '\'') << cell;
    }
    EXPECT_EQ(safeCsvText("山田, \"花子\""), "\"山田, \"\"花子\"\"\"");
    EXPECT_EQ(safeCsvText("a\nb"), "\"a\nb\"");
    EXPECT_EQ(safeCsvText("山田 花子"), "山田 花子");
}

// A name is counted in characters, not bytes: forty kanji pass.
TEST(AttemptName, KeepsFortyCharactersWithoutControls) {
    std::string forty;
    for (int i = 0; i < 40; ++i)
        forty += "山";
    EXPECT_EQ(attemptNameProblem(forty), "");
    EXPECT_NE(attemptNameProblem(forty + "x"), "");
    EXPECT_NE(attemptNameProblem("a\x7F"), "");
    EXPECT_NE(attemptNameProblem("a\xC2\x85"), ""); // U+0085, a C1 line break
    EXPECT_EQ(attemptNameProblem("\xC2\xA0"
                                 "a"),
              ""); // U+00A0 is no control
}

} // namespace
} // namespace vantrel
