#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <variant>

namespace quelm::platform {

// One cell of a table: Null, whole number, real, text or date.
class Value {
public:
    enum class Kind { Null, Integer, Real, Text, Date };

    Value() = default;
    Value(std::int64_t v) : data_(v) {}
    Value(int v) : data_(static_cast<std::int64_t>(v)) {}
    Value(double v) : data_(v) {}
    Value(const QString& v) : data_(v) {}
    Value(const char* v) : data_(QString::fromUtf8(v)) {}
    Value(const QDateTime& v) : data_(v) {}
    static Value null() { return {}; }

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool isNull() const { return kind() == Kind::Null; }
    std::int64_t toInt() const;
    double toReal() const;
    QDateTime toDate() const;
    // The text a list cell shows: empty for Null, digits for numbers, yyyy/MM/dd for dates.
    QString toText() const;

    bool operator==(const Value& other) const { return data_ == other.data_; }

private:
    std::variant<std::monostate, std::int64_t, double, QString, QDateTime> data_;
};

// Date text as shown on screen: yyyy/MM/dd, with the time only when there is one.
QString DisplayDate(const QDateTime& d);

} // namespace quelm::platform
