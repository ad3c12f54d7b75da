#include "FixedClock.h"
#include "trading/TestDoubles.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using vantrel::frmAbout;
using vantrel::frmMain;
using vantrel::test::FixedClock;

namespace {

QString labelText(const QWidget* dialog, const char* name) {
    const auto* label = dialog->findChild<QLabel*>(QString::fromUtf8(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

// Lets a closed dialog's deferred deletion happen.
void flushDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class AboutTest : public ::testing::Test {
protected:
    FixedClock clock;
    vantrel::RecordingPrompter prompter;
    frmMain window{clock, prompter};
};

TEST_F(AboutTest, OpensModelessAndOwnerlessWithItsCaptions) {
    window.MnuAbout_Click();
    frmAbout* about = window.aboutDialog();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->parent(), nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Vantrel について"));
    EXPECT_EQ(labelText(about, "lblTitle"), QStringLiteral("Vantrel"));
    EXPECT_EQ(labelText(about, "lblVersion"), QStringLiteral("バージョン 0.1.0"));
    EXPECT_FALSE(labelText(about, "lblDescription").isEmpty());
    EXPECT_EQ(labelText(about, "lblLicence"),
              QStringLiteral("GNU GPL v3 以降のもとで配布されます。"));
    EXPECT_EQ(labelText(about, "lblDisclaimer"), QStringLiteral("警告:"));
    EXPECT_FALSE(about->findChild<QLabel*>("lblDisclaimer")->isVisible());
    EXPECT_FALSE(about->findChild<QLabel*>("picIcon")->pixmap().isNull());

    const QFont title = about->findChild<QLabel*>("lblTitle")->font();
    EXPECT_TRUE(title.bold());
    EXPECT_EQ(title.pointSizeF(), 12);
    EXPECT_EQ(title.styleHint(), QFont::Serif);
    const auto* ok = about->findChild<QPushButton*>("cmdOK");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
    // The window carries on meanwhile.
    EXPECT_TRUE(window.timer1().isActive());
}

TEST_F(AboutTest, SecondOpeningReusesTheOpenDialog) {
    window.MnuAbout_Click();
    const QPointer<frmAbout> first = window.aboutDialog();
    window.MnuAbout_Click();
    EXPECT_EQ(window.aboutDialog(), first.data());
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                            [](QWidget* w) { return qobject_cast<frmAbout*>(w) != nullptr; }),
              1);
}

TEST_F(AboutTest, OkDestroysItAndTheNextOpeningSetsCaptionsAfresh) {
    window.MnuAbout_Click();
    QPointer<frmAbout> first = window.aboutDialog();
    first->findChild<QLabel*>("lblVersion")->setText(QStringLiteral("stale"));
    QTest::mouseClick(first->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    flushDeletions();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(window.aboutDialog(), nullptr);

    window.MnuAbout_Click();
    ASSERT_NE(window.aboutDialog(), nullptr);
    EXPECT_EQ(labelText(window.aboutDialog(), "lblVersion"), QStringLiteral("バージョン 0.1.0"));
    EXPECT_EQ(window.aboutDialog()->windowTitle(), QStringLiteral("Vantrel について"));
}

TEST_F(AboutTest, EnterAndEscBothPressOk) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        window.MnuAbout_Click();
        QPointer<frmAbout> about = window.aboutDialog();
        QTest::keyClick(about.data(), key);
        flushDeletions();
        EXPECT_TRUE(about.isNull()) << key;
    }
}

} // namespace
