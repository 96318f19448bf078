#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace quelm::platform {

// One row of a record list, kept as the UTF-8 bytes of its cells in a single block. A list of 100,000 records
// then costs one allocation a row instead of one a cell, and a cell becomes a QString only when it is read
// (painted, sorted, searched).
class ListRow {
public:
    ListRow() = default;
    explicit ListRow(const QStringList& cells);

    int size() const;
    // Empty for a cell past the end.
    QString cell(int column) const;
    QStringList cells() const;
    bool operator==(const ListRow& other) const { return data_ == other.data_; }

    // Builds a row cell by cell.
    class Builder {
    public:
        explicit Builder(int expectedCells = 0);
        void append(const char* utf8, int bytes);
        void append(const QString& text);
        void appendEmpty() { append(nullptr, 0); }
        ListRow finish();

    private:
        std::vector<char> bytes_;
        std::vector<quint32> ends_;
    };

private:
    // Layout: cell count, then the end offset of each cell's bytes, then the bytes themselves.
    QByteArray data_;
    const quint32* header() const { return reinterpret_cast<const quint32*>(data_.constData()); }
};

} // namespace quelm::platform
