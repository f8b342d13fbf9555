// The spooled-file list that the screen's grid shows: what goes in comes out
// by row and column, and the view sees every row once the list has ended.
#include <gtest/gtest.h>

#include "SpoolFileList.h"

TEST(SpoolFileList, RowsOfABlockComeBackByColumnAndReachTheViewWhenTheListEnds) {
    SpoolFileList list;
    ASSERT_TRUE(list.addColumn(QStringLiteral("Date"), QStringLiteral("Date")));
    ASSERT_TRUE(list.addColumn(QStringLiteral("File"), QStringLiteral("File")));
    EXPECT_FALSE(list.addColumn(QStringLiteral("File"), QStringLiteral("again"))) << "one column a key";
    // Cells given in another order than the columns', one missing.
    list.addRows({1, 0}, {{QStringLiteral("INVOICE"), QStringLiteral("2004/03/15 14:22:07")}, {QStringLiteral("STMT")}});
    list.publish();
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.data(list.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("INVOICE"));
    EXPECT_EQ(list.data(list.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("2004/03/15 14:22:07"));
    EXPECT_EQ(list.cell(1, 1), QStringLiteral("STMT"));
    EXPECT_EQ(list.cell(1, 0), QString());
    EXPECT_EQ(list.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("File"));

    // A column added to a list with rows keeps every cell where it was.
    ASSERT_TRUE(list.addColumn(QStringLiteral("User"), QStringLiteral("User")));
    EXPECT_EQ(list.cell(0, 1), QStringLiteral("INVOICE"));
    EXPECT_EQ(list.cell(1, 2), QString());

    // A long list: every row is there, none twice.
    std::vector<QStringList> many;
    for (int i = 0; i < 1234; ++i) many.push_back({QString::number(i)});
    list.addRows({1}, many);
    list.publish();
    ASSERT_EQ(list.rowCount(), 2 + 1234);
    EXPECT_EQ(list.cell(2 + 1233, 1), QStringLiteral("1233"));
    list.clear();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columns(), 3) << "the columns stay";
}
