#include "SearchTestData.h"

#include "platform/Database.h"
#include "store/CategoryConfig.h"

namespace quelm::test {

using platform::Value;

void AddSubFields(TestCatalogue& cat, int section, std::int32_t regNo, std::int32_t subNo, const QStringList& fields) {
    auto db = cat.open();
    auto rs = db->openTable(cat.state.config[section].SubTableName.trimmed());
    rs->addNew();
    for (int i = 0; i < fields.size(); ++i)
        rs->setValue(i, fields[i].isNull() ? Value() : Value(fields[i]));
    rs->setValue(store::MainKeyColumn, Value(regNo));
    rs->setValue(store::SubKeyColumn, Value(subNo));
    rs->update();
}

void FillSearchCatalogue(TestCatalogue& cat) {
    QStringList first(15);
    first[0] = QStringLiteral("Blue Moon");
    first[1] = QStringLiteral("BLUE Trio");
    first[10] = QStringLiteral("1");
    first[12] = QStringLiteral("2009-04-06");
    cat.addMain(4, 1, first);
    QStringList second(15);
    second[0] = QStringLiteral("ＢＬＵＥ　ＮＩＧＨＴ");
    second[11] = QStringLiteral("2009");
    cat.addMain(4, 40000, second);
    cat.addMain(4, 40001, {QString(), QStringLiteral("ひかりの森")});
    AddSubFields(cat, 4, 1, 1, {QStringLiteral("Blue in Green"), QString(), QStringLiteral("ヒカリ")});
    AddSubFields(cat, 4, 40000, 3, {QStringLiteral("Night Blue")});
    QStringList dvd(15);
    dvd[0] = QStringLiteral("ｂｌｕｅ海");
    dvd[14] = QStringLiteral("blue");
    cat.addMain(7, 7, dvd);
    cat.state.config[4].RegNo = 40001;
    cat.state.config[7].RegNo = 7;
}

} // namespace quelm::test
