#include "ui/about/frmAbout.h"

#include "orders/StockInfo.h"
#include "ui/common/Appearance.h"
#include "ui/common/NumberText.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vantrel {

namespace {

constexpr QSize kClientSize(382, 206);

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(gothicFont(9));
    setFixedSize(kClientSize);

    auto* picIcon = placeWidget<QLabel>(this, QStringLiteral("picIcon"), {12, 12, 32, 32});
    picIcon->setPixmap(programIcon().pixmap(32, 32));

    m_lblTitle = placeWidget<QLabel>(this, QStringLiteral("lblTitle"), {60, 10, 310, 26});
    m_lblTitle->setFont(serifFont(12, true));
    m_lblVersion = placeWidget<QLabel>(this, QStringLiteral("lblVersion"), {60, 38, 310, 20});
    m_lblVersion->setFont(gothicFont(9.75));

    auto* lblDescription =
        placeWidget<QLabel>(this, QStringLiteral("lblDescription"), {60, 64, 310, 20});
    lblDescription->setText(QStringLiteral("株式売買の練習用シミュレーター"));

    auto* text1 = placeWidget<QPlainTextEdit>(this, QStringLiteral("Text1"), {56, 88, 316, 44});
    text1->setPlainText(QStringLiteral("架空の銘柄の板を相手に、指値や成行の注文を\n"
                                       "実際のお金を使わずに試すことができます。"));
    text1->setReadOnly(true);
    text1->setFocusPolicy(Qt::NoFocus);
    text1->setFrameShape(QFrame::NoFrame);
    text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Drawn on the dialog's face, as part of it rather than as an input box.
    QPalette face = text1->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Window));
    text1->setPalette(face);

    auto* line1 = placeWidget<QFrame>(this, QStringLiteral("Line1"), {8, 142, 366, 2});
    line1->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    auto* lblDisclaimer =
        placeWidget<QLabel>(this, QStringLiteral("lblDisclaimer"), {12, 160, 200, 20});
    lblDisclaimer->setText(QStringLiteral("警告:"));
    lblDisclaimer->hide();

    // Beside OK, where the hidden warning would stand, so nothing else moves.
    auto* lblLicence = placeWidget<QLabel>(this, QStringLiteral("lblLicence"), {12, 168, 268, 20});
    lblLicence->setText(QStringLiteral("GNU GPL v3 以降のもとで配布されます。"));

    m_cmdOK = placeWidget<QPushButton>(this, QStringLiteral("cmdOK"), {286, 164, 84, 28});
    m_cmdOK->setText(QStringLiteral("OK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    Form_Load();
}

void frmAbout::Form_Load() {
    const QString title = QString::fromUtf8(kAppTitle);
    setWindowTitle(title + QStringLiteral(" について"));
    m_lblVersion->setText(QStringLiteral("バージョン ") + numberText(VANTREL_VERSION_MAJOR) +
                          QLatin1Char('.') + numberText(VANTREL_VERSION_MINOR) + QLatin1Char('.') +
                          numberText(VANTREL_VERSION_PATCH));
    m_lblTitle->setText(title);
}

void frmAbout::reject() {
    m_cmdOK->click();
}

void frmAbout::cmdOK_Click() {
    done(QDialog::Accepted);
}

} // namespace vantrel
