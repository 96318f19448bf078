#include "platform/RecordList.h"

#include "platform/Units.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QColor>
#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

namespace quelm::platform {

// Rows as compact blocks of UTF-8 (ListRow): one allocation per row, no object per cell.
class RecordListModel : public QAbstractTableModel {
public:
    struct Column {
        QString heading;
        int widthTwips;
        Qt::Alignment align;
    };

    std::vector<Column> columns;
    std::vector<ListRow> rows;
    // With uniform row heights the view measures the first row only; a first row without Japanese text would
    // make every row too low for the rows that have it. Every row is given the height of a Japanese line.
    int rowHeight = 0;
    int markedColumn = -1;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return text(index.row(), index.column());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(columns[index.column()].align | Qt::AlignVCenter);
        if (role == Qt::SizeHintRole && rowHeight > 0)
            return QSize(-1, rowHeight);
        if (index.column() == markedColumn)
            return markedData(role);
        return {};
    }

    static QVariant markedData(int role) {
        if (role == Qt::BackgroundRole)
            return QColor(255, 250, 160);
        if (role == Qt::ForegroundRole)
            return QColor(Qt::black); // readable on the light ground whatever the palette
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns.size()))
            return {};
        if (role == Qt::DisplayRole)
            return columns[section].heading;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(columns[section].align | Qt::AlignVCenter);
        return {};
    }

    QString text(int row, int column) const {
        if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0)
            return {};
        return rows[row].cell(column);
    }

    void addColumn(Column column) {
        const int at = static_cast<int>(columns.size());
        beginInsertColumns({}, at, at);
        columns.push_back(std::move(column));
        endInsertColumns();
    }

    void clearColumns() {
        beginResetModel();
        markedColumn = -1;
        columns.clear();
        rows.clear();
        endResetModel();
    }

    void clearRows() {
        beginResetModel();
        rows.clear();
        endResetModel();
    }

    void appendRows(std::vector<ListRow>&& more) {
        if (more.empty())
            return;
        const int first = static_cast<int>(rows.size());
        beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
        rows.insert(rows.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        endInsertRows();
    }

    void appendRow(const QStringList& cells) {
        const int at = static_cast<int>(rows.size());
        beginInsertRows({}, at, at);
        rows.emplace_back(cells);
        endInsertRows();
    }

    void setText(int row, int column, const QString& value) {
        QStringList cells = rows[row].cells();
        while (cells.size() <= column)
            cells.append(QString());
        cells[column] = value;
        rows[row] = ListRow(cells);
        const QModelIndex at = index(row, column);
        emit dataChanged(at, at, {Qt::DisplayRole});
    }

    void removeAt(int row) {
        beginRemoveRows({}, row, row);
        rows.erase(rows.begin() + row);
        endRemoveRows();
    }

    void sortBy(int column, Qt::SortOrder order) {
        const int n = static_cast<int>(rows.size());
        // Japanese collation with case ignored; sort keys so 100,000 rows do not collate each pair afresh.
        QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(n);
        for (int r = 0; r < n; ++r)
            keys.push_back(collator.sortKey(text(r, column)));
        std::vector<int> byRank(n);
        std::iota(byRank.begin(), byRank.end(), 0);
        std::stable_sort(byRank.begin(), byRank.end(), [&](int a, int b) {
            const int c = keys[a].compare(keys[b]);
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        });

        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<ListRow> sorted;
        sorted.reserve(n);
        std::vector<int> newRow(n);
        for (int i = 0; i < n; ++i) {
            sorted.push_back(std::move(rows[byRank[i]]));
            newRow[byRank[i]] = i;
        }
        rows = std::move(sorted);
        // The current row and the selection are persistent indexes: moving them keeps them on their records.
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& i : from)
            to.append(index(newRow[i.row()], i.column()));
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
};

// The tree view, told apart from programmatic changes: only what the user does raises itemClick.
class RecordListView : public QTreeView {
public:
    explicit RecordListView(RecordList* owner) : QTreeView(owner), owner_(owner) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QTreeView::mousePressEvent(event);
        const QModelIndex at = indexAt(event->position().toPoint());
        if (at.isValid() && currentIndex().row() == at.row())
            owner_->userPickedRow(at.row());
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const int before = currentRow();
        QTreeView::mouseMoveEvent(event);
        if (currentRow() != before && currentRow() >= 0)
            owner_->userPickedRow(currentRow());
    }

    void keyPressEvent(QKeyEvent* event) override {
        const int before = currentRow();
        QTreeView::keyPressEvent(event);
        if (currentRow() != before && currentRow() >= 0)
            owner_->userPickedRow(currentRow());
    }

    void focusInEvent(QFocusEvent* event) override {
        // The view makes the first row current when it gets the focus without one; the screens would then
        // think a row is chosen that nobody chose.
        const bool hadCurrent = currentIndex().isValid();
        QTreeView::focusInEvent(event);
        if (!hadCurrent && currentIndex().isValid() && selectionModel())
            selectionModel()->clearCurrentIndex();
    }

    void focusOutEvent(QFocusEvent* event) override {
        QTreeView::focusOutEvent(event);
        // A popup menu or another window taking over is not the list losing the focus to a control.
        if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
            return;
        owner_->viewLostFocus();
    }

private:
    int currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

    RecordList* owner_;
};

RecordList::RecordList(QWidget* parent)
    : QWidget(parent), model_(new RecordListModel), view_(new RecordListView(this)) {
    model_->setParent(this);
    view_->setModel(model_);
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setIndentation(0);
    view_->setUniformRowHeights(true);
    model_->rowHeight = QFontMetrics(view_->font()).boundingRect(QStringLiteral("国Ag")).height() + 2;
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSortingEnabled(false);
    view_->setHeaderHidden(false);

    QHeaderView* header = view_->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(1);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { emit columnClick(column); });
    // A width the user drags stays the column's width, in twips, for whoever measures the columns.
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int newSize) {
        if (applyingWidths_ || column < 0 || column >= columnCount() || view_->isColumnHidden(column))
            return;
        auto& c = model_->columns[column];
        if (newSize > 0 && newSize != TwipsToPixels(c.widthTwips))
            c.widthTwips = PixelsToTwips(newSize);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
}

RecordList::~RecordList() = default;

int RecordList::addColumn(const QString& heading, int widthTwips, Qt::Alignment align) {
    model_->addColumn({heading, std::max(widthTwips, 0), align});
    const int column = columnCount() - 1;
    applyColumnWidth(column);
    return column;
}

void RecordList::setColumnWidthTwips(int column, int twips) {
    if (column < 0 || column >= columnCount())
        return;
    model_->columns[column].widthTwips = std::max(twips, 0);
    applyColumnWidth(column);
}

int RecordList::columnWidthTwips(int column) const {
    return column >= 0 && column < columnCount() ? model_->columns[column].widthTwips : 0;
}

int RecordList::columnCount() const {
    return static_cast<int>(model_->columns.size());
}

QString RecordList::columnHeading(int column) const {
    return column >= 0 && column < columnCount() ? model_->columns[column].heading : QString();
}

Qt::Alignment RecordList::columnAlignment(int column) const {
    return column >= 0 && column < columnCount() ? model_->columns[column].align : Qt::Alignment(Qt::AlignLeft);
}

void RecordList::clearColumns() {
    model_->clearColumns();
    sorted_ = false;
}

void RecordList::clearRows() {
    model_->clearRows();
}

void RecordList::markColumn(int column) {
    model_->markedColumn = column >= 0 && column < columnCount() ? column : -1;
    if (model_->rowCount() > 0)
        emit model_->dataChanged(model_->index(0, 0), model_->index(model_->rowCount() - 1, columnCount() - 1));
    if (model_->markedColumn >= 0 && model_->rowCount() > 0)
        view_->scrollTo(model_->index(0, model_->markedColumn));
}

int RecordList::markedColumn() const {
    return model_->markedColumn;
}

void RecordList::addRow(const QStringList& cells) {
    model_->appendRow(cells);
}

void RecordList::addRows(std::vector<QStringList>&& rows) {
    std::vector<ListRow> compact;
    compact.reserve(rows.size());
    for (const QStringList& cells : rows)
        compact.emplace_back(cells);
    model_->appendRows(std::move(compact));
}

void RecordList::addRows(std::vector<ListRow>&& rows) {
    model_->appendRows(std::move(rows));
    // A refill of a sorted list keeps its sort, so a row index means the same record before and after.
    if (sorted_)
        model_->sortBy(sortKey_, sortOrder_);
}

int RecordList::rowCount() const {
    return static_cast<int>(model_->rows.size());
}

QString RecordList::cell(int index, int column) const {
    return model_->text(index - 1, column);
}

QStringList RecordList::row(int index) const {
    if (index < 1 || index > rowCount())
        return {};
    // A row added with fewer cells than columns reads as empty texts in the rest.
    QStringList cells = model_->rows[index - 1].cells();
    while (cells.size() < columnCount())
        cells.append(QString());
    return cells;
}

void RecordList::setCell(int index, int column, const QString& text) {
    if (index < 1 || index > rowCount() || column < 0)
        return;
    model_->setText(index - 1, column, text);
}

void RecordList::removeRow(int index) {
    if (index < 1 || index > rowCount())
        return;
    // The view would move the current row to a neighbour nobody chose; the removed record leaves no current row.
    if (selectedIndex() == index) {
        view_->selectionModel()->clearSelection();
        view_->selectionModel()->clearCurrentIndex();
    }
    model_->removeAt(index - 1);
}

int RecordList::selectedIndex() const {
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void RecordList::select(int index) {
    QItemSelectionModel* selection = view_->selectionModel();
    if (index < 1 || index > rowCount()) {
        selection->clearSelection();
        selection->clearCurrentIndex();
        return;
    }
    // Selecting scrolls the row into view; keep the list's horizontal position as the user left it.
    QScrollBar* across = view_->horizontalScrollBar();
    const int x = across->value();
    selection->setCurrentIndex(model_->index(index - 1, anchorColumn()),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    across->setValue(x);
}

void RecordList::ensureVisible(int index) {
    if (index < 1 || index > rowCount())
        return;
    QScrollBar* across = view_->horizontalScrollBar();
    const int x = across->value();
    view_->scrollTo(model_->index(index - 1, anchorColumn()));
    across->setValue(x);
}

int RecordList::find(const QString& text, int column, bool partial, int startIndex) const {
    if (column < 0 || column >= columnCount())
        return 0;
    for (int r = std::max(startIndex, 1) - 1; r < rowCount(); ++r) {
        const QString value = model_->text(r, column);
        if (partial ? value.startsWith(text, Qt::CaseInsensitive) : value.compare(text, Qt::CaseInsensitive) == 0)
            return r + 1;
    }
    return 0;
}

int RecordList::findRow(const std::vector<int>& columns, const QStringList& texts) const {
    if (columns.empty() || static_cast<int>(columns.size()) != texts.size())
        return 0;
    for (int r = 0; r < rowCount(); ++r) {
        bool same = true;
        for (std::size_t k = 0; k < columns.size() && same; ++k)
            same = model_->text(r, columns[k]) == texts[static_cast<int>(k)];
        if (same)
            return r + 1;
    }
    return 0;
}

void RecordList::sortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount())
        return;
    sortKey_ = column;
    sortOrder_ = order;
    sorted_ = true;
    model_->sortBy(column, order);
}

QTreeView* RecordList::view() const {
    return view_;
}

void RecordList::applyColumnWidth(int column) {
    const int twips = model_->columns[column].widthTwips;
    applyingWidths_ = true;
    if (twips == 0) {
        view_->setColumnHidden(column, true);
    } else {
        view_->setColumnHidden(column, false);
        view_->header()->resizeSection(column, std::max(TwipsToPixels(twips), 1));
    }
    applyingWidths_ = false;
}

int RecordList::anchorColumn() const {
    for (int c = 0; c < columnCount(); ++c) {
        if (!view_->isColumnHidden(c))
            return c;
    }
    return 0;
}

void RecordList::userPickedRow(int row) {
    emit itemClick(row + 1);
}

void RecordList::viewLostFocus() {
    // Only the highlight goes; the current row stays, it is the record the screen shows.
    view_->selectionModel()->clearSelection();
    emit lostFocus();
}

} // namespace quelm::platform
