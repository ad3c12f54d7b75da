#include "ui/common/dialogs/CardFile.h"

#include "ui/common/dialogs/Dialogs.h"

namespace vantrel {

std::optional<ExerciseCard> askForCardFile(Dialogs& dialogs) {
    const QString path = dialogs.askOpenPath(QStringLiteral("課題ファイルを開く"),
                                             QStringLiteral("課題ファイル (*.json)"));
    if (path.isEmpty())
        return std::nullopt;
    ExerciseCardRead read = openExerciseCard(path.toStdString());
    if (!read.card)
        dialogs.ShowMessage(
            "課題ファイルを開けませんでした。\n" + path.toStdString() + "\n" + read.error, "課題");
    return std::move(read.card);
}

} // namespace vantrel
