#include "ui/common/AtomicFile.h"

#include <QSaveFile>

namespace vantrel {

std::optional<QString> writeFileAtomically(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (file.commit())
            return std::nullopt;
    }
    return file.errorString();
}

} // namespace vantrel
