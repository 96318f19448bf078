#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstring>
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
        // Inline: a list of 100,000 records appends a million and a half cells.
        void append(const char* utf8, int bytes) {
            if (bytes > 0) {
                if (used_ + static_cast<std::size_t>(bytes) > bytes_.size())
                    grow(static_cast<std::size_t>(bytes));
                std::memcpy(bytes_.data() + used_, utf8, static_cast<std::size_t>(bytes));
                used_ += static_cast<std::size_t>(bytes);
            }
            ends_.push_back(static_cast<quint32>(used_));
        }
        void append(const QString& text);
        void appendEmpty() { append(nullptr, 0); }
        ListRow finish();

    private:
        void grow(std::size_t bytes);
        std::vector<char> bytes_; // sized ahead; the first used_ bytes hold this row's cells
        std::size_t used_ = 0;
        std::vector<quint32> ends_;
    };

private:
    // Layout: cell count, then the end offset of each cell's bytes, then the bytes themselves.
    QByteArray data_;
    const quint32* header() const { return reinterpret_cast<const quint32*>(data_.constData()); }
};

} // namespace quelm::platform
