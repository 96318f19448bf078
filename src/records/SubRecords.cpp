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

QString SubRecordMissingMessage(std::int32_t regNo, std::int32_t subNo) {
    return QStringLiteral("登録ＮＯ %1 サブＮＯ %2 のサブ明細レコードが見つかりません。").arg(regNo).arg(subNo);
}

// The filter that picks the sub record subNo out of the rows of its main record.
RecordFilter IsSubNo(const SubTable& t, std::int32_t subNo) {
    return [pos = t.subNoPos, subNo](const Recordset& rs) {
        const Value v = rs.value(pos);
        return !v.isNull() && v.toInt() == subNo;
    };
}

} // namespace

EditResult AddSubRecord(store::AppState& state, std::int32_t regNo, const std::vector<FieldInput>& inputs) {
    try {
        const ConfigSection& s = state.config[CheckedSection(state.CurrentSection)];
        std::vector<Value> values;
        EditResult r = ConvertInputs(SubEditFields(s), inputs, true, EmptySubTextOnAdd, values);
        r.regNo = regNo;
        if (r.status == EditResult::Status::TooLong)
            return r;
        const SubTable t = CheckedSubTable(s);

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        // A screen opened before its main record was deleted must not store a sub record without one: the next
        // main record given the same number would show it as its own.
        if (!MainRecordExists(*db, s, regNo))
            return RecordMissing(regNo, RecordMissingMessage(regNo));
        // A number already stored under this record is never given twice, even when the screen's count is stale.
        const int last = std::max({state.MaxSubNo, 0, CountSubRecords(*db, s, regNo).maxSubNo});
        if (last >= std::numeric_limits<std::int32_t>::max())
            throw EngineError(QStringLiteral("サブＮＯが上限に達しています。"));
        const std::int32_t subNo = last + 1;
        if (r.ok()) {
            auto rs = t.openRowsOf(*db, regNo);
            rs->addNew();
            SetLeadingValues(*rs, values);
            rs->setValue(t.regNoPos, Value(regNo));
            rs->setValue(t.subNoPos, Value(subNo));
            rs->update();
            r.rows = 1;
        }
        tx.commit();
        // A refused record uses up its number too, so the next one is not given the number the user saw refused.
        state.MaxSubNo = subNo;
        return r;
    } catch (const EngineError& e) {
        return EngineFailure(e, regNo);
    }
}

EditResult UpdateSubRecord(store::AppState& state, std::int32_t regNo, std::int32_t subNo,
                           const std::vector<FieldInput>& inputs) {
    try {
        const ConfigSection& s = state.config[CheckedSection(state.CurrentSection)];
        std::vector<Value> values;
        EditResult r = ConvertInputs(SubEditFields(s), inputs, false, EmptyTextValue, values);
        r.regNo = regNo;
        if (!r.ok())
            return r;
        const SubTable t = CheckedSubTable(s);

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        r.rows = UpdateRecords(*t.openRowsOf(*db, regNo), values, IsSubNo(t, subNo));
        if (r.rows == 0)
            return RecordMissing(regNo, SubRecordMissingMessage(regNo, subNo));
        tx.commit();
        return r;
    } catch (const EngineError& e) {
        return EngineFailure(e, regNo);
    }
}

EditResult DeleteSubRecord(store::AppState& state, std::int32_t regNo, std::int32_t subNo) {
    try {
        const SubTable t = CheckedSubTable(state.config[CheckedSection(state.CurrentSection)]);
        EditResult r;
        r.regNo = regNo;

        auto db = store::OpenCatalogue(state.databasePath());
        platform::Transaction tx(*db);
        r.rows = DeleteRecords(*t.openRowsOf(*db, regNo), IsSubNo(t, subNo));
        if (r.rows == 0)
            return RecordMissing(regNo, SubRecordMissingMessage(regNo, subNo));
        tx.commit();
        return r;
    } catch (const EngineError& e) {
        return EngineFailure(e, regNo);
    }
}

} // namespace quelm::records
