#include "platform/Value.h"

#include <cmath>

namespace quelm::platform {

std::int64_t Value::toInt() const {
    switch (kind()) {
    case Kind::Integer:
        return std::get<std::int64_t>(data_);
    case Kind::Real:
        return static_cast<std::int64_t>(std::nearbyint(std::get<double>(data_)));
    case Kind::Text:
        return std::get<QString>(data_).trimmed().toLongLong();
    default:
        return 0;
    }
}

double Value::toReal() const {
    switch (kind()) {
    case Kind::Integer:
        return static_cast<double>(std::get<std::int64_t>(data_));
    case Kind::Real:
        return std::get<double>(data_);
    case Kind::Text:
        return std::get<QString>(data_).trimmed().toDouble();
    default:
        return 0;
    }
}

QDateTime Value::toDate() const {
    return kind() == Kind::Date ? std::get<QDateTime>(data_) : QDateTime();
}

QString DisplayDate(const QDateTime& d) {
    if (d.time() == QTime(0, 0))
        return d.date().toString(QStringLiteral("yyyy/MM/dd"));
    return d.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString Value::toText() const {
    switch (kind()) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(std::get<std::int64_t>(data_));
    case Kind::Real:
        return QString::number(std::get<double>(data_), 'g', 15);
    case Kind::Text:
        return std::get<QString>(data_);
    case Kind::Date:
        return DisplayDate(std::get<QDateTime>(data_));
    }
    return {};
}

} // namespace quelm::platform
