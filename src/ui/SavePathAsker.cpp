#include "ui/SavePathAsker.h"

#include <QFileDialog>

namespace vantrel {

QString FileDialogSavePathAsker::askSavePath(QWidget* parent, const QString& title,
                                             const QString& suggested, const QString& filter) {
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    // An existing file is replaced only after the dialog has asked.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace vantrel
