#include "ui/common/dialogs/ModalDialogs.h"

#include "exercise/ExerciseAttempt.h"
#include "orders/StockInfo.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace vantrel {

namespace {

// The window the user acted in, so the dialog comes up over it.
QWidget* owner() {
    return QApplication::activeWindow();
}

} // namespace

void ModalDialogs::ShowMessage(const std::string& prompt, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(prompt), QMessageBox::Ok, owner());
    box.setObjectName(QStringLiteral("orderMessageBox"));
    // Timers keep running while the box is open; the refusal has already
    // changed nothing, so whatever they do in the meantime is safe.
    box.exec();
}

bool ModalDialogs::confirm(const QString& question) {
    return QMessageBox::question(owner(), QString::fromUtf8(kAppTitle), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> ModalDialogs::askMarketNumber(int current) {
    QDialog dialog(owner());
    dialog.setObjectName(QStringLiteral("frmNewPractice"));
    dialog.setWindowTitle(QStringLiteral("新しい練習"));
    auto* number = new QLineEdit(QString::number(current), &dialog);
    number->setObjectName(QStringLiteral("txtMarketNumber"));
    number->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QStringLiteral("市場番号（1～9999）"), number);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return number->text();
}

std::optional<QString> ModalDialogs::askStudentName() {
    QDialog dialog(owner());
    dialog.setObjectName(QStringLiteral("frmStudentName"));
    dialog.setWindowTitle(QStringLiteral("課題"));
    auto* name = new QLineEdit(&dialog);
    name->setObjectName(QStringLiteral("txtStudentName"));
    name->setMaxLength(static_cast<int>(kAttemptNameMaxCharacters));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(new QLabel(QStringLiteral("提出する記録に残す氏名を入れてください。"), &dialog));
    layout->addRow(QStringLiteral("氏名"), name);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return name->text();
}

QString ModalDialogs::askOpenPath(const QString& title, const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(owner(), title, m_lastFolder, filter);
    remember(path);
    return path;
}

void ModalDialogs::remember(const QString& path) {
    if (!path.isEmpty())
        m_lastFolder = QFileInfo(path).absolutePath();
}

QString ModalDialogs::askSavePath(const QString& title, const QString& suggested,
                                  const QString& filter, const QString& suffix) {
    QFileDialog dialog(owner(), title, QDir(m_lastFolder).filePath(suggested), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    remember(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}

QString ModalDialogs::askFolder(const QString& title) {
    const QString folder = QFileDialog::getExistingDirectory(owner(), title, m_lastFolder);
    if (!folder.isEmpty())
        m_lastFolder = folder;
    return folder;
}

} // namespace vantrel
