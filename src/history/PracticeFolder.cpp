#include "history/PracticeFolder.h"

#include "orders/StockInfo.h"
#include "practice/SessionFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

namespace vantrel {

namespace fs = std::filesystem;

bool isKeptPracticeName(const std::string& name) {
    static const std::regex pattern(R"(\d{4}-\d\d-\d\d_\d{6}_market\d{1,4}(_\d+)?\.json)");
    return std::regex_match(name, pattern);
}

ListedPractice readListedPractice(const std::string& path) {
    ListedPractice listed;
    listed.path = path;
    listed.name = fs::u8path(path).filename().u8string();
    // The type first: opening a named pipe would wait for a writer.
    std::error_code error;
    const fs::file_status status = fs::status(fs::u8path(path), error);
    if (status.type() == fs::file_type::regular) {
        std::ifstream file(fs::u8path(path), std::ios::binary);
        std::array<char, kSummaryHeadBytes> head{};
        file.read(head.data(), head.size());
        SummaryRead read =
            readSummary(std::string(head.data(), static_cast<std::size_t>(file.gcount())));
        if (read.summary) {
            listed.summary = read.summary;
            return listed;
        }
    }
    // No summary in front: read it as 練習を開く would, strictly.
    const SessionFileRead whole = openSessionFile(path);
    if (!whole.record) {
        listed.error = whole.error;
        return listed;
    }
    PracticeSummary summary;
    summary.market = whole.record->market;
    summary.seconds = whole.record->results.seconds;
    summary.netProfit = whole.record->results.figures["netProfit"].value_or(0);
    summary.profitRate = summary.netProfit / stock::kStartPower * 100;
    listed.summary = summary;
    return listed;
}

std::vector<ListedPractice> listPractices(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator it(fs::u8path(folder), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().u8string();
        if (it->path().extension() == ".json" && name.front() != '.')
            paths.push_back(it->path().u8string());
    }
    std::sort(paths.begin(), paths.end(), std::greater<>());
    std::vector<ListedPractice> listed;
    listed.reserve(paths.size());
    for (const std::string& path : paths)
        listed.push_back(readListedPractice(path));
    return listed;
}

std::size_t pruneKeptPractices(const std::string& folder, std::size_t limit,
                               const std::string& keep) {
    std::vector<fs::path> kept;
    std::error_code error;
    for (fs::directory_iterator it(fs::u8path(folder), error), end; !error && it != end;
         it.increment(error)) {
        if (isKeptPracticeName(it->path().filename().u8string()) && it->is_regular_file(error) &&
            it->path() != fs::u8path(keep))
            kept.push_back(it->path());
    }
    // The practice under way counts towards the limit too.
    const std::size_t count = kept.size() + (fs::exists(fs::u8path(keep), error) ? 1 : 0);
    if (count <= limit)
        return 0;
    std::sort(kept.begin(), kept.end());
    std::size_t removed = 0;
    for (std::size_t i = 0; i < std::min(count - limit, kept.size()); ++i)
        removed += fs::remove(kept[i], error) ? 1 : 0;
    return removed;
}

} // namespace vantrel
