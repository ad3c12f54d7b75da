#include "support/ClassFolder.h"

#include "exercise/ExerciseAttempt.h"
#include "exercise/ExerciseRandom.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "trading/SilentLog.h"

#include <fstream>
#include <stdexcept>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vantrel::test {

namespace fs = std::filesystem;

const char* const kClassCard = R"({"format":1,"title":"買い集め","instructions":"i","market":1,
    "start":600,"timeLimit":300,"kind":"accumulate","shares":2000,"maxShares":2000})";

ExerciseCard readCard(const std::string& text) {
    ExerciseCardRead read = readExerciseCard(text);
    if (!read.card)
        throw std::runtime_error(read.error);
    return std::move(*read.card);
}

std::string attemptFile(const ExerciseCard& card, const std::string& name,
                        const std::map<std::uint64_t, std::string>& buys,
                        const std::map<std::uint64_t, std::string>& sells) {
    SilentLog quiet;
    PracticeSession session(quiet, quiet);
    ExerciseRun run(session, card);
    run.start(card.market.value_or(1));
    while (run.running()) {
        const std::uint64_t second = session.elapsed() - run.trace().start;
        if (const auto buy = buys.find(second); buy != buys.end())
            run.pressBuy("9999", {PriceKind::Market, "", QuantityKind::Shares, buy->second, ""});
        if (const auto sell = sells.find(second); sell != sells.end())
            run.pressSell("9999", {PriceKind::Market, "", QuantityKind::Shares, sell->second, ""});
        run.step();
    }
    const ExerciseFacts facts = run.facts();
    const ExerciseScore score = scoreExercise(facts, sameTaskAtRandom(facts));
    SessionRecord record = attemptRecord(run, score);
    record.exercise = exerciseMember(card, &score, name);
    return writeSessionFile(record).text.value_or("");
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos)
        throw std::runtime_error("not found: " + from);
    return text.replace(at, from.size(), to);
}

int writeClass(const fs::path& folder, int honest) {
    static const char* const family[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤",
                                         "渡辺", "山本", "中村", "小林", "加藤"};
    static const char* const given[] = {"花子", "一郎", "美咲", "健"};
    const ExerciseCard card = readCard(kClassCard);
    int files = 0;
    const auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(folder / fs::u8path(name), std::ios::binary) << text;
        ++files;
        return folder / fs::u8path(name);
    };
    std::string first;
    for (int i = 0; i < honest; ++i) {
        const std::string name = std::string(family[i % 10]) + " " + given[(i / 10) % 4];
        // Each student buys at seconds of their own: some early, some late,
        // some in one order and some in two.
        std::map<std::uint64_t, std::string> buys;
        if (i % 3 == 0)
            buys = {{static_cast<std::uint64_t>((i * 37) % 290), "2000"}};
        else
            buys = {{static_cast<std::uint64_t>((i * 11) % 140), "1000"},
                    {static_cast<std::uint64_t>(150 + (i * 23) % 140), "1000"}};
        const std::string text = attemptFile(card, name, buys);
        if (i == 0)
            first = text;
        char file[32];
        std::snprintf(file, sizeof file, "s%02d.json", i + 1);
        write(file, text);
    }
    const std::string firstName = "佐藤 花子";
    write("x-copy.json", replaced(first, firstName, "写 し子"));
    // Names and file names a spreadsheet would take for formulas, on
    // attempts of their own.
    write("=formula.json", attemptFile(card, "=HYPERLINK(\"http://x\")", {{40, "2000"}}));
    write("+plus.json", attemptFile(card, "+81 90", {{80, "2000"}}));
    write("-minus.json", attemptFile(card, "-1", {{120, "2000"}}));
    write("@at.json", attemptFile(card, "@SUM(A1)", {{160, "2000"}}));
    write("x-other-card.json", replaced(first, "\"買い集め\"", "\"別の課題\""));
    write("x-loosened.json", replaced(first, "\"maxShares\":2000", "\"maxShares\":9000"));
    const std::size_t at = first.find("\"score\":");
    write("x-raised.json",
          first.substr(0, at) + "\"score\":999" + first.substr(first.find_first_of(",}", at)));
    write("x-long-name.json", replaced(first, firstName, std::string(10000, 'x')));
    write("x-control.json", replaced(first, firstName, "山田\\u001b[2J"));
    write("x-damaged.json", first.substr(0, first.size() / 2));
    fs::resize_file(write("x-huge.json", first), kSessionFileMaxBytes + 1);
    write("notes.txt", "not an attempt");
    --files;
#ifndef _WIN32
    fs::create_symlink(folder / "s01.json", folder / "x-link.json");
    ++files;
    if (::mkfifo((folder / "x-pipe.json").c_str(), 0600) == 0)
        ++files;
#endif
    return files;
}

} // namespace vantrel::test
