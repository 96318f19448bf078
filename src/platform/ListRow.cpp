#include "platform/ListRow.h"

#include <algorithm>
#include <cstring>

namespace quelm::platform {

ListRow::ListRow(const QStringList& cells) {
    Builder b(static_cast<int>(cells.size()));
    for (const QString& c : cells)
        b.append(c);
    *this = b.finish();
}

int ListRow::size() const {
    return data_.isEmpty() ? 0 : static_cast<int>(header()[0]);
}

QString ListRow::cell(int column) const {
    if (column < 0 || column >= size())
        return {};
    const quint32* h = header();
    const quint32 count = h[0];
    const char* bytes = data_.constData() + sizeof(quint32) * (count + 1);
    const quint32 begin = column == 0 ? 0 : h[column];
    const quint32 end = h[column + 1];
    return QString::fromUtf8(bytes + begin, static_cast<qsizetype>(end - begin));
}

QStringList ListRow::cells() const {
    QStringList out;
    const int n = size();
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(cell(i));
    return out;
}

ListRow::Builder::Builder(int expectedCells) {
    ends_.reserve(static_cast<size_t>(std::max(expectedCells, 0)));
    bytes_.resize(static_cast<size_t>(std::max(expectedCells, 0)) * 16);
}

void ListRow::Builder::grow(std::size_t bytes) {
    bytes_.resize(std::max(bytes_.size() * 2, used_ + bytes));
}

void ListRow::Builder::append(const QString& text) {
    const QByteArray u = text.toUtf8();
    append(u.constData(), static_cast<int>(u.size()));
}

ListRow ListRow::Builder::finish() {
    ListRow row;
    const auto count = static_cast<quint32>(ends_.size());
    const qsizetype headerBytes = static_cast<qsizetype>(sizeof(quint32) * (count + 1));
    row.data_ = QByteArray(headerBytes + static_cast<qsizetype>(used_), Qt::Uninitialized);
    char* out = row.data_.data();
    std::memcpy(out, &count, sizeof(quint32));
    if (count > 0)
        std::memcpy(out + sizeof(quint32), ends_.data(), sizeof(quint32) * count);
    if (used_ > 0)
        std::memcpy(out + headerBytes, bytes_.data(), used_);
    // Emptied but not freed: a builder is reused for every row of a table.
    used_ = 0;
    ends_.clear();
    return row;
}

} // namespace quelm::platform
