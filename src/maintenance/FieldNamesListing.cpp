// Field name listing screen: the main and sub field names of every category in use.
#include "maintenance/FieldNamesListing.h"

#include "maintenance/Statistics.h"
#include "platform/RecordList.h"

namespace quelm::maintenance {

FieldNamesListing::FieldNamesListing(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : ListingScreen(state, ui, parent, QStringLiteral("Form13c"), QStringLiteral("種目別項目名一覧"),
                    QStringLiteral("種目別項目名一覧"), false) {
    Form_Load();
}

void FieldNamesListing::Form_Load() {
    ListView1->clearColumns();
    const QList<ListingColumn> columns = FieldNameColumns(state_.config);
    if (columns.isEmpty()) {
        Refuse(QStringLiteral("種目登録が１件もありません。"));
        return;
    }
    ListViewSet(columns);
}

} // namespace quelm::maintenance
