// List listing screen: the entries of every list table, one column per list.
#include "maintenance/ListTablesListing.h"

#include "maintenance/Statistics.h"
#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/Ui.h"
#include "store/ListTables.h"

namespace quelm::maintenance {

ListTablesListing::ListTablesListing(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : ListingScreen(state, ui, parent, QStringLiteral("Form13b"), QStringLiteral("リスト・テーブル別登録リスト一覧"),
                    QStringLiteral("リスト・テーブル別登録リスト一覧"), false) {
    Form_Load();
}

void ListTablesListing::Form_Load() {
    ListView1->clearColumns();
    if (store::ListCount(state_.config) == 0) {
        Refuse(QStringLiteral("リスト・テーブルの登録がありません。"));
        return;
    }
    QList<ListingColumn> columns;
    try {
        columns = ListTableColumns(state_);
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        Loaded = false;
        reject();
        return;
    }
    ListViewSet(columns);
}

} // namespace quelm::maintenance
