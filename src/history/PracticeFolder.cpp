#include "history/PracticeFolder.h"

#include "orders/StockInfo.h"
#include "practice/SessionFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <tuple>

#if defined(__unix__) || defined(__APPLE__)
#define VANTREL_POSIX_FILES 1
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// A file as it was opened: its first bytes, the rest on demand, read from
// the descriptor whose type was checked.
class OpenedFile {
public:
    explicit OpenedFile(const std::string& path) {
#ifdef VANTREL_POSIX_FILES
        // Not blocking: a named pipe would otherwise wait here for a writer.
        m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat opened {};
        if (m_fd < 0 || ::fstat(m_fd, &opened) != 0) {
            m_error = errno == ENOENT ? "ファイルが見つかりません" : "ファイルを読めません";
            return;
        }
        if (S_ISDIR(opened.st_mode)) {
            m_error = "ファイルではなくフォルダーです";
            return;
        }
        if (!S_ISREG(opened.st_mode)) {
            m_error = "普通のファイルではありません（デバイスやパイプなど）";
            return;
        }
        // The entry itself, not what a link points to: only then may it be
        // counted as a file of Vantrel's own.
        struct stat entry {};
        m_entryIsThisFile = ::lstat(path.c_str(), &entry) == 0 && S_ISREG(entry.st_mode) &&
                            entry.st_dev == opened.st_dev && entry.st_ino == opened.st_ino;
#else
        std::error_code error;
        const fs::file_status status = fs::symlink_status(fs::u8path(path), error);
        if (status.type() == fs::file_type::directory) {
            m_error = "ファイルではなくフォルダーです";
            return;
        }
        m_file.open(fs::u8path(path), std::ios::binary);
        if (!m_file) {
            m_error = "ファイルを読めません";
            return;
        }
        m_entryIsThisFile = status.type() == fs::file_type::regular;
#endif
        m_readable = true;
    }
    ~OpenedFile() {
#ifdef VANTREL_POSIX_FILES
        if (m_fd >= 0)
            ::close(m_fd);
#endif
    }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    bool readable() const {
        return m_readable;
    }
    bool entryIsThisFile() const {
        return m_entryIsThisFile;
    }
    const std::string& error() const {
        return m_error;
    }

    // Appends up to `count` more bytes; false on a read error.
    bool readMore(std::string& text, std::size_t count) {
        std::array<char, 1 << 16> chunk;
        while (count > 0) {
            const std::size_t want = std::min(count, chunk.size());
#ifdef VANTREL_POSIX_FILES
            const ssize_t got = ::read(m_fd, chunk.data(), want);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
#else
            m_file.read(chunk.data(), static_cast<std::streamsize>(want));
            const std::streamsize got = m_file.gcount();
            if (m_file.bad())
                return false;
#endif
            if (got == 0)
                return true;
            text.append(chunk.data(), static_cast<std::size_t>(got));
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }

private:
#ifdef VANTREL_POSIX_FILES
    int m_fd = -1;
#else
    std::ifstream m_file;
#endif
    bool m_readable = false;
    bool m_entryIsThisFile = false;
    std::string m_error;
};

// Own files with their place, for the limit.
struct OwnFile {
    std::uint64_t order;
    std::string name;
};

std::vector<OwnFile> ownKeptFiles(const std::string& folder) {
    std::vector<OwnFile> own;
    for (const std::string& name : practiceFileNames(folder)) {
        if (!isKeptPracticeName(name))
            continue;
        const ListedPractice listed =
            readListedPractice((fs::u8path(folder) / fs::u8path(name)).u8string());
        if (listed.own)
            own.push_back({listed.summary->order, name});
    }
    return own;
}

} // namespace

bool isKeptPracticeName(const std::string& name) {
    // The market as the keeper writes it (1 to 9999, no leading zero), and
    // the second practice of a second as _2, _3, ….
    static const std::regex pattern(
        R"(\d{4}-\d\d-\d\d_\d{6}_market[1-9]\d{0,3}(_[2-9]|_[1-9]\d+)?\.json)");
    return std::regex_match(name, pattern);
}

ListedPractice readListedPractice(const std::string& path) {
    ListedPractice listed;
    listed.path = path;
    listed.name = fs::u8path(path).filename().u8string();
    OpenedFile file(path);
    if (!file.readable()) {
        listed.error = file.error();
        return listed;
    }
    std::string text;
    if (!file.readMore(text, kSummaryHeadBytes)) {
        listed.error = "ファイルを読めません";
        return listed;
    }
    SummaryRead read = readSummary(text);
    if (read.summary) {
        listed.identity = headIdentity(text);
        listed.own = file.entryIsThisFile() && isKeptPracticeName(listed.name) &&
                     read.summary->keptAs == listed.name;
        listed.summary = std::move(read.summary);
        return listed;
    }
    if (read.error != "要約がありません") {
        // A summary is there but damaged or impossible: said as such.
        listed.error = read.error;
        return listed;
    }
    // No summary in front: read it as 練習を開く would, strictly, from the
    // same descriptor; one byte past the limit is enough to refuse.
    if (!file.readMore(text, kSessionFileMaxBytes + 1 - text.size())) {
        listed.error = "ファイルを読めません";
        return listed;
    }
    const SessionFileRead whole = readSessionFile(text);
    if (!whole.record) {
        listed.error = whole.error;
        return listed;
    }
    PracticeSummary summary;
    summary.market = whole.record->market;
    summary.seconds = whole.record->results.seconds;
    summary.netProfit = whole.record->results.figures[Measure::NetProfit].value_or(0);
    summary.profitRate = summary.netProfit / stock::kStartPower * 100;
    listed.summary = summary;
    return listed;
}

FileBytes readFileBytes(const std::string& path) {
    OpenedFile file(path);
    std::string text;
    if (!file.readable())
        return {std::nullopt, file.error()};
    if (!file.readMore(text, kSessionFileMaxBytes + 1))
        return {std::nullopt, "ファイルを読めません"};
    if (text.size() > kSessionFileMaxBytes)
        return {std::nullopt, "ファイルが大きすぎます"};
    return {std::move(text), {}};
}

PracticeFileRead readPracticeFile(const std::string& path) {
    const FileBytes file = readFileBytes(path);
    if (!file.bytes)
        return {{std::nullopt, file.error}, 0};
    return {readSessionFile(*file.bytes), headIdentity(*file.bytes)};
}

std::vector<std::string> practiceFileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(fs::u8path(folder), error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().u8string();
        if (it->path().extension() == ".json" && name.front() != '.')
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), std::greater<>());
    return names;
}

std::vector<ListedPractice> listPractices(const std::string& folder) {
    const std::vector<std::string> names = practiceFileNames(folder);
    std::vector<ListedPractice> listed;
    listed.reserve(names.size());
    for (const std::string& name : names)
        listed.push_back(readListedPractice((fs::u8path(folder) / fs::u8path(name)).u8string()));
    return listed;
}

std::uint64_t nextKeptOrder(const std::string& folder) {
    std::uint64_t highest = 0;
    for (const OwnFile& file : ownKeptFiles(folder))
        highest = std::max(highest, file.order);
    return highest + 1;
}

std::size_t pruneKeptPractices(const std::string& folder, std::size_t limit,
                               const std::string& keep) {
    std::vector<OwnFile> own = ownKeptFiles(folder);
    if (own.size() <= limit)
        return 0;
    const std::size_t excess = own.size() - limit;
    std::sort(own.begin(), own.end(), [](const OwnFile& a, const OwnFile& b) {
        return std::tie(a.order, a.name) < std::tie(b.order, b.name);
    });
    const std::string kept = fs::u8path(keep).filename().u8string();
    own.erase(std::remove_if(own.begin(), own.end(),
                             [&kept](const OwnFile& file) { return file.name == kept; }),
              own.end());
    if (!own.empty())
        own.pop_back(); // the one kept before it
    std::size_t removed = 0;
    std::error_code error;
    for (std::size_t i = 0; i < std::min(excess, own.size()); ++i)
        removed += fs::remove(fs::u8path(folder) / fs::u8path(own[i].name), error) ? 1 : 0;
    return removed;
}

namespace {
// The index's first member: a file without it is not Vantrel's index.
constexpr const char* kTopPercentMark = "vantrelTopPercents";
} // namespace

std::optional<TopPercents> readTopPercents(const std::string& folder) {
    const std::string path = (fs::u8path(folder) / kTopPercentFileName).u8string();
    std::error_code error;
    if (fs::symlink_status(fs::u8path(path), error).type() == fs::file_type::not_found)
        return TopPercents();
    OpenedFile file(path);
    std::string text;
    if (!file.readable() || !file.entryIsThisFile() ||
        !file.readMore(text, kTopPercentFileMaxBytes + 1) || text.size() > kTopPercentFileMaxBytes)
        return std::nullopt;
    const nlohmann::json whole = nlohmann::json::parse(text, nullptr, false);
    if (!whole.is_object() || whole.value(kTopPercentMark, 0) != 1 ||
        !whole.contains("practices") || !whole["practices"].is_object())
        return std::nullopt;
    TopPercents values;
    for (const auto& [name, entry] : whole["practices"].items()) {
        // A damaged entry alone is passed over: computed again, not shown.
        if (!entry.is_object() || !entry.contains("head") || !entry["head"].is_number_unsigned() ||
            !entry.contains("top") || !entry["top"].is_number())
            continue;
        const double top = entry["top"].get<double>();
        if (top >= 0 && top <= 100)
            values[name] = {entry["head"].get<std::uint64_t>(), top};
    }
    return values;
}

std::string topPercentsText(const TopPercents& values) {
    nlohmann::ordered_json whole;
    whole[kTopPercentMark] = 1;
    nlohmann::ordered_json& practices = whole["practices"] = nlohmann::ordered_json::object();
    for (const auto& [name, value] : values)
        practices[name] = {{"head", value.identity}, {"top", value.topPercent}};
    // A name that is not UTF-8 is written mangled: it then matches no file.
    return whole.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace vantrel
