#include "WindowFixture.h"
#include "practice/SessionFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace vantrel {
namespace {

// Time moves only when the test steps it.
struct SessionFileWindowTest : test::WindowFixture {
    void SetUp() override { pause(); }
    void use(const char* menu, const QString& path) {
        dialogs.path = path;
        action(menu)->trigger();
    }
    QTemporaryDir folder;
};

TEST_F(SessionFileWindowTest, SavedSessionReplaysWithButtonsInertAndCanBeTakenOver) {
    seconds(2);
    buyAtMarket();
    seconds(10);
    ASSERT_EQ(label("lblAmount"), QStringLiteral("1000"));
    const SessionResults played = window.session().results();
    const QString path = folder.filePath(QStringLiteral("session.json"));
    use("MnuSaveSession", path);
    EXPECT_TRUE(log().endsWith(QStringLiteral("練習を保存しました（session.json）。")));
    use("MnuSaveSession", folder.filePath(QStringLiteral("missing/session.json")));
    EXPECT_EQ(dialogs.boxes, 1);
    EXPECT_EQ(dialogs.lastBox.rfind("練習を保存できませんでした。", 0), 0u);
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("missing"))));

    // Shares are held: opening asks first, and declining keeps the practice.
    dialogs.answer = false;
    use("MnuOpenSession", path);
    EXPECT_EQ(dialogs.questions, QStringList({"保有株または注文中の注文があります。"
                                              "破棄して練習ファイルを開きますか？"}));
    EXPECT_FALSE(window.session().replaying());
    dialogs.answer = true;

    // A refused file leaves the practice as it was.
    const QString bad = folder.filePath(QStringLiteral("bad.json"));
    QFile badFile(bad);
    ASSERT_TRUE(badFile.open(QIODevice::WriteOnly));
    badFile.write("{\"format\": 1}");
    badFile.close();
    const QString before = log();
    use("MnuOpenSession", bad);
    EXPECT_EQ(dialogs.boxes, 2);
    EXPECT_NE(dialogs.lastBox.find("program がありません"), std::string::npos);
    EXPECT_EQ(log(), before);
    EXPECT_EQ(window.session().market().tickCount(), 12u);

    find<QRadioButton>("optBuyOpt0")->click();
    find<QLineEdit>("txtBuyAmount")->clear();
    use("MnuOpenSession", path);
    EXPECT_TRUE(log().endsWith(QStringLiteral("新しい練習を始めました（市場番号 1）。\n"
                                              "2024/03/05 9:07:03  練習ファイル session.json "
                                              "を再生します（12秒まで）。")));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantrel - 一時停止 - 再生中 0/12"));
    EXPECT_TRUE(action("MnuTakeOver")->isEnabled());
    // Only the file acts: the buttons say so, and its buy shows in the form.
    for (const char* button : {"cmdBuyNow", "cmdSellNow", "cmdCancelOldest"}) {
        EXPECT_FALSE(find<QPushButton>(button)->isEnabled()) << button;
        EXPECT_FALSE(find<QPushButton>(button)->toolTip().isEmpty()) << button;
    }
    seconds(1);
    EXPECT_EQ(label("lblOrderType"), QString());
    seconds(1);
    EXPECT_EQ(label("lblOrderType"), QStringLiteral("買"));
    EXPECT_TRUE(find<QRadioButton>("optBuyOpt1")->isChecked());
    EXPECT_EQ(find<QLineEdit>("txtBuyAmount")->text(), QStringLiteral("1000"));
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("再生中 2/12")));

    // Taken over at second 2: the recorded buy stays, and the buttons act again.
    action("MnuTakeOver")->trigger();
    EXPECT_FALSE(window.session().replaying());
    EXPECT_FALSE(action("MnuTakeOver")->isEnabled());
    EXPECT_FALSE(window.windowTitle().contains(QStringLiteral("再生中")));
    EXPECT_TRUE(log().endsWith(QStringLiteral("再生を止め、2秒から練習を引き継ぎました。")));
    EXPECT_TRUE(find<QPushButton>("cmdCancelOldest")->isEnabled());
    find<QPushButton>("cmdCancelOldest")->click();
    EXPECT_EQ(label("lblOrderType"), QString());
    EXPECT_EQ(window.session().record().actions.size(), 2u);

    // Reaching the end of the file hands over too, at the saved result.
    use("MnuOpenSession", path);
    seconds(12);
    EXPECT_FALSE(window.session().replaying());
    EXPECT_TRUE(
        log().endsWith(QStringLiteral("再生が終わりました（12秒）。ここから練習を続けられます。")));
    const Figures figures = window.session().figures();
    EXPECT_EQ(figures[Measure::TotalAssets], played.figures[Measure::TotalAssets]);
    EXPECT_EQ(figures[Measure::Holdings], 1000);
}

// What is not a session is refused with a box naming it, at once, and the
// practice goes on untouched: nothing blocks, runs out of memory or crashes.
TEST_F(SessionFileWindowTest, FilesThatAreNotSessionsAreRefusedWithABox) {
    const QString pipe = folder.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString deep = folder.filePath(QStringLiteral("deep.json"));
    QFile deepFile(deep);
    ASSERT_TRUE(deepFile.open(QIODevice::WriteOnly));
    deepFile.write("{\"a\": " + QByteArray(100000, '[') + QByteArray(100000, ']') + ", \"b\": 1}");
    deepFile.close();
    const std::vector<std::pair<QString, std::string>> cases = {
        {folder.path(), "ファイルではなくフォルダーです"},
        {pipe, "普通のファイルではありません（デバイスやパイプなど）"},
        {QStringLiteral("/dev/zero"), "普通のファイルではありません（デバイスやパイプなど）"},
        {deep, "入れ子が深すぎます（1 行 10 列、4 段まで）"},
    };
    seconds(3);
    for (const auto& [path, message] : cases) {
        const int boxes = dialogs.boxes;
        use("MnuOpenSession", path);
        EXPECT_EQ(dialogs.boxes, boxes + 1);
        EXPECT_EQ(dialogs.lastBox, "練習を開けませんでした。\n" + path.toStdString() + "\n" +
                                       message + " | Vantrel");
        EXPECT_EQ(window.session().elapsed(), 3u);
    }
}

} // namespace
} // namespace vantrel
