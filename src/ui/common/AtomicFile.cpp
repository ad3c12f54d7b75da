#include "ui/common/AtomicFile.h"

#include <QSaveFile>

#include <cerrno>

namespace vantrel {

std::optional<QString> writeFileAtomically(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    // Each step is checked before the next: Qt's commit renames the file over
    // the target even when the last buffered bytes could not be written.
    errno = 0;
    bool written = file.open(QIODevice::WriteOnly) &&
                   file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                       static_cast<qint64>(bytes.size()) &&
                   file.flush();
    // Taken at once, before cancelWriting() puts its own text in their place.
    int systemError = errno;
    QFileDevice::FileError error = file.error();
    QString systemText = file.errorString();
    if (written) {
        errno = 0;
        if (file.commit())
            return std::nullopt;
        systemError = errno;
        error = file.error();
        systemText = file.errorString();
    } else if (file.isOpen()) {
        // The temporary file goes with the QSaveFile; the target stays as it was.
        file.cancelWriting();
    }
    return fileProblemText(error, systemError, systemText);
}

QString fileProblemText(QFileDevice::FileError error, int systemError, const QString& systemText) {
    switch (systemError) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("この場所に書き込む権限がないか、読み取り専用です。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("保存先のフォルダーが見つかりません。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    default:
        break;
    }
    // Where the system's code is lost, Qt's own class of the failure still says.
    if (error == QFileDevice::PermissionsError)
        return QStringLiteral("この場所に書き込む権限がないか、読み取り専用です。");
    return systemText.isEmpty() ? QStringLiteral("書き込めませんでした。") : systemText;
}

QString safeFileName(const QString& name) {
    QString safe = name.left(100);
    for (QChar& c : safe)
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    return safe;
}

} // namespace vantrel
