#include "ui/MessageBoxPrompter.h"

#include <QMessageBox>

namespace vantrel {

void MessageBoxPrompter::ShowMessage(const std::string& prompt, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(prompt), QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("orderMessageBox"));
    // Timers keep running while the box is open; the refusal has already
    // changed nothing, so whatever they do in the meantime is safe.
    box.exec();
}

} // namespace vantrel
