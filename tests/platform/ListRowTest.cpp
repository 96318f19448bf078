#include "platform/ListRow.h"
#include "TestCatalogue.h"
#include "platform/Database.h"

#include <gtest/gtest.h>

using namespace quelm;
using platform::ListRow;
using platform::Value;

namespace {

TEST(ListRow, KeepsEveryCellAsGiven) {
    const QStringList cells{QStringLiteral("交響曲第９番"), QString(), QStringLiteral("   "), QStringLiteral("ｶﾞｲﾄﾞ"),
                            QStringLiteral("𠮷野家"),       QString()};
    const ListRow row(cells);
    EXPECT_EQ(row.size(), 6);
    EXPECT_EQ(row.cells(), cells);
    EXPECT_EQ(row.cell(6), QString());
    EXPECT_EQ(row.cell(-1), QString());
    EXPECT_EQ(ListRow().size(), 0);
    EXPECT_EQ(ListRow().cell(0), QString());

    ListRow::Builder reused(2);
    reused.append(QStringLiteral("a"));
    reused.appendEmpty();
    const ListRow first = reused.finish();
    reused.append(QStringLiteral("b"));
    EXPECT_EQ(reused.finish().cells(), QStringList{QStringLiteral("b")});
    EXPECT_EQ(first.cells(), (QStringList{QStringLiteral("a"), QString()}));
}

// The fast path that fills lists straight from the engine must show exactly what the cell reads as.
TEST(ListRow, EngineTextMatchesTheCellText) {
    test::TestCatalogue cat;
    {
        auto db = cat.open();
        auto rs = db->openTable(QStringLiteral("CD1"));
        rs->addNew();
        rs->setValue(0, Value(QStringLiteral("題名")));
        rs->setValue(2, Value(QStringLiteral("   ")));
        rs->setValue(10, Value(-3));
        rs->setValue(11, Value(QStringLiteral("2800")));
        rs->setValue(12, Value(QStringLiteral("2009/04/06")));
        rs->setValue(13, Value(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 1))));
        rs->setValue(15, Value(7));
        rs->setValue(16, Value(0));
        rs->update();
    }
    auto db = cat.open();
    auto rs = db->openTable(QStringLiteral("CD1"));
    ListRow::Builder b(rs->fieldCount());
    QStringList expected;
    for (int i = 0; i < rs->fieldCount(); ++i) {
        rs->appendText(i, b);
        expected << rs->text(i);
        const std::string_view utf8 = rs->listUtf8(i);
        EXPECT_EQ(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), expected.last()) << i;
    }
    const ListRow row = b.finish();
    EXPECT_EQ(row.cells(), expected);
    EXPECT_EQ(row.cell(12), QStringLiteral("2009/04/06"));
    EXPECT_EQ(row.cell(13), QStringLiteral("1999/12/31 23:59:01"));
    EXPECT_EQ(row.cell(10), QStringLiteral("-3"));
    EXPECT_EQ(row.cell(1), QString());

    // A file from elsewhere may hold any number in a LONG column: digits as the engine writes them.
    const QString longColumn = platform::QuoteIdentifier(rs->column(10).name);
    const QString shortColumn = platform::QuoteIdentifier(rs->column(16).name);
    rs.reset();
    db->execute(QStringLiteral("UPDATE CD1 SET %1 = -9223372036854775807 - 1, %2 = 2.5").arg(longColumn, shortColumn));
    rs = db->openTable(QStringLiteral("CD1"));
    ListRow::Builder foreign(rs->fieldCount());
    rs->appendTexts(rs->fieldCount(), foreign);
    const ListRow odd = foreign.finish();
    EXPECT_EQ(odd.cell(10), QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(odd.cell(16), QStringLiteral("2.5"));
}

} // namespace
