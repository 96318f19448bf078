#include "platform/RecordList.h"
#include "platform/Units.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using quelm::platform::RecordList;
using quelm::platform::TwipsToPixels;

namespace {

// A title column, a number column and the hidden key column, as the record screens lay them out.
void AddRecordColumns(RecordList& list) {
    list.addColumn(QStringLiteral("タイトル"), 3700);
    list.addColumn(QStringLiteral("価格"), 1000, Qt::AlignRight);
    list.addColumn(QStringLiteral("登録ＮＯ"), 0, Qt::AlignRight);
}

// A shown, active window holding the list and a second control to take the focus away.
struct RecordListShown : ::testing::Test {
    QWidget window;
    RecordList* list = new RecordList;
    QLineEdit* other = new QLineEdit;

    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(list);
        layout->addWidget(other);
        window.resize(600, 400);
        AddRecordColumns(*list);
        for (int i = 1; i <= 10; ++i)
            list->addRow({QStringLiteral("曲%1").arg(i), QString::number(i * 100), QString::number(i)});
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QPoint rowCentre(int index) const {
        QTreeView* view = list->view();
        return view->visualRect(view->model()->index(index - 1, 0)).center();
    }
    bool highlighted(int index) const { return list->view()->selectionModel()->isRowSelected(index - 1, {}); }
};

TEST(RecordListTest, ColumnsKeepTheirTwipsAndHiddenKeyColumnsStayReadable) {
    RecordList list;
    AddRecordColumns(list);
    ASSERT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.columnHeading(2), QStringLiteral("登録ＮＯ"));
    EXPECT_EQ(list.columnWidthTwips(0), 3700);
    EXPECT_EQ(list.view()->header()->sectionSize(0), TwipsToPixels(3700));
    EXPECT_TRUE(list.view()->isColumnHidden(2));
    EXPECT_EQ(list.columnWidthTwips(2), 0);
    EXPECT_TRUE(list.view()->model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);

    list.addRow({QStringLiteral("A"), QStringLiteral("1200"), QStringLiteral("7")});
    EXPECT_EQ(list.cell(1, 2), QStringLiteral("7"));
    EXPECT_TRUE(list.view()->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);

    // A width the user drags is what the column reports afterwards.
    list.view()->header()->resizeSection(0, 100);
    EXPECT_EQ(list.columnWidthTwips(0), 1500);

    // Emptying the rows resets the model; the widths and the hidden key column must survive it.
    list.clearRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_TRUE(list.view()->isColumnHidden(2));
    EXPECT_EQ(list.view()->header()->sectionSize(1), TwipsToPixels(1000));

    list.setColumnWidthTwips(2, 1400);
    EXPECT_FALSE(list.view()->isColumnHidden(2));
    EXPECT_EQ(list.view()->header()->sectionSize(2), TwipsToPixels(1400));
    list.setColumnWidthTwips(2, 0);
    EXPECT_TRUE(list.view()->isColumnHidden(2));

    list.addRow({QStringLiteral("B")});
    list.clearColumns();
    EXPECT_EQ(list.columnCount(), 0);
    EXPECT_EQ(list.rowCount(), 0);
}

TEST(RecordListTest, RowsAreCountedFromOneAndTheCurrentRowFollowsItsRecord) {
    RecordList list;
    AddRecordColumns(list);
    list.addRow({QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("11")});
    std::vector<QStringList> more{{QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("12")},
                                  {QStringLiteral("C")}};
    list.addRows(std::move(more));
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.cell(2, 0), QStringLiteral("B"));
    EXPECT_EQ(list.row(3), (QStringList{QStringLiteral("C"), QString(), QString()}));
    EXPECT_EQ(list.cell(0, 0), QString());
    EXPECT_EQ(list.cell(4, 0), QString());
    EXPECT_EQ(list.cell(1, 9), QString());
    EXPECT_TRUE(list.row(4).isEmpty());

    list.setCell(3, 2, QStringLiteral("13"));
    EXPECT_EQ(list.cell(3, 2), QStringLiteral("13"));

    EXPECT_EQ(list.selectedIndex(), 0);
    QSignalSpy clicks(&list, &RecordList::itemClick);
    list.select(2);
    EXPECT_EQ(list.selectedIndex(), 2);
    EXPECT_EQ(clicks.count(), 0);

    list.removeRow(1);
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(list.cell(1, 0), QStringLiteral("B"));
    // Removing the current record leaves no row current rather than a neighbour nobody chose.
    list.removeRow(1);
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_EQ(list.rowCount(), 1);

    list.select(1);
    list.select(5);
    EXPECT_EQ(list.selectedIndex(), 0);
}

TEST_F(RecordListShown, CurrentRowSurvivesFocusLossWhileTheHighlightGoes) {
    QSignalSpy clicks(list, &RecordList::itemClick);
    QSignalSpy lost(list, &RecordList::lostFocus);
    list->select(3);
    list->ensureVisible(3);
    list->view()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(list->view()->hasFocus());
    EXPECT_TRUE(highlighted(3));

    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_TRUE(list->view()->selectionModel()->selectedRows().isEmpty());
    EXPECT_EQ(list->selectedIndex(), 3);
    EXPECT_EQ(clicks.count(), 0);

    // Back in the list, the keyboard moves on from the current row.
    list->view()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list->view(), Qt::Key_Down);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 4);
    EXPECT_TRUE(highlighted(4));
}

TEST_F(RecordListShown, FocusWithoutACurrentRowChoosesNone) {
    list->view()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(list->view()->hasFocus());
    EXPECT_EQ(list->selectedIndex(), 0);
}

TEST_F(RecordListShown, ClicksOnRowsAndHeadingsReachTheScreen) {
    QSignalSpy clicks(list, &RecordList::itemClick);
    QSignalSpy columns(list, &RecordList::columnClick);

    QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, rowCentre(5));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 5);
    EXPECT_EQ(list->selectedIndex(), 5);
    EXPECT_TRUE(highlighted(5));

    // Clicking the current row again after the highlight went still tells the screen.
    other->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, rowCentre(5));
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_TRUE(highlighted(5));

    QHeaderView* header = list->view()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2, header->height() / 2));
    ASSERT_EQ(columns.count(), 1);
    EXPECT_EQ(columns.at(0).at(0).toInt(), 1);
    EXPECT_EQ(list->cell(1, 0), QStringLiteral("曲1")); // a heading click alone does not sort
}

TEST(RecordListTest, SortsInJapaneseCollationIgnoringCaseAndKeepsTheCurrentRecord) {
    RecordList list;
    AddRecordColumns(list);
    const QStringList titles{QStringLiteral("b"),  QStringLiteral("A"), QStringLiteral("か"),  QStringLiteral("ア"),
                             QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("100"), QStringLiteral("a")};
    for (int i = 0; i < titles.size(); ++i)
        list.addRow({titles[i], QString(), QString::number(i + 1)});
    list.select(6); // "9", record 6
    auto firstColumn = [&] {
        QStringList shown;
        for (int i = 1; i <= list.rowCount(); ++i)
            shown << list.cell(i, 0);
        return shown;
    };

    list.sortByColumn(0, Qt::AscendingOrder);
    // Numbers sort as text; case is ignored (equal texts keep their order); kana follow the Japanese
    // syllabary (ア before か), not the code points.
    EXPECT_EQ(firstColumn(), (QStringList{"10", "100", "9", "A", "a", "b", "ア", "か"}));
    EXPECT_EQ(list.selectedIndex(), 3);
    EXPECT_EQ(list.cell(3, 2), QStringLiteral("6"));
    EXPECT_TRUE(list.view()->selectionModel()->isRowSelected(2, {}));
    EXPECT_EQ(list.sortKey(), 0);

    list.sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(firstColumn(), (QStringList{"か", "ア", "b", "A", "a", "9", "100", "10"}));
    EXPECT_EQ(list.selectedIndex(), 6);
    EXPECT_EQ(list.cell(6, 2), QStringLiteral("6"));
    EXPECT_EQ(list.sortOrder(), Qt::DescendingOrder);

    // The hidden key column sorts like any other.
    list.sortByColumn(2, Qt::AscendingOrder);
    EXPECT_EQ(list.cell(1, 0), QStringLiteral("b"));
    EXPECT_EQ(list.cell(2, 0), QStringLiteral("A"));
}

TEST(RecordListTest, FindsWholeOrLeadingTextIgnoringCase) {
    RecordList list;
    AddRecordColumns(list);
    list.addRow({QStringLiteral("Abc"), QStringLiteral("x"), QStringLiteral("1")});
    list.addRow({QStringLiteral("abcd"), QStringLiteral("Yes"), QStringLiteral("2")});
    list.addRow({QStringLiteral("ABC"), QStringLiteral("z"), QStringLiteral("31")});

    EXPECT_EQ(list.find(QStringLiteral("abc"), 0, false), 1);
    EXPECT_EQ(list.find(QStringLiteral("abc"), 0, false, 2), 3);
    EXPECT_EQ(list.find(QStringLiteral("ABCD"), 0, true), 2);
    EXPECT_EQ(list.find(QStringLiteral("bc"), 0, true), 0);
    EXPECT_EQ(list.find(QStringLiteral("abc"), 7, false), 0);
    EXPECT_EQ(list.find(QString(), 0, true), 1);
}

TEST(RecordListTest, HoldsAHundredThousandRowsOfSeventeenColumns) {
    RecordList list;
    for (int c = 0; c < 17; ++c)
        list.addColumn(QStringLiteral("項目%1").arg(c + 1), c < 15 ? 1400 : 0);
    std::vector<QStringList> rows;
    rows.reserve(100000);
    for (int r = 0; r < 100000; ++r) {
        QStringList cells;
        cells.reserve(17);
        for (int c = 0; c < 17; ++c)
            cells << QString::number(r * 17 + c);
        rows.push_back(std::move(cells));
    }
    list.addRows(std::move(rows));
    ASSERT_EQ(list.rowCount(), 100000);
    EXPECT_EQ(list.view()->model()->rowCount(), 100000);
    EXPECT_EQ(list.cell(1, 0), QStringLiteral("0"));
    EXPECT_EQ(list.cell(100000, 16), QString::number(99999 * 17 + 16));

    list.select(100000);
    list.sortByColumn(16, Qt::DescendingOrder);
    // As text, "999999"-style values come first; the current record moved with the sort.
    EXPECT_EQ(list.cell(list.selectedIndex(), 16), QString::number(99999 * 17 + 16));
    EXPECT_EQ(list.rowCount(), 100000);
}

} // namespace
