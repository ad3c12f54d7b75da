#include "exercise/ClassGrading.h"
#include "exercise/ExerciseAttempt.h"
#include "exercise/ExerciseRandom.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "trading/SilentLog.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using namespace vantrel;
namespace fs = std::filesystem;

// A one-hour 買い集め of 3,000 shares, a different market at each attempt.
ExerciseCard hourCard() {
    ExerciseCard card;
    card.title = "一時間の買い集め";
    card.instructions = "1 時間で 3,000 株を買ってください。";
    card.market.reset();
    card.start = 1800;
    card.timeLimit = 3600;
    card.shares = 3000;
    return card;
}

// The attempt of student `index`: 300 shares at market every six minutes
// from a second of its own, with its score as the 採点 window saves it.
std::string hourAttempt(const ExerciseCard& card, int index) {
    SilentLog log;
    PracticeSession session(log, log, 2 + index);
    ExerciseRun run(session, card);
    run.start(2 + index);
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "300", ""};
    for (int second = 0; run.running(); ++second) {
        if (second % 360 == index % 360)
            run.pressBuy(stock::kCode, buy);
        run.step();
    }
    const ExerciseFacts facts = run.facts();
    const ExerciseScore score = scoreExercise(facts, sameTaskAtRandom(facts));
    SessionRecord record = attemptRecord(run, score);
    record.exercise = exerciseMember(card, &score, "生徒 " + std::to_string(index));
    return writeSessionFile(record).text.value_or("");
}

// A class folder of `count` attempts: forty students' own, then copies of
// them under further names (graded in full all the same).
fs::path classFolder(const ExerciseCard& card, int count) {
    static std::vector<std::string> attempts;
    while (attempts.size() < 40)
        attempts.push_back(hourAttempt(card, static_cast<int>(attempts.size())));
    const fs::path folder =
        fs::temp_directory_path() / ("vantrel-grade-bench-" + std::to_string(count));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        std::ofstream(folder / (std::to_string(1000 + i) + ".json"), std::ios::binary)
            << attempts[static_cast<std::size_t>(i) % attempts.size()];
    return folder;
}

// Grading a class on two threads, as the market tool does on this machine's
// two cores: 40 one-hour attempts within 2 s, 500 within 20 s. The peak
// memory is measured around the program (/usr/bin/time -v): at most 200 MiB.
void BM_GradeClassOfOneHourAttempts(benchmark::State& state) {
    const ExerciseCard card = hourCard();
    const fs::path folder = classFolder(card, static_cast<int>(state.range(0)));
    std::size_t graded = 0;
    for (auto _ : state) {
        const std::vector<GradedAttempt> grades = gradeClass({card}, handIns({folder.string()}), 2);
        graded = static_cast<std::size_t>(
            std::count_if(grades.begin(), grades.end(), [](const GradedAttempt& g) {
                // Graded in full: scored, and placed among the same task at random.
                return g.graded() && g.score && g.topPercent;
            }));
    }
    fs::remove_all(folder);
    state.counters["graded"] = static_cast<double>(graded);
}
BENCHMARK(BM_GradeClassOfOneHourAttempts)
    ->Arg(40)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
