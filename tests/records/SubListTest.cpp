#include "records/SubList.h"
#include "TestCatalogue.h"
#include "platform/Database.h"

#include <gtest/gtest.h>
#include <random>

using namespace quelm;
using platform::Value;
using records::ReadMainRow;
using records::ReadSubRows;

namespace {

struct SubList : ::testing::Test {
    test::TestCatalogue cat;

    void current(std::int32_t regNo, std::int16_t mode = 0, std::int32_t subNo = 0) {
        cat.state.CurrentSection = 4;
        cat.state.ListMode = mode;
        cat.state.CurrentRegNo = regNo;
        cat.state.CurrentSubNo = subNo;
    }
    std::vector<QStringList> read() {
        auto db = cat.open();
        std::vector<QStringList> out;
        for (const platform::ListRow& row : ReadSubRows(*db, cat.state))
            out.push_back(row.cells());
        return out;
    }
};

TEST_F(SubList, ColumnsOfBothLists) {
    const auto sub = records::SubListColumns(cat.state.config[4]);
    ASSERT_EQ(sub.size(), 12u);
    EXPECT_EQ(sub[0].widthTwips, 3700);
    EXPECT_EQ(sub[1].widthTwips, 2000);
    EXPECT_EQ(sub[7].widthTwips, 1400);
    EXPECT_EQ(sub[8].widthTwips, 1000);
    EXPECT_EQ(sub[8].align, Qt::AlignRight);
    EXPECT_EQ(sub[9].widthTwips, 1500);
    EXPECT_EQ(sub[9].heading, cat.state.config[4].SubFieldName[10]);
    EXPECT_EQ(sub[10].heading, QStringLiteral("登録ＮＯ"));
    EXPECT_EQ(sub[11].heading, QStringLiteral("サブＮＯ"));
    EXPECT_EQ(sub[10].widthTwips + sub[11].widthTwips, 0);

    const auto main = records::MainRowColumns(cat.state.config[4]);
    ASSERT_EQ(main.size(), 16u); // no picture column
    EXPECT_EQ(main[0].widthTwips, 3700);
    EXPECT_EQ(main[11].widthTwips, 1000);
    EXPECT_EQ(main[12].widthTwips, 1000);
    EXPECT_EQ(main[13].widthTwips, 1000);
    EXPECT_EQ(main[13].align, Qt::AlignRight);
    EXPECT_EQ(main[14].widthTwips, 1400);
    EXPECT_EQ(main[15].heading, QStringLiteral("登録ＮＯ"));
    EXPECT_EQ(main[15].widthTwips, 0);
}

TEST_F(SubList, RowsOfOneMainRecordInKeyOrderWithTextCells) {
    cat.addSub(4, 2, 5, QStringLiteral("曲5"));
    cat.addSub(4, 1, 1, QStringLiteral("他の曲"));
    cat.addSub(4, 2, 1, QStringLiteral("曲1"));
    cat.addSub(4, 3, 2, QStringLiteral("他の曲"));
    {
        auto db = cat.open();
        auto rs = db->openTable(cat.state.config[4].SubTableName.trimmed());
        rs->addNew();
        rs->setValue(0, Value(QStringLiteral("曲2")));
        rs->setValue(8, Value(245));
        rs->setValue(9, Value(QDateTime(QDate(2009, 4, 6), QTime(0, 0))));
        rs->setValue(10, Value(2));
        rs->setValue(11, Value(2));
        rs->update();
    }
    current(2);
    const auto rows = read();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (QStringList{"曲1", "", "", "", "", "", "", "", "", "", "2", "1"}));
    EXPECT_EQ(rows[1], (QStringList{"曲2", "", "", "", "", "", "", "", "245", "2009/04/06", "2", "2"}));
    EXPECT_EQ(rows[2][0], QStringLiteral("曲5"));

    current(2, 2, 2); // the all-category search found サブＮＯ 2
    const auto one = read();
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0][0], QStringLiteral("曲2"));
    current(2, 2, 4);
    EXPECT_TRUE(read().empty());
    current(9);
    EXPECT_TRUE(read().empty());
}

// The keyed read must give exactly what a scan of the whole table in its order would.
TEST_F(SubList, KeyedReadEqualsAFullScan) {
    std::mt19937 random(7);
    {
        auto db = cat.open();
        platform::Transaction tx(*db);
        auto rs = db->openTable(cat.state.config[4].SubTableName.trimmed());
        for (int i = 0; i < 400; ++i) {
            rs->addNew();
            rs->setValue(0, Value(QStringLiteral("曲%1").arg(i)));
            rs->setValue(10, Value(static_cast<std::int32_t>(random() % 20 + 1)));
            rs->setValue(11, Value(static_cast<std::int32_t>(i)));
            rs->update();
        }
        tx.commit();
    }
    for (std::int32_t regNo : {1, 7, 20}) {
        std::vector<QStringList> scanned;
        auto db = cat.open();
        for (auto rs = db->openTable(cat.state.config[4].SubTableName.trimmed()); !rs->eof(); rs->moveNext()) {
            if (rs->value(10).toInt() != regNo)
                continue;
            QStringList cells;
            for (int i = 0; i < 12; ++i)
                cells << rs->text(i);
            scanned.push_back(cells);
        }
        current(regNo);
        EXPECT_EQ(read(), scanned) << regNo;
    }
}

TEST_F(SubList, MainRowHasTheFieldsAndTheNumberOnly) {
    cat.addMain(4, 1, {QStringLiteral("一枚目")});
    cat.addMain(4, 2, {QStringLiteral("二枚目"), QStringLiteral("歌手")}, 1);
    auto db = cat.open();
    current(2, 0);
    auto rows = ReadMainRow(*db, cat.state);
    ASSERT_EQ(rows.size(), 1u);
    const QStringList cells = rows[0].cells();
    ASSERT_EQ(cells.size(), 16);
    EXPECT_EQ(cells[0], QStringLiteral("二枚目"));
    EXPECT_EQ(cells[1], QStringLiteral("歌手"));
    EXPECT_EQ(cells[15], QStringLiteral("2"));
    EXPECT_EQ(cat.state.ListMode, 0); // the caller's mode is left alone
    current(3);
    EXPECT_TRUE(ReadMainRow(*db, cat.state).empty());
}

TEST_F(SubList, ATableNameTheEngineWouldMisreadIsRefused) {
    cat.state.config[4].SubTableName = QStringLiteral("a); DROP TABLE CD1; --");
    current(1);
    auto db = cat.open();
    EXPECT_THROW(ReadSubRows(*db, cat.state), platform::EngineError);
    EXPECT_TRUE(db->tableExists(QStringLiteral("CD1")));
}

} // namespace
