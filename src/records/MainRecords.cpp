#include "records/MainRecords.h"

#include "platform/CodePage.h"
#include "platform/Database.h"
#include "platform/Names.h"
#include "store/Catalogue.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace quelm::records {

using platform::Database;
using platform::EngineError;
using platform::Recordset;
using platform::Value;
using store::ConfigSection;

namespace {

// A table name from the configuration, checked before it is joined into SQL.
QString CheckedTable(const QString& configured) {
    const QString name = configured.trimmed();
    if (auto problem = platform::CheckSqlName(name))
        throw EngineError(*problem);
    return name;
}

int FieldCountOf(const ConfigSection& s) {
    return std::clamp<int>(s.FieldCount, 0, store::MainFieldSlots);
}

int CheckedSection(const store::AppState& state) {
    const int section = state.CurrentSection;
    if (section < store::FirstSlotSection || section > store::LastSlotSection)
        throw EngineError(QStringLiteral("種目のセクション %1 はありません。").arg(section));
    return section;
}

// Reading by position needs the n fields, 登録ＮＯ and 画像jpg有無; a table that is shorter is not a main table.
void RequireColumns(const Recordset& rs, int count) {
    if (rs.fieldCount() < count)
        throw EngineError(QStringLiteral("テーブル '%1' の列の数が足りません。").arg(rs.table()));
}

platform::ListRow RowOf(const Recordset& rs, int columns, platform::ListRow::Builder& builder) {
    for (int i = 0; i < columns; ++i)
        rs.appendText(i, builder);
    return builder.finish();
}

// Full-width ASCII and the ideographic space as their narrow forms; everything else unchanged.
QString Narrow(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(static_cast<char16_t>(u - 0xFF01 + 0x21));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return out;
}

// Converts the boxes into column values, stopping at the first type error.
EditResult ConvertInputs(const ConfigSection& s, const std::vector<FieldInput>& inputs, bool adding,
                         std::vector<Value>& values) {
    EditResult r;
    // The 255-byte limit is kept here too, so no caller can store an over-long text by skipping its own check.
    if (auto field = FindTooLongText(s, inputs)) {
        r.status = EditResult::Status::TooLong;
        r.field = *field;
        r.message = TooLongTextMessage;
        return r;
    }
    const int n = FieldCountOf(s);
    values.clear();
    values.reserve(n);
    for (int i = 0; i < n; ++i) {
        const FieldInput input = i < static_cast<int>(inputs.size()) ? inputs[i] : FieldInput{};
        const QString type = MainFieldType(s, i + 1);
        auto v = StoreFieldValue(type, input, adding);
        if (!v) {
            r.status = EditResult::Status::TypeError;
            r.field = i;
            r.message = TypeErrorMessage(s.FieldName[i + 1].trimmed(), input.text);
            return r;
        }
        if (type == store::TypeText && input.text.isEmpty())
            r.blankedFields.push_back(i);
        values.push_back(std::move(*v));
    }
    return r;
}

EditResult Failure(const EngineError& e) {
    EditResult r;
    r.status = EditResult::Status::EngineError;
    r.message = e.message();
    return r;
}

} // namespace

// ---------------------------------------------------------------- record list

std::vector<ListColumn> MainListColumns(const ConfigSection& section) {
    std::vector<ListColumn> columns;
    const int n = FieldCountOf(section);
    columns.reserve(n + 2);
    for (int k = 1; k <= n; ++k) {
        int width = 1400;
        Qt::Alignment align = Qt::AlignLeft;
        if (k == 1) {
            width = 3700;
        } else if (k == 2) {
            width = 2000;
        } else if (k == 11 || k == 12) {
            width = 1000;
            align = Qt::AlignRight;
        } else if (k == 13 || k == 14) {
            width = 1500;
            align = Qt::AlignRight;
        }
        columns.push_back({section.FieldName[k], width, align});
    }
    columns.push_back({RegNoHeading, 0, Qt::AlignRight});
    columns.push_back({PictureHeading, 0, Qt::AlignRight});
    return columns;
}

std::vector<platform::ListRow> ReadMainRows(Database& db, const store::AppState& state) {
    const ConfigSection& s = state.config[CheckedSection(state)];
    const QString table = CheckedTable(s.TableName);
    const int n = FieldCountOf(s);
    const int columns = n + 2;
    std::vector<platform::ListRow> rows;
    platform::ListRow::Builder builder(columns);

    if (state.ListMode != 0 && state.ListMode != 1) {
        auto rs = db.openTable(table, store::MainKeyColumn, Value(state.CurrentRegNo));
        RequireColumns(*rs, columns);
        if (!rs->eof())
            rows.push_back(RowOf(*rs, columns, builder));
        return rows;
    }

    auto rs = db.openTable(table);
    RequireColumns(*rs, columns);
    if (state.ListMode == 1) {
        const store::FieldSearch& criteria = state.FieldSearchCriteria;
        const QString& type = criteria.searchType;
        const bool known = type == store::TypeText || type == store::TypeLong || type == store::TypeDate;
        if (!known || criteria.searchField < 0 || criteria.searchField >= n)
            return rows;
        // A folded search folds the sought text once, not per record.
        const bool folded = type == store::TypeText && criteria.exactMatch != 1;
        const QString foldedText = folded ? FoldForSearch(criteria.searchText) : QString();
        for (; !rs->eof(); rs->moveNext()) {
            const Value cell = rs->value(criteria.searchField);
            const bool match = folded ? !cell.isNull() && FoldForSearch(cell.toText()).contains(foldedText)
                                      : MatchesFieldSearch(cell, criteria);
            if (match)
                rows.push_back(RowOf(*rs, columns, builder));
        }
        return rows;
    }

    for (; !rs->eof(); rs->moveNext())
        rows.push_back(RowOf(*rs, columns, builder));
    return rows;
}

QString FoldForSearch(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char16_t c = text[i].unicode();
        if (c >= 0xFF61 && c <= 0xFF9F) {
            // Half-width katakana: a following voicing mark belongs to the letter (ｶﾞ is ガ).
            QString chunk(text[i]);
            if (i + 1 < size && (text[i + 1].unicode() == 0xFF9E || text[i + 1].unicode() == 0xFF9F))
                chunk += text[++i];
            out += chunk.normalized(QString::NormalizationForm_KC);
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = static_cast<char16_t>(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = u' ';
        else if (c >= 0xFFE0 && c <= 0xFFEE) {
            out += QString(QChar(c)).normalized(QString::NormalizationForm_KC);
            continue;
        }
        // Hiragana as katakana (including the iteration marks ゝゞ).
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
            c = static_cast<char16_t>(c + 0x60);
        out += QChar(c).toCaseFolded();
    }
    return out;
}

bool ContainsSearchText(const QString& value, const QString& sought, bool exact) {
    if (exact)
        return value.contains(sought);
    return FoldForSearch(value).contains(FoldForSearch(sought));
}

bool MatchesFieldSearch(const Value& cell, const store::FieldSearch& criteria) {
    if (cell.isNull())
        return false;
    if (criteria.searchType == store::TypeText)
        return ContainsSearchText(cell.toText(), criteria.searchText, criteria.exactMatch == 1);
    if (criteria.searchType == store::TypeLong) {
        if (cell.kind() == Value::Kind::Integer)
            return cell.toInt() == criteria.searchNumber;
        if (cell.kind() == Value::Kind::Real)
            return cell.toReal() == criteria.searchNumber;
        return false;
    }
    if (criteria.searchType == store::TypeDate) {
        if (cell.kind() != Value::Kind::Date)
            return false;
        const QDate day = criteria.searchDate.isValid() ? criteria.searchDate : store::FieldSearch::ZeroDate;
        const QDateTime sought(day, QTime(0, 0));
        const QDateTime v = cell.toDate();
        switch (criteria.dateComparison) {
        case 0:
            return v == sought;
        case 1:
            return v > sought;
        case 2:
            return v < sought;
        default:
            return false;
        }
    }
    return false;
}

// ---------------------------------------------------------------- sub records

SubCounts CountSubRecords(Database& db, const ConfigSection& section, qint64 regNo) {
    SubCounts counts;
    const int subNoPos = std::clamp<int>(section.SubFieldCount, 0, store::SubFieldSlots) + 1;
    auto rs =
        db.openTable(CheckedTable(section.SubTableName), store::MainKeyColumn, Value(static_cast<std::int64_t>(regNo)));
    RequireColumns(*rs, subNoPos + 1);
    for (; !rs->eof(); rs->moveNext()) {
        ++counts.count;
        const int subNo = static_cast<int>(rs->value(subNoPos).toInt());
        if (subNo > counts.maxSubNo)
            counts.maxSubNo = subNo;
    }
    return counts;
}

int SectionOfCategory(const store::CategoryConfig& config, const QString& name, int fallback) {
    for (int s = store::FirstSlotSection; s <= store::LastSlotSection; ++s) {
        if (config[s].ShumokuName == name)
            return s;
    }
    return fallback;
}

// ---------------------------------------------------------------- editor

QString TypeErrorMessage(const QString& fieldName, const QString& text) {
    return fieldName + QStringLiteral("が相違しています。[ ") + text + QStringLiteral(" ]");
}

QString MainFieldType(const ConfigSection& section, int k) {
    const QString configured = section.FieldType[k].trimmed().toUpper();
    if (configured == store::TypeText || configured == store::TypeLong || configured == store::TypeDate)
        return configured;
    return store::MainFieldTypeOf(k);
}

std::optional<std::int32_t> ParseWholeNumber(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = Narrow(text).trimmed();
    if (!whole.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::optional<QDate> ParseMaskedDate(const QString& text) {
    static const QRegularExpression masked(QStringLiteral("^([0-9]{4})/([0-9]{2})/([0-9]{2})$"));
    const auto m = masked.match(Narrow(text).trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    // The engine keeps years from 100 on.
    if (!d.isValid() || d.year() < 100)
        return std::nullopt;
    return d;
}

std::optional<Value> StoreFieldValue(const QString& type, const FieldInput& input, bool adding,
                                     const QString& emptyText) {
    if (type == store::TypeLong) {
        if (input.text.isEmpty())
            return Value();
        if (auto n = ParseWholeNumber(input.text))
            return Value(static_cast<std::int64_t>(*n));
        return std::nullopt;
    }
    if (type == store::TypeDate) {
        if (input.clipText.trimmed().isEmpty())
            return Value();
        if (adding && input.text == UntouchedDate)
            return Value();
        if (auto d = ParseMaskedDate(input.text))
            return Value(QDateTime(*d, QTime(0, 0)));
        return std::nullopt;
    }
    if (input.text.isEmpty())
        return Value(emptyText);
    return Value(input.text);
}

std::optional<int> FindTooLongText(const ConfigSection& section, const std::vector<FieldInput>& inputs) {
    const int n = std::min<int>(FieldCountOf(section), static_cast<int>(inputs.size()));
    for (int i = 0; i < n; ++i) {
        if (MainFieldType(section, i + 1) == store::TypeText && platform::LenMbcs(inputs[i].text) > MaxTextBytes)
            return i;
    }
    return std::nullopt;
}

EditResult AddMainRecord(store::AppState& state, const std::vector<FieldInput>& inputs) {
    try {
        const int section = CheckedSection(state);
        const ConfigSection& s = state.config[section];
        std::vector<Value> values;
        EditResult r = ConvertInputs(s, inputs, true, values);
        if (!r.ok())
            return r;
        if (s.RegNo >= std::numeric_limits<std::int32_t>::max())
            throw EngineError(QStringLiteral("登録NOが上限に達しています。"));
        const std::int32_t regNo = s.RegNo + 1;
        const QString table = CheckedTable(s.TableName);

        auto db = store::OpenCatalogue(state.databasePath());
        store::CategoryConfig next = state.config;
        {
            platform::Transaction tx(*db);
            {
                auto rs = db->openTable(table, store::MainKeyColumn, Value(regNo));
                rs->addNew();
                for (int i = 0; i < static_cast<int>(values.size()); ++i)
                    rs->setValue(i, values[i]);
                rs->setValue(store::MainKeyColumn, Value(regNo));
                rs->setValue(store::PictureFlagColumn, Value(0));
                rs->update();
            }
            next[section].RegNo = regNo;
            next[section].Dirty = 1;
            store::SaveConfig(*db, next);
            tx.commit();
        }
        state.config = next;
        r.regNo = regNo;
        r.rows = 1;
        return r;
    } catch (const EngineError& e) {
        return Failure(e);
    }
}

EditResult UpdateMainRecord(store::AppState& state, std::int32_t regNo, const std::vector<FieldInput>& inputs) {
    try {
        const ConfigSection& s = state.config[CheckedSection(state)];
        std::vector<Value> values;
        EditResult r = ConvertInputs(s, inputs, false, values);
        r.regNo = regNo;
        if (!r.ok())
            return r;
        const QString table = CheckedTable(s.TableName);

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        {
            auto rs = db->openTable(table, store::MainKeyColumn, Value(regNo));
            for (; !rs->eof(); rs->moveNext()) {
                rs->edit();
                for (int i = 0; i < static_cast<int>(values.size()); ++i)
                    rs->setValue(i, values[i]);
                rs->update();
                ++r.rows;
            }
        }
        tx.commit();
        return r;
    } catch (const EngineError& e) {
        return Failure(e);
    }
}

EditResult DeleteMainRecord(store::AppState& state, std::int32_t regNo, bool withSubs) {
    try {
        const ConfigSection& s = state.config[CheckedSection(state)];
        const QString table = CheckedTable(s.TableName);
        const QString subTable = withSubs ? CheckedTable(s.SubTableName) : QString();
        EditResult r;
        r.regNo = regNo;

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        if (withSubs) {
            auto rs = db->openTable(subTable, store::MainKeyColumn, Value(regNo));
            for (; !rs->eof(); rs->moveNext())
                rs->deleteCurrent();
        }
        {
            auto rs = db->openTable(table, store::MainKeyColumn, Value(regNo));
            for (; !rs->eof(); rs->moveNext()) {
                rs->deleteCurrent();
                ++r.rows;
            }
        }
        tx.commit();
        return r;
    } catch (const EngineError& e) {
        return Failure(e);
    }
}

} // namespace quelm::records
