#pragma once

#include "platform/Names.h"
#include "store/CategoryConfig.h"
#include "store/PrintSettings.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace quelm::store {

// Criteria of the per-field search, read when a record list is filled in list mode 1. The all-category search keeps
// its text and exact-match option in searchText and exactMatch as well.
struct FieldSearch {
    std::int16_t searchField = 0; // position of the searched field, 0 … n − 1
    QString searchType;           // that field's type word: "TEXT", "LONG" or "DATE"
    QString searchText;
    std::int32_t searchNumber = 0;
    QDate searchDate = ZeroDate;
    std::int16_t dateComparison = 0; // 0 equal to, 1 later than, 2 earlier than searchDate
    std::int16_t exactMatch = 0;     // 1: case, width and kana kind must match exactly

    // Day zero of the date serials; a reset of the criteria leaves it behind.
    static inline const QDate ZeroDate{1899, 12, 30};
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

    // The record-list reports' settings, one per report; a record screen's load clears its report's item count.
    PrintSettings MainPrintSettings;
    PrintSettings SubPrintSettings;

    QString databasePath() const { return dataFolder + QLatin1Char('/') + CatalogueFileName; }
    QString pictureFolder() const { return dataFolder + QLatin1Char('/') + PictureFolderName; }
    // The picture of a main record: <picture folder>/<section>_<登録ＮＯ>.jpg
    QString RecordPicturePath(int section, std::int64_t regNo) const {
        return pictureFolder() + QStringLiteral("/%1_%2.jpg").arg(section).arg(regNo);
    }
    // The system title as captions use it: trimmed.
    // The system title as screens show it: a title pasted from a page of text (or written by another program) is cut
    // with "…", so that a caption never outgrows what the window system takes.
    QString title() const { return platform::NameForMessage(config.systemTitle(), TitleShownAtMost); }
    static constexpr int TitleShownAtMost = 100;
    // Caption of a screen: title + " Quelm - " + screen name.
    QString caption(const QString& screenName) const { return title() + QStringLiteral(" Quelm - ") + screenName; }

    // Per section, how often this run deleted the category's data or rebuilt its tables. A record screen remembers
    // the count it was loaded under: another count means its rows are gone or its columns laid out anew.
    std::array<int, SectionCount> TablesGeneration{};
};

// "ListTable1" … "ListTable10".
QStringList MakeListTableNames();

} // namespace quelm::store
