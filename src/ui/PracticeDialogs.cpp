#include "ui/PracticeDialogs.h"

#include "trading/StockInfo.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

namespace vantrel {

bool DialogPracticeDialogs::confirm(const QString& question) {
    return QMessageBox::question(m_parent, QString::fromUtf8(kAppTitle), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> DialogPracticeDialogs::askMarketNumber(int current) {
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("frmNewPractice"));
    dialog.setWindowTitle(QStringLiteral("新しい練習"));
    auto* number = new QLineEdit(QString::number(current), &dialog);
    number->setObjectName(QStringLiteral("txtMarketNumber"));
    number->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QStringLiteral("市場番号"), number);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return number->text();
}

namespace {
const QString kSessionFilter = QStringLiteral("練習ファイル (*.json)");
}

QString DialogPracticeDialogs::askSessionSavePath() {
    QFileDialog dialog(m_parent, QStringLiteral("練習を保存"), QString(), kSessionFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString DialogPracticeDialogs::askSessionOpenPath() {
    return QFileDialog::getOpenFileName(m_parent, QStringLiteral("練習を開く"), QString(),
                                        kSessionFilter);
}

} // namespace vantrel
