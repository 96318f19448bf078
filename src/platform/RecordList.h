#pragma once

#include "platform/ListRow.h"

#include <QStringList>
#include <QWidget>
#include <vector>

class QTreeView;

namespace quelm::platform {

class RecordListModel;
class RecordListView;

// The report-view list every record screen shows: columns with a heading, a width in twips and an alignment,
// and rows of cell texts. Rows are counted from 1, as the screens count them; columns from 0.
// A column of width 0 is a hidden key column: the user does not see it, the screens still read it.
// The rows live in one table model (plain vectors of texts), so a list of 100,000 records fills at once.
class RecordList : public QWidget {
    Q_OBJECT
public:
    explicit RecordList(QWidget* parent = nullptr);
    ~RecordList() override;

    // Returns the new column's number.
    int addColumn(const QString& heading, int widthTwips, Qt::Alignment align = Qt::AlignLeft);
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;
    int columnCount() const;
    QString columnHeading(int column) const;
    Qt::Alignment columnAlignment(int column) const;
    // Removes every column, and the rows with them, and the mark.
    void clearColumns();
    // Marks one column's cells (bold on a light yellow ground) and scrolls it into view; -1 takes the mark away.
    void markColumn(int column);
    int markedColumn() const;
    void clearRows();

    void addRow(const QStringList& cells);
    // Adds many rows in one step; the way to fill a list from a table. A list sorted by a column stays sorted.
    void addRows(std::vector<QStringList>&& rows);
    void addRows(std::vector<ListRow>&& rows);
    int rowCount() const;
    // Out-of-range rows and cells read as empty.
    QString cell(int index, int column) const;
    QStringList row(int index) const;
    void setCell(int index, int column, const QString& text);
    void removeRow(int index);

    // The current row, 0 when there is none. It stays current when the list loses the focus and its
    // highlight is cleared.
    int selectedIndex() const;
    // Makes the row current and highlighted without raising itemClick; an index outside the rows leaves
    // no current row.
    void select(int index);
    void ensureVisible(int index);

    // First row from startIndex whose cell in the column equals the text (partial: begins with it),
    // letter case ignored; 0 when none.
    int find(const QString& text, int column, bool partial, int startIndex = 1) const;

    // Sorts the rows by the column's text in Japanese collation, letter case ignored; rows with equal texts
    // keep their order. The current row stays on its record.
    void sortByColumn(int column, Qt::SortOrder order);
    // The key and order of the last sort; the order is what the next column click uses.
    int sortKey() const { return sortKey_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    void setSortOrder(Qt::SortOrder order) { sortOrder_ = order; }
    // Whether the rows were sorted by a column since the columns were made; refills keep that sort.
    bool isSorted() const { return sorted_; }
    // First row whose cells in the columns equal the texts, 0 when none.
    int findRow(const std::vector<int>& columns, const QStringList& texts) const;

    QTreeView* view() const;

signals:
    // The user made a row current by mouse or keyboard.
    void itemClick(int index);
    void columnClick(int column);
    void lostFocus();

private:
    friend class RecordListView;
    void applyColumnWidth(int column);
    int anchorColumn() const;
    void userPickedRow(int row);
    void viewLostFocus();

    RecordListModel* model_;
    RecordListView* view_;
    int sortKey_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool sorted_ = false;
    bool applyingWidths_ = false;
};

} // namespace quelm::platform
