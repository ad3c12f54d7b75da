#include "exercise/ClassGrading.h"

#include "exercise/ExerciseAttempt.h"
#include "practice/SessionFile.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <new>
#include <thread>
#include <utility>

namespace vantrel {

namespace {

namespace fs = std::filesystem;

// Whether found when the folder is listed or when the entry is opened.
constexpr const char* kLinkInFolder = "フォルダーの中のリンクです";

bool endsInJson(const fs::path& name) {
    std::string extension = name.extension().u8string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".json";
}

GradedAttempt refused(std::string file, GradeRefusal refusal, std::string detail) {
    GradedAttempt attempt;
    attempt.file = std::move(file);
    attempt.refusal = refusal;
    attempt.detail = std::move(detail);
    return attempt;
}

// Two FNV-1a hashes of different bases over the market and each press's
// every field: 128 bits, enough that two different hand-ins never meet.
struct Digest {
    std::uint64_t a = 0xcbf29ce484222325ull;
    std::uint64_t b = 0x84222325cbf29ce4ull;
    void add(const std::string& text) {
        for (const unsigned char c : text) {
            a = (a ^ c) * 0x100000001b3ull;
            b = (b ^ c) * 0x100000001b3ull;
        }
        // A separator, so that "ab","c" and "a","bc" differ.
        a = (a ^ 0x1f) * 0x100000001b3ull;
        b = (b ^ 0x1e) * 0x100000001b3ull;
    }
};

void digestPresses(const SessionRecord& record, GradedAttempt& attempt) {
    Digest digest;
    digest.add(std::to_string(record.market));
    digest.add(std::to_string(record.results.seconds));
    for (const SessionAction& action : record.actions) {
        digest.add(std::to_string(action.second) + ':' +
                   std::to_string(static_cast<int>(action.kind)) + ':' +
                   std::to_string(static_cast<int>(action.form.priceKind)) + ':' +
                   std::to_string(static_cast<int>(action.form.quantityKind)));
        digest.add(action.codeText);
        digest.add(action.form.priceText);
        digest.add(action.form.sharesText);
        digest.add(action.form.yenText);
    }
    attempt.pressesDigest[0] = digest.a;
    attempt.pressesDigest[1] = digest.b;
}

void grade(const std::vector<ExerciseCard>& cards, const std::vector<std::string>& written,
           GradedAttempt& attempt) {
    if (!attempt.graded())
        return;
    std::error_code error;
    const fs::path path = fs::u8path(attempt.file);
    // A folder's entry was no link when listed; it is asked again, and opened
    // refusing one, in case one was swapped in since.
    const fs::file_status status =
        attempt.inFolder ? fs::symlink_status(path, error) : fs::status(path, error);
    if (!error && status.type() == fs::file_type::symlink) {
        attempt.refusal = GradeRefusal::Link;
        attempt.detail = kLinkInFolder;
        return;
    }
    if (error || status.type() != fs::file_type::regular) {
        attempt.refusal = status.type() == fs::file_type::not_found ? GradeRefusal::Damaged
                                                                    : GradeRefusal::NotAFile;
        attempt.detail = status.type() == fs::file_type::not_found
                             ? "ファイルが見つかりません"
                             : "普通のファイルではありません（フォルダー、デバイスやパイプなど）";
        return;
    }
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error && size > kSessionFileMaxBytes) {
        attempt.refusal = GradeRefusal::TooLarge;
        attempt.detail = std::to_string(size) + " バイトあります（" +
                         std::to_string(kSessionFileMaxBytes) + " バイトまで）";
        return;
    }
    AttemptRead read =
        openAttempt(attempt.file, attempt.inFolder ? LinkFollowing::Refuse : LinkFollowing::Follow);
    attempt.name = read.name;
    if (read.link) {
        attempt.refusal = GradeRefusal::Link;
        attempt.detail = kLinkInFolder;
        return;
    }
    if (!read.record) {
        attempt.refusal = GradeRefusal::Damaged;
        attempt.detail = read.error;
        return;
    }
    attempt.market = read.record->market;
    if (!read.card) {
        attempt.refusal = GradeRefusal::AnotherCard;
        attempt.detail = "課題の記録ではありません";
        return;
    }
    // The same card content, not just the same title: a limit loosened in
    // the file's own card makes it another card.
    const auto same = std::find(written.begin(), written.end(), writeExerciseCard(*read.card));
    if (same == written.end()) {
        attempt.refusal = GradeRefusal::AnotherCard;
        attempt.detail = "課題「" + read.card->title + "」の記録です";
        return;
    }
    attempt.card = static_cast<std::size_t>(same - written.begin());
    const AttemptReplay replay = replayAttempt(*read.record, cards[*attempt.card]);
    if (!replay.error.empty()) {
        attempt.refusal = GradeRefusal::NotFromPresses;
        attempt.detail = replay.error;
        return;
    }
    if (read.stored) {
        const std::vector<std::string> differences = differingExercise(*read.stored, *replay.score);
        if (!differences.empty()) {
            attempt.refusal = GradeRefusal::NotFromPresses;
            attempt.detail = differences.front();
            return;
        }
    }
    attempt.score = replay.score->score;
    attempt.unit = replay.score->unit;
    attempt.passed = replay.score->passed;
    if (replay.score->random) {
        attempt.topPercent = replay.score->random->topPercent;
        attempt.randomMedian =
            replay.score->kind == ExerciseKind::RoundTrips ? 50.0 : replay.score->random->median;
    }
    digestPresses(*read.record, attempt);
}

// Competition ranking (1, 2, 2, 4) by score within each card; 往復's score
// is a 上位 N%, where lower is better. An attempt without a score has no rank.
void rank(const std::vector<ExerciseCard>& cards, std::vector<GradedAttempt>& attempts) {
    for (std::size_t c = 0; c < cards.size(); ++c) {
        const bool lowerIsBetter = cards[c].kind == ExerciseKind::RoundTrips;
        std::vector<GradedAttempt*> ranked;
        for (GradedAttempt& attempt : attempts)
            if (attempt.graded() && attempt.card == c && attempt.score)
                ranked.push_back(&attempt);
        const auto better = [lowerIsBetter](const GradedAttempt* x, const GradedAttempt* y) {
            return lowerIsBetter ? *x->score < *y->score : *x->score > *y->score;
        };
        std::stable_sort(ranked.begin(), ranked.end(), better);
        for (std::size_t i = 0; i < ranked.size(); ++i)
            ranked[i]->rank = i > 0 && !better(ranked[i - 1], ranked[i]) ? *ranked[i - 1]->rank
                                                                         : static_cast<int>(i + 1);
    }
    std::map<std::string, std::pair<double, int>> sums;
    const auto student = [](const GradedAttempt& a) {
        return a.name.empty() ? "\n" + a.file : a.name;
    };
    for (const GradedAttempt& attempt : attempts)
        if (attempt.rank) {
            auto& [sum, count] = sums[student(attempt)];
            sum += *attempt.rank;
            ++count;
        }
    for (GradedAttempt& attempt : attempts)
        if (attempt.rank) {
            const auto& [sum, count] = sums[student(attempt)];
            attempt.meanRank = sum / count;
        }
}

void markDuplicates(std::vector<GradedAttempt>& attempts) {
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> first;
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        GradedAttempt& attempt = attempts[i];
        if (!attempt.graded())
            continue;
        const auto [found, inserted] =
            first.emplace(std::make_pair(attempt.pressesDigest[0], attempt.pressesDigest[1]), i);
        if (!inserted && attempts[found->second].card == attempt.card)
            attempt.samePressesAs = found->second;
    }
}

} // namespace

const char* gradeRefusalName(GradeRefusal refusal) {
    switch (refusal) {
    case GradeRefusal::None:
        return "";
    case GradeRefusal::Damaged:
        return "壊れています";
    case GradeRefusal::AnotherCard:
        return "別の課題です";
    case GradeRefusal::NotFromPresses:
        return "結果が操作から出ません";
    case GradeRefusal::TooLarge:
        return "大きすぎます";
    case GradeRefusal::Link:
        return "リンクは辿りません";
    case GradeRefusal::NotAFile:
        return "ファイルではありません";
    }
    return "";
}

std::vector<GradedAttempt> handIns(const std::vector<std::string>& paths) {
    std::vector<GradedAttempt> attempts;
    for (const std::string& given : paths) {
        std::error_code error;
        const fs::path path = fs::u8path(given);
        if (!fs::is_directory(path, error)) {
            attempts.push_back(refused(given, GradeRefusal::None, {}));
            continue;
        }
        std::vector<std::pair<fs::path, bool>> entries; // the name, and whether a link
        for (fs::directory_iterator it(path, error), end; !error && it != end;
             it.increment(error)) {
            const fs::file_status status = it->symlink_status(error);
            if (error)
                break;
            if (status.type() == fs::file_type::directory || !endsInJson(it->path()))
                continue;
            entries.emplace_back(it->path(), status.type() == fs::file_type::symlink);
        }
        if (error) {
            attempts.push_back(refused(given, GradeRefusal::Damaged, "フォルダーを読めません"));
            continue;
        }
        std::sort(entries.begin(), entries.end());
        for (const auto& [entry, link] : entries) {
            attempts.push_back(refused(entry.u8string(),
                                       link ? GradeRefusal::Link : GradeRefusal::None,
                                       link ? kLinkInFolder : ""));
            attempts.back().inFolder = true;
        }
    }
    return attempts;
}

std::vector<GradedAttempt> gradeClass(const std::vector<ExerciseCard>& cards,
                                      std::vector<GradedAttempt> attempts, unsigned threads,
                                      const ChanceProgress& progress) {
    std::vector<std::string> written;
    for (const ExerciseCard& card : cards)
        written.push_back(writeExerciseCard(card));
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, attempts.size()));
    // Each worker takes the next file until none is left; each attempt is
    // written by one worker only, so the class needs no lock.
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    const auto cancelled = [&progress] { return progress.cancel && progress.cancel->load(); };
    const auto work = [&] {
        for (std::size_t i; !cancelled() && (i = next.fetch_add(1)) < attempts.size();) {
            try {
                grade(cards, written, attempts[i]);
            } catch (const std::bad_alloc&) {
                attempts[i].refusal = GradeRefusal::Damaged;
                attempts[i].detail = kOutOfMemory;
            }
            const std::size_t finished = done.fetch_add(1) + 1;
            if (progress.report)
                progress.report(static_cast<double>(finished) / attempts.size());
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    if (cancelled())
        return {};
    markDuplicates(attempts);
    rank(cards, attempts);
    return attempts;
}

ClassHistogram classHistogram(const std::vector<GradedAttempt>& attempts, std::size_t card) {
    ClassHistogram histogram;
    std::vector<double> scores, middles;
    for (const GradedAttempt& attempt : attempts) {
        if (!attempt.graded() || attempt.card != card || !attempt.score || attempt.samePressesAs)
            continue;
        scores.push_back(*attempt.score);
        histogram.unit = attempt.unit;
        if (attempt.randomMedian)
            middles.push_back(*attempt.randomMedian);
    }
    histogram.scored = static_cast<int>(scores.size());
    if (scores.empty())
        return histogram;
    std::sort(scores.begin(), scores.end());
    std::sort(middles.begin(), middles.end());
    if (!middles.empty()) {
        const std::size_t half = middles.size() / 2;
        histogram.randomMedian =
            middles.size() % 2 ? middles[half] : (middles[half - 1] + middles[half]) / 2;
    }
    // The random traders' middle is drawn on the same axis, so the bins reach it.
    int unused = 0;
    histogram.bins =
        chanceHistogram(scores, histogram.randomMedian.value_or(scores.front()), unused);
    return histogram;
}

} // namespace vantrel
