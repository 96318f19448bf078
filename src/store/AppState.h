#pragma once

#include "store/CategoryConfig.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace quelm::store {

// Criteria of the per-field search, read when a record list is filled in list mode 1. The search dialog that fills
// it sets one text per field (empty: any value) and how texts are compared.
struct FieldSearch {
    std::array<QString, MainFieldSlots + 1> text; // indexed by field number
    bool partialMatch = true;
    bool any() const {
        for (const QString& t : text) {
            if (!t.trimmed().isEmpty())
                return true;
        }
        return false;
    }
};

// Everything the screens share, owned by the application and handed to each screen. No globals, so two catalogues
// can be open side by side in one test.
struct AppState {
    QString dataFolder; // the program folder: Quelm.mdb and Quelm-画像 live here
    CategoryConfig config;

    // Current category.
    std::int16_t CurrentSection = FirstSlotSection;
    QString CurrentCategoryName;
    std::int16_t ListMode = 0; // 0 all records, 1 per-field search result, 2 one record of the all-category search

    // Record-screen state.
    std::int32_t CurrentRegNo = 0;
    std::int32_t CurrentSubNo = 0;
    int SubRecordCount = 0;
    int MaxSubNo = 0;

    FieldSearch FieldSearchCriteria;
    bool SearchCancelled = false;
    bool SearchFromInquiry = false;

    // Layout values of the record screens, in twips.
    std::int32_t ListFormWidth = 14955;
    std::int32_t ListFormLeft = 0;
    std::int32_t ListFormTop = 0;
    std::int32_t ListViewExtraWidth = 0;

    QStringList ListTableNames;

    QString databasePath() const { return dataFolder + QLatin1Char('/') + CatalogueFileName; }
    QString pictureFolder() const { return dataFolder + QLatin1Char('/') + PictureFolderName; }
    // The picture of a main record: <picture folder>/<section>_<登録ＮＯ>.jpg
    QString RecordPicturePath(int section, std::int64_t regNo) const {
        return pictureFolder() + QStringLiteral("/%1_%2.jpg").arg(section).arg(regNo);
    }
    // The system title as captions use it: trimmed.
    QString title() const { return config.systemTitle().trimmed(); }
    // Caption of a screen: title + " Quelm - " + screen name.
    QString caption(const QString& screenName) const { return title() + QStringLiteral(" Quelm - ") + screenName; }
};

// "ListTable1" … "ListTable10".
QStringList MakeListTableNames();

} // namespace quelm::store
