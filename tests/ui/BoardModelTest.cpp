#include "ui/BoardModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

using vantrel::BoardModel;
using vantrel::BoardRow;

namespace {

// Collects what QAbstractItemModelTester reports instead of aborting.
QStringList g_modelFaults;
void recordModelFaults(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QByteArray(context.category ? context.category : "").startsWith("qt.modeltest"))
        g_modelFaults << message;
}

QStringList rowTexts(const BoardModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

TEST(BoardModel, PassesTheModelTesterThroughResets) {
    g_modelFaults.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordModelFaults);
    {
        BoardModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        model.setRows({{503, 12000, 0}, {502, 0, 0}, {501, 0, 3000}});
        model.setRows({});
        model.setRows(std::vector<BoardRow>(11, BoardRow{500, 1000, 0}));
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_modelFaults.isEmpty()) << g_modelFaults.join('\n').toStdString();
}

TEST(BoardModel, ShowsEachSideOnlyWhereItHasShares) {
    BoardModel model;
    model.setRows({{503, 12000, 0}, {502, 0, 0}, {501, 0, 3000}, {1000, 1e6, 0}});
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(rowTexts(model, 0), QStringList({"", "12000", "", "503", "", ""}));
    EXPECT_EQ(rowTexts(model, 1), QStringList({"", "", "", "502", "", ""}));
    EXPECT_EQ(rowTexts(model, 2), QStringList({"", "", "", "501", "", "3000"}));
    // Plain digits, never grouping or exponent notation.
    EXPECT_EQ(rowTexts(model, 3), QStringList({"", "1000000", "", "1000", "", ""}));
}

} // namespace
