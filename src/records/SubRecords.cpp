#include "records/SubRecords.h"

#include "platform/Database.h"
#include "store/Catalogue.h"

#include <algorithm>
#include <limits>

namespace quelm::records {

using platform::EngineError;
using platform::Recordset;
using platform::Value;
using store::ConfigSection;

namespace {

struct SubTable {
    QString name;
    int regNoPos = 0; // sub fields 1 … m come first, then 登録ＮＯ and サブＮＯ
    int subNoPos = 0;
};

SubTable CheckedSubTable(const ConfigSection& s) {
    SubTable t;
    t.name = CheckedTableName(s.SubTableName);
    t.regNoPos = std::clamp<int>(s.SubFieldCount, 0, store::SubFieldSlots);
    t.subNoPos = t.regNoPos + 1;
    return t;
}

// Only the rows of one main record are read, through the 登録ＮＯ index: a sub table may hold a million rows.
std::unique_ptr<Recordset> OpenSubsOf(platform::Database& db, const SubTable& t, std::int32_t regNo) {
    auto rs = db.openTable(t.name, store::MainKeyColumn, Value(regNo));
    RequireColumnCount(*rs, t.subNoPos + 1);
    return rs;
}

bool IsSubNo(const Recordset& rs, const SubTable& t, std::int32_t subNo) {
    const Value v = rs.value(t.subNoPos);
    return !v.isNull() && v.toInt() == subNo;
}

} // namespace

EditResult AddSubRecord(store::AppState& state, std::int32_t regNo, const std::vector<FieldInput>& inputs) {
    try {
        const ConfigSection& s = state.config[CheckedCurrentSection(state)];
        std::vector<Value> values;
        EditResult r = ConvertInputs(SubEditFields(s), inputs, true, EmptySubTextOnAdd, values);
        r.regNo = regNo;
        if (r.status == EditResult::Status::TooLong)
            return r;
        const SubTable t = CheckedSubTable(s);

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        auto rs = OpenSubsOf(*db, t, regNo);
        // A number already stored under this record is never given twice, even when the screen's count is stale.
        std::int64_t last = std::max(state.MaxSubNo, 0);
        for (; !rs->eof(); rs->moveNext()) {
            const Value v = rs->value(t.subNoPos);
            if (!v.isNull())
                last = std::max<std::int64_t>(last, v.toInt());
        }
        if (last >= std::numeric_limits<std::int32_t>::max())
            throw EngineError(QStringLiteral("サブＮＯが上限に達しています。"));
        const auto subNo = static_cast<std::int32_t>(last + 1);
        if (r.ok()) {
            rs->addNew();
            for (int i = 0; i < static_cast<int>(values.size()); ++i)
                rs->setValue(i, values[i]);
            rs->setValue(t.regNoPos, Value(regNo));
            rs->setValue(t.subNoPos, Value(subNo));
            rs->update();
            r.rows = 1;
        }
        rs.reset();
        tx.commit();
        // A refused record uses up its number too, so the next one is not given the number the user saw refused.
        state.MaxSubNo = subNo;
        return r;
    } catch (const EngineError& e) {
        EditResult f = EngineFailure(e);
        f.regNo = regNo;
        return f;
    }
}

EditResult UpdateSubRecord(store::AppState& state, std::int32_t regNo, std::int32_t subNo,
                           const std::vector<FieldInput>& inputs) {
    try {
        const ConfigSection& s = state.config[CheckedCurrentSection(state)];
        std::vector<Value> values;
        EditResult r = ConvertInputs(SubEditFields(s), inputs, false, EmptyTextValue, values);
        r.regNo = regNo;
        if (!r.ok())
            return r;
        const SubTable t = CheckedSubTable(s);

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        {
            auto rs = OpenSubsOf(*db, t, regNo);
            for (; !rs->eof(); rs->moveNext()) {
                if (!IsSubNo(*rs, t, subNo))
                    continue;
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
        EditResult f = EngineFailure(e);
        f.regNo = regNo;
        return f;
    }
}

EditResult DeleteSubRecord(store::AppState& state, std::int32_t regNo, std::int32_t subNo) {
    try {
        const SubTable t = CheckedSubTable(state.config[CheckedCurrentSection(state)]);
        EditResult r;
        r.regNo = regNo;

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        {
            auto rs = OpenSubsOf(*db, t, regNo);
            for (; !rs->eof(); rs->moveNext()) {
                if (!IsSubNo(*rs, t, subNo))
                    continue;
                rs->deleteCurrent();
                ++r.rows;
            }
        }
        tx.commit();
        return r;
    } catch (const EngineError& e) {
        EditResult f = EngineFailure(e);
        f.regNo = regNo;
        return f;
    }
}

} // namespace quelm::records
