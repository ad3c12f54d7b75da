#include "ui/common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

// Lets no file of this process grow past a few bytes while it lives: writes
// beyond fail with EFBIG as they would on a full disk, through the real file
// system, whether they reach it from write() or from the flush.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_saved{};
    void (*m_signal)(int) = nullptr;
};

// A failed write says why in Japanese, keeps the old file byte for byte and
// leaves nothing else behind, whether it fails on the buffered last bytes,
// on a large write or because the folder has gone.
TEST(AtomicFile, AFailedWriteKeepsTheOldFileAndSaysWhyInJapanese) {
    struct Row {
        const char* name;
        std::size_t size;
        bool limited;
        const char* folder;
        const char* reason;
    };
    for (const Row& row :
         {Row{"flush", 4000, true, "", "ファイルが大きすぎます。"},
          Row{"write", 1000000, true, "", "ファイルが大きすぎます。"},
          Row{"folder", 10, false, "gone/", "保存先のフォルダーが見つかりません。"}}) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("%1target.csv").arg(row.folder));
        const QByteArray old("old contents\n");
        QFile existing(folder.filePath(QStringLiteral("target.csv")));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write(old) == old.size());
        existing.close();

        std::optional<QString> problem;
        {
            std::optional<FileSizeLimit> limit;
            if (row.limited)
                limit.emplace(100);
            problem = vantrel::writeFileAtomically(path, std::string(row.size, 'x'));
        }
        EXPECT_EQ(problem.value_or(QStringLiteral("(written)")).toStdString(), row.reason)
            << row.name;
        ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
        EXPECT_EQ(existing.readAll(), old) << row.name;
        EXPECT_EQ(QDir(folder.path())
                      .entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("target.csv")})
            << row.name;
    }
}

} // namespace
