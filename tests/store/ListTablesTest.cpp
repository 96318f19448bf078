#include "store/ListTables.h"

#include "TestCatalogue.h"
#include "platform/Database.h"

#include <gtest/gtest.h>

using namespace quelm;
using platform::EngineError;
using store::EntryCheck;

namespace {

struct ListTablesTest : ::testing::Test {
    test::TestCatalogue cat;

    QStringList columnsOf(const QString& table) {
        QStringList names;
        for (const platform::Column& c : cat.open()->columns(table))
            names << c.name;
        return names;
    }
    bool tableExists(const QString& table) { return cat.open()->tableExists(table); }
};

TEST_F(ListTablesTest, CreationTakesTheFirstFreeSlotAndADropFreesIt) {
    EXPECT_EQ(store::FirstFreeListSlot(cat.state.config), 0);
    EXPECT_FALSE(store::CreateList(cat.state, 0, QStringLiteral(" 作曲家 ")));
    EXPECT_FALSE(store::CreateList(cat.state, 1, QStringLiteral("Label")));
    EXPECT_FALSE(store::CreateList(cat.state, 2, QStringLiteral("保管場所")));

    EXPECT_EQ(columnsOf(QStringLiteral("ListTable1")), QStringList{QStringLiteral("作曲家")});
    EXPECT_EQ(cat.open()->columns(QStringLiteral("ListTable1")).front().maxLength, 50);
    EXPECT_EQ(store::ListCount(cat.state.config), 3);
    EXPECT_EQ(cat.state.config[store::ListSection].FieldName[1], QStringLiteral("作曲家"));
    EXPECT_EQ(cat.state.config[store::ListSection].Dirty, 0);

    store::DropList(cat.state, 1);
    EXPECT_FALSE(tableExists(QStringLiteral("ListTable2")));
    EXPECT_EQ(cat.state.config[store::ListSection].FieldName[2], QStringLiteral(" "));
    EXPECT_EQ(store::ListCount(cat.state.config), 2);
    EXPECT_EQ(store::FirstFreeListSlot(cat.state.config), 1);

    // The freed slot is reused, so slot numbers do not follow the order of creation.
    EXPECT_FALSE(store::CreateList(cat.state, *store::FirstFreeListSlot(cat.state.config), QStringLiteral("出演者")));
    EXPECT_EQ(columnsOf(QStringLiteral("ListTable2")), QStringList{QStringLiteral("出演者")});
    EXPECT_EQ(store::ListNames(cat.state.config), (QStringList{QStringLiteral("作曲家"),
                                                               QStringLiteral("出演者"),
                                                               QStringLiteral("保管場所"),
                                                               {},
                                                               {},
                                                               {},
                                                               {},
                                                               {},
                                                               {},
                                                               {}}));

    // What a new start would read is what the screens see now.
    EXPECT_EQ(test::ListDirectory(cat.reload()), test::ListDirectory(cat.state.config));
}

TEST_F(ListTablesTest, BadNamesFullDirectoryAndTakenSlotsAreRefusedWithNothingChanged) {
    EXPECT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("既存")));
    const store::CategoryConfig before = cat.state.config;
    const auto tablesBefore = cat.open()->tableNames();

    for (const QString& bad : {QStringLiteral("曲 名"), QStringLiteral("select"), QStringLiteral("  "),
                               QStringLiteral("a); DROP TABLE CD1; --"), QStringLiteral("1st")}) {
        const auto refused = store::CreateList(cat.state, 1, bad);
        ASSERT_TRUE(refused) << bad.toStdString();
        EXPECT_FALSE(refused->isEmpty());
    }
    EXPECT_EQ(*store::CreateList(cat.state, 1, QStringLiteral("曲 名")),
              QStringLiteral("名前の中に空白は使えません。"));
    EXPECT_TRUE(store::CreateList(cat.state, 1, QStringLiteral("select"))->contains(QStringLiteral("select")));
    EXPECT_TRUE(store::CreateList(cat.state, 0, QStringLiteral("別名"))); // slot 0 is taken

    EXPECT_EQ(cat.state.config, before);
    EXPECT_EQ(test::ListDirectory(cat.reload()), test::ListDirectory(before));
    EXPECT_EQ(cat.open()->tableNames(), tablesBefore);
    EXPECT_TRUE(tableExists(QStringLiteral("CD1")));

    for (int slot = 1; slot < store::ListSlotCount; ++slot)
        ASSERT_FALSE(store::CreateList(cat.state, slot, QStringLiteral("L%1").arg(slot)));
    EXPECT_EQ(store::ListCount(cat.state.config), 10);
    EXPECT_FALSE(store::FirstFreeListSlot(cat.state.config));

    // A directory that claims ten lists is never given an eleventh table, even with a slot that looks free.
    cat.state.config[store::ListSection].FieldName[10] = QStringLiteral(" ");
    EXPECT_EQ(store::CreateList(cat.state, 9, QStringLiteral("十一")), store::ListsFullMessage);
    EXPECT_EQ(cat.open()->tableNames().filter(QStringLiteral("ListTable")).size(), 10);
}

TEST_F(ListTablesTest, AnEngineFailureLeavesTableDirectoryAndMemoryAsTheyWere) {
    // An index under the slot's table name: the creation fails inside its transaction.
    cat.open()->execute(QStringLiteral("CREATE INDEX ListTable1 ON CD1 (登録ＮＯ)"));
    const store::CategoryConfig before = cat.state.config;
    EXPECT_THROW(store::CreateList(cat.state, 0, QStringLiteral("新しい")), EngineError);
    EXPECT_EQ(cat.state.config, before);
    EXPECT_EQ(test::ListDirectory(cat.reload()), test::ListDirectory(before));
}

// What a second copy of the program or a kill can leave: a table without its directory entry, or an entry without
// its table. Both are repaired by the next creation or drop instead of blocking the slot for ever.
TEST_F(ListTablesTest, LeftoverAndMissingTablesRepairTheDirectory) {
    cat.open()->execute(QStringLiteral("CREATE TABLE ListTable1 (古い TEXT(50))"));
    EXPECT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("新しい")));
    EXPECT_EQ(columnsOf(QStringLiteral("ListTable1")), QStringList{QStringLiteral("新しい")});

    EXPECT_FALSE(store::CreateList(cat.state, 1, QStringLiteral("消える")));
    cat.open()->execute(QStringLiteral("DROP TABLE ListTable2"));
    store::DropList(cat.state, 1);
    EXPECT_EQ(store::ListName(cat.reload(), 1), QString());
    EXPECT_EQ(cat.reload()[store::ListSection].FieldCount, 1);

    // Two lists of one name could not be told apart in the pick lists.
    EXPECT_EQ(store::CreateList(cat.state, 2, QStringLiteral(" 新しい")),
              QStringLiteral("リスト名「新しい」は既に使われています。"));
}

TEST_F(ListTablesTest, AddingChecksEmptyLengthAndDuplicates) {
    ASSERT_FALSE(store::CreateList(cat.state, 0, QStringLiteral("作曲家")));
    const QString half25(25, QLatin1Char('a'));
    const QString full25(25, QChar(0x3042));

    EXPECT_EQ(store::AddListEntry(cat.state, 0, QStringLiteral("  ")), EntryCheck::Empty);
    EXPECT_EQ(store::AddListEntry(cat.state, 0, QStringLiteral(" ") + half25 + QStringLiteral(" ")), EntryCheck::Ok);
    EXPECT_EQ(store::AddListEntry(cat.state, 0, full25), EntryCheck::Ok);
    EXPECT_EQ(store::AddListEntry(cat.state, 0, half25 + QLatin1Char('a')), EntryCheck::TooLong);
    EXPECT_EQ(store::AddListEntry(cat.state, 0, full25 + QChar(0x3042)), EntryCheck::TooLong);
    EXPECT_EQ(store::AddListEntry(cat.state, 0, QStringLiteral("バッハ")), EntryCheck::Ok);
    EXPECT_EQ(store::AddListEntry(cat.state, 0, QStringLiteral("バッハ ")), EntryCheck::Duplicate);
    EXPECT_EQ(store::AddListEntry(cat.state, 0, QStringLiteral("ﾊﾞｯﾊ")), EntryCheck::Ok); // other text, not equal

    EXPECT_EQ(store::ListEntries(cat.state, 0),
              (QStringList{half25, full25, QStringLiteral("バッハ"), QStringLiteral("ﾊﾞｯﾊ")}));
    EXPECT_TRUE(store::ListEntries(cat.state, 5).isEmpty()); // free slot
    EXPECT_THROW(store::AddListEntry(cat.state, 5, QStringLiteral("x")), EngineError);
}

TEST_F(ListTablesTest, DeleteRemovesEveryEqualEntry) {
    ASSERT_FALSE(store::CreateList(cat.state, 3, QStringLiteral("保管場所")));
    for (const char* e : {"棚A", "棚B", "棚C"})
        ASSERT_EQ(store::AddListEntry(cat.state, 3, QString::fromUtf8(e)), EntryCheck::Ok);
    // A change is not checked for duplicates, so a list may hold one text twice.
    ASSERT_EQ(store::ChangeListEntry(cat.state, 3, QStringLiteral("棚C"), QStringLiteral("棚A")), EntryCheck::Ok);

    EXPECT_EQ(store::DeleteListEntry(cat.state, 3, QStringLiteral("棚A")), 2);
    EXPECT_EQ(store::DeleteListEntry(cat.state, 3, QStringLiteral("ない")), 0);
    EXPECT_EQ(store::ListEntries(cat.state, 3), QStringList{QStringLiteral("棚B")});
}

} // namespace
