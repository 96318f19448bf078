#include "records/SubRecords.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/TableSql.h"

#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace quelm::records {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4; // the CD1 slot

// Ten boxes as the editor hands them over: the date box (sub field 10) untouched unless given.
std::vector<FieldInput> SubBoxes(const std::map<int, QString>& byField) {
    std::vector<FieldInput> in(10);
    in[9] = {UntouchedDate, QString()};
    for (const auto& [k, text] : byField) {
        QString clip = text;
        if (k == 10)
            clip.remove(QLatin1Char('/')).remove(QLatin1Char('_'));
        in[k - 1] = {text, clip};
    }
    return in;
}

struct SubRecordWrites : ::testing::Test {
    TestCatalogue cat;

    SubRecordWrites() {
        cat.state.CurrentSection = Cd;
        cat.addMain(Cd, 1, {QStringLiteral("アルバム1")});
        cat.addMain(Cd, 2, {QStringLiteral("アルバム2")});
    }
    QString subTable() const { return cat.state.config[Cd].SubTableName.trimmed(); }
    // The row with both keys, all columns; empty when there is none.
    std::vector<Value> row(std::int32_t regNo, std::int32_t subNo) const {
        auto db = cat.open();
        auto rs = db->openTable(subTable());
        for (; !rs->eof(); rs->moveNext()) {
            if (rs->value(10).toInt() == regNo && rs->value(11).toInt() == subNo) {
                std::vector<Value> cells;
                for (int i = 0; i < rs->fieldCount(); ++i)
                    cells.push_back(rs->value(i));
                return cells;
            }
        }
        return {};
    }
};

TEST_F(SubRecordWrites, ConsecutiveAddsTakeTheNumbersAfterTheLargest) {
    for (int sub = 1; sub <= 4; ++sub)
        cat.addSub(Cd, 1, sub, QStringLiteral("曲%1").arg(sub));
    cat.state.MaxSubNo = 4;
    for (int n = 5; n <= 7; ++n) {
        const EditResult r = AddSubRecord(cat.state, 1, SubBoxes({{1, QStringLiteral("新曲%1").arg(n)}, {9, "3"}}));
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        EXPECT_EQ(r.rows, 1);
        EXPECT_EQ(cat.state.MaxSubNo, n);
        const auto stored = row(1, n);
        ASSERT_FALSE(stored.empty());
        EXPECT_EQ(stored[0].toText(), QStringLiteral("新曲%1").arg(n));
        EXPECT_EQ(stored[8].toInt(), 3);
        EXPECT_TRUE(stored[9].isNull()); // untouched date box
    }
    EXPECT_EQ(cat.rowCount(subTable()), 7);
}

TEST_F(SubRecordWrites, RefusedAddUsesUpItsNumber) {
    for (int sub = 1; sub <= 4; ++sub)
        cat.addSub(Cd, 1, sub, QStringLiteral("曲%1").arg(sub));
    cat.state.MaxSubNo = 4;
    const EditResult refused = AddSubRecord(cat.state, 1, SubBoxes({{1, "x"}, {9, "abc"}}));
    EXPECT_EQ(refused.status, EditResult::Status::TypeError);
    EXPECT_EQ(refused.field, 8);
    EXPECT_EQ(refused.message, QStringLiteral("トラック番号が相違しています。[ abc ]"));
    EXPECT_EQ(cat.state.MaxSubNo, 5);
    EXPECT_EQ(cat.rowCount(subTable()), 4);

    ASSERT_TRUE(AddSubRecord(cat.state, 1, SubBoxes({{1, "y"}, {10, "2009/04/06"}})).ok());
    EXPECT_TRUE(row(1, 5).empty());
    ASSERT_FALSE(row(1, 6).empty());
    EXPECT_EQ(row(1, 6)[9].toDate().date(), QDate(2009, 4, 6));
}

TEST_F(SubRecordWrites, StaleCountNeverReusesAStoredNumber) {
    for (int sub = 1; sub <= 4; ++sub)
        cat.addSub(Cd, 1, sub, QStringLiteral("曲%1").arg(sub));
    cat.state.MaxSubNo = 2; // another screen added records since this count was taken
    const EditResult r = AddSubRecord(cat.state, 1, SubBoxes({{1, "z"}}));
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(cat.state.MaxSubNo, 5);
    EXPECT_EQ(row(1, 5)[0].toText(), QStringLiteral("z"));
    EXPECT_EQ(row(1, 3)[0].toText(), QStringLiteral("曲3"));
}

TEST_F(SubRecordWrites, EmptyTextIsTwoBlanksWhenAddedAndThreeWhenChanged) {
    const EditResult added = AddSubRecord(cat.state, 1, SubBoxes({{2, "A"}}));
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(added.blankedFields, (std::vector<int>{0, 2, 3, 4, 5, 6, 7}));
    auto stored = row(1, 1);
    EXPECT_EQ(stored[0].toText(), QStringLiteral("  "));
    EXPECT_EQ(stored[1].toText(), QStringLiteral("A"));
    EXPECT_TRUE(stored[8].isNull());

    const EditResult changed = UpdateSubRecord(cat.state, 1, 1, SubBoxes({{9, "12"}}));
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(changed.rows, 1);
    stored = row(1, 1);
    EXPECT_EQ(stored[0].toText(), QStringLiteral("   "));
    EXPECT_EQ(stored[1].toText(), QStringLiteral("   "));
    EXPECT_EQ(stored[8].toInt(), 12);
    EXPECT_EQ(stored[10].toInt(), 1); // keys untouched
    EXPECT_EQ(stored[11].toInt(), 1);
}

TEST_F(SubRecordWrites, ChangeAndDeleteActOnlyOnTheRecordWithBothKeys) {
    cat.addSub(Cd, 1, 3, QStringLiteral("一の三"));
    cat.addSub(Cd, 1, 4, QStringLiteral("一の四"));
    cat.addSub(Cd, 2, 3, QStringLiteral("二の三"));

    const EditResult changed = UpdateSubRecord(cat.state, 2, 3, SubBoxes({{1, QStringLiteral("変更後")}}));
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(changed.rows, 1);
    EXPECT_EQ(row(2, 3)[0].toText(), QStringLiteral("変更後"));
    EXPECT_EQ(row(1, 3)[0].toText(), QStringLiteral("一の三"));

    const EditResult deleted = DeleteSubRecord(cat.state, 1, 3);
    ASSERT_TRUE(deleted.ok());
    EXPECT_EQ(deleted.rows, 1);
    EXPECT_TRUE(row(1, 3).empty());
    EXPECT_FALSE(row(1, 4).empty());
    EXPECT_FALSE(row(2, 3).empty());

    EXPECT_EQ(DeleteSubRecord(cat.state, 2, 9).rows, 0); // no such record: nothing touched
    EXPECT_EQ(cat.rowCount(subTable()), 2);
}

TEST_F(SubRecordWrites, RefusedChangeKeepsTheRecord) {
    cat.addSub(Cd, 1, 1, QStringLiteral("元"));
    const EditResult typeError = UpdateSubRecord(cat.state, 1, 1, SubBoxes({{1, "new"}, {10, "2009/13/01"}}));
    EXPECT_EQ(typeError.status, EditResult::Status::TypeError);
    EXPECT_EQ(typeError.message, QStringLiteral("録音日が相違しています。[ 2009/13/01 ]"));
    const EditResult tooLong = UpdateSubRecord(cat.state, 1, 1, SubBoxes({{8, QString(128, QChar(0x3042))}}));
    EXPECT_EQ(tooLong.status, EditResult::Status::TooLong);
    EXPECT_EQ(tooLong.field, 7);
    EXPECT_EQ(row(1, 1)[0].toText(), QStringLiteral("元"));
}

TEST_F(SubRecordWrites, TooLongTextAddsNothingAndKeepsTheNumber) {
    cat.state.MaxSubNo = 4;
    EXPECT_TRUE(AddSubRecord(cat.state, 1, SubBoxes({{1, QString(127, QChar(0x3042))}})).ok()); // 254 bytes
    EXPECT_EQ(cat.state.MaxSubNo, 5);
    const EditResult r = AddSubRecord(cat.state, 1, SubBoxes({{1, QString(128, QChar(0x3042))}}));
    EXPECT_EQ(r.status, EditResult::Status::TooLong);
    EXPECT_EQ(r.message, TooLongTextMessage);
    EXPECT_EQ(cat.state.MaxSubNo, 5);
    EXPECT_EQ(cat.rowCount(subTable()), 1);
}

TEST_F(SubRecordWrites, StoredNumberPastThirtyTwoBitsStopsTheAddInsteadOfWrappingAround) {
    cat.addSub(Cd, 1, 1, QStringLiteral("曲"));
    {
        // The program never writes such a number; another tool may have.
        auto db = cat.open();
        db->execute(QStringLiteral("UPDATE %1 SET %2 = 4294967301").arg(subTable(), store::SubKeyColumn));
        // Cut to 32 bits the number would read as 5 and the next add would be given 6.
        EXPECT_EQ(CountSubRecords(*db, cat.state.config[Cd], 1).maxSubNo, std::numeric_limits<std::int32_t>::max());
    }
    cat.state.MaxSubNo = 1;
    const EditResult r = AddSubRecord(cat.state, 1, SubBoxes({{1, QStringLiteral("次")}}));
    EXPECT_EQ(r.status, EditResult::Status::EngineError);
    EXPECT_EQ(r.message, QStringLiteral("サブＮＯが上限に達しています。"));
    EXPECT_EQ(r.regNo, 1);
    EXPECT_EQ(cat.state.MaxSubNo, 1);
    EXPECT_TRUE(row(1, 6).empty());
}

TEST_F(SubRecordWrites, EngineFailureStoresNothingAndKeepsTheNumber) {
    cat.state.MaxSubNo = 4;
    cat.state.config[Cd].SubTableName = QStringLiteral("CD1; DROP TABLE CD1");
    EXPECT_EQ(AddSubRecord(cat.state, 1, SubBoxes({})).status, EditResult::Status::EngineError);
    EXPECT_EQ(cat.state.MaxSubNo, 4);
    cat.state.config[Cd] = cat.reload()[Cd];

    cat.open()->execute(store::DropTableSql(subTable()));
    const EditResult r = AddSubRecord(cat.state, 1, SubBoxes({{1, "a"}}));
    EXPECT_EQ(r.status, EditResult::Status::EngineError);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_EQ(cat.state.MaxSubNo, 4);
    EXPECT_EQ(UpdateSubRecord(cat.state, 1, 1, SubBoxes({})).status, EditResult::Status::EngineError);
    EXPECT_EQ(DeleteSubRecord(cat.state, 1, 1).status, EditResult::Status::EngineError);
}

} // namespace
} // namespace quelm::records
